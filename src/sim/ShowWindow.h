#pragma once
// A window per virtual board showing its dots as LEDs, with a status line
// under them. It paints only when given new dots, never on a timer, so an
// idle screen costs nothing.
#include <QImage>
#include <QWidget>

class QLabel;
class LedView;

class ShowWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ShowWindow(int address, QWidget *parent = nullptr);

    // `dots` as render() gives them, one pixel per dot. The window takes the
    // board's size from the first dots, and again whenever that size changes.
    void showDots(const QImage &dots, const QString &status);

  private:
    LedView *m_view = nullptr;
    QLabel *m_status = nullptr;
};
