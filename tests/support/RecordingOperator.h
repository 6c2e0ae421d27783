#pragma once
// Records what would have been shown to the operator and answers questions
// from a script.
#include "protocol/OperatorUi.h"

#include <QList>
#include <QPair>

class RecordingOperator : public OperatorUi {
  public:
    struct Shown {
        QString kind; // "message", "yesno", "okcancel", "input", "open", "status"
        QString text;
        QString caption;
    };
    void message(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text, const QString &caption = QString()) override;
    bool askOkCancel(const QString &text, const QString &caption = QString()) override;
    bool input(const QString &prompt, const QString &caption, QString &value) override;
    QString openFile(const QString &caption, const QString &filter) override;
    void statusError(int number, const QString &text = QString()) override;

    QList<Shown> shown;
    QList<bool> answers;   // next answers to questions; default true when empty
    QList<QString> inputs; // next input-box values; cancel when empty
    QList<QString> files;  // next file-dialog results
    QList<int> statusErrors;

    QStringList messages() const;
    QString lastMessage() const;
};
