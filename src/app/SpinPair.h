#pragma once
// A vertical scroll bar used as the up/down control of a text field.
#include <QObject>
#include <functional>

class QLineEdit;
class QScrollBar;

class SpinPair : public QObject {
    Q_OBJECT
  public:
    // Plain pair: spin change writes the value; a numeric field value inside
    // the range moves the spin.
    static SpinPair *plain(QScrollBar *spin, QLineEdit *field);
    // Length pair: the field shows spin × 16; leaving the field moves the
    // spin to the nearest sixteenth (halves to even) when it is in range.
    static SpinPair *sixteenths(QScrollBar *spin, QLineEdit *field);
    // The length field's lost-focus rule, also run at start-up.
    void applyFieldRule();
    QLineEdit *field() const { return m_field; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    SpinPair(QScrollBar *spin, QLineEdit *field, bool sixteenths);
    QScrollBar *m_spin;
    QLineEdit *m_field;
    bool m_sixteenths;
};
