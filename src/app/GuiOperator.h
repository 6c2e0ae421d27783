#pragma once
// The operator interface with Qt dialogs. Status errors reach panel 5
// through the main window.
#include "protocol/OperatorUi.h"

class QWidget;

class GuiOperator : public OperatorUi {
  public:
    explicit GuiOperator(QWidget *parent) : m_parent(parent) {}
    void message(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text, const QString &caption = QString()) override;
    bool askYesNoDefaultNo(const QString &text, const QString &caption) override;
    bool askOkCancel(const QString &text, const QString &caption = QString()) override;
    bool input(const QString &prompt, const QString &caption, QString &value) override;
    QString openFile(const QString &caption, const QString &filter) override;
    void statusError(int number, const QString &text = QString()) override;

    static QString applicationTitle();

  private:
    QString captionOr(const QString &caption) const;
    QWidget *owner() const;
    QWidget *m_parent;
};
