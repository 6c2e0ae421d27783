#pragma once
// The one interface through which workflows and the device object talk to the
// operator. The window implements it with Qt dialogs, ledctl with stderr, tests
// with scripted answers.
#include <QString>
#include <QStringList>
#include <QTextStream>

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
    // Whether to send a text whose characters code page 936 cannot hold as
    // "?": a question of its own, so that ledctl --lossy agrees to this one
    // and to no other.
    virtual bool askSubstitution(const QString &text, const QString &caption) {
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

// Writes messages and questions to a text stream, one line each; a question
// is answered Yes only when answerYes is set (the "?" substitution also when
// answerSubstitution is); no input, no file.
class StreamOperator : public OperatorUi {
  public:
    explicit StreamOperator(QTextStream &out) : m_out(out) {}
    void message(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text, const QString &caption = QString()) override;
    bool askSubstitution(const QString &text, const QString &caption) override;
    bool askOkCancel(const QString &text, const QString &caption = QString()) override;
    bool input(const QString &prompt, const QString &caption, QString &value) override;
    QString openFile(const QString &caption, const QString &filter) override;
    void statusError(int number, const QString &text = QString()) override;
    bool answerYes = false;
    bool answerSubstitution = false;

  private:
    void line(const QString &text);
    QTextStream &m_out;
};

namespace operatorui_detail {
struct StderrStream {
    StderrStream();
    QTextStream stream;
};
} // namespace operatorui_detail

// The same on stderr.
class StderrOperator : private operatorui_detail::StderrStream, public StreamOperator {
  public:
    StderrOperator() : StreamOperator(stream) {}
};
