#pragma once
// The one interface through which workflows and the device object talk to the
// operator. The window implements it with Qt dialogs, ledctl with stderr, tests
// with scripted answers.
#include <QString>
#include <QStringList>

class OperatorUi {
  public:
    virtual ~OperatorUi() = default;
    // OK-only message box; an empty caption means the application title.
    virtual void message(const QString &text, const QString &caption = QString()) = 0;
    // Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &caption = QString()) = 0;
    // The same with No as the default button, for questions where going on
    // should take a deliberate Yes.
    virtual bool askYesNoDefaultNo(const QString &text, const QString &caption) {
        return askYesNo(text, caption);
    }
    // OK/Cancel question; true for OK.
    virtual bool askOkCancel(const QString &text, const QString &caption = QString()) = 0;
    // Input box; returns false when cancelled.
    virtual bool input(const QString &prompt, const QString &caption, QString &value) = 0;
    // File-open dialog; empty when cancelled.
    virtual QString openFile(const QString &caption, const QString &filter) = 0;
    // Error number for status panel 5.
    virtual void statusError(int number, const QString &text = QString()) = 0;
};

// Writes messages to stderr and answers every question with its default.
class StderrOperator : public OperatorUi {
  public:
    void message(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text, const QString &caption = QString()) override;
    bool askOkCancel(const QString &text, const QString &caption = QString()) override;
    bool input(const QString &prompt, const QString &caption, QString &value) override;
    QString openFile(const QString &caption, const QString &filter) override;
    void statusError(int number, const QString &text = QString()) override;
    bool answerYes = false;
};
