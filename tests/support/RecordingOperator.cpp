#include "support/RecordingOperator.h"

void RecordingOperator::message(const QString &text, const QString &caption) {
    shown.append({QStringLiteral("message"), text, caption});
}

bool RecordingOperator::askYesNo(const QString &text, const QString &caption) {
    shown.append({QStringLiteral("yesno"), text, caption});
    return answers.isEmpty() ? true : answers.takeFirst();
}

bool RecordingOperator::askOkCancel(const QString &text, const QString &caption) {
    shown.append({QStringLiteral("okcancel"), text, caption});
    return answers.isEmpty() ? true : answers.takeFirst();
}

bool RecordingOperator::input(const QString &prompt, const QString &caption, QString &value) {
    shown.append({QStringLiteral("input"), prompt, caption});
    if (inputs.isEmpty()) return false;
    value = inputs.takeFirst();
    return true;
}

QString RecordingOperator::openFile(const QString &caption, const QString &) {
    shown.append({QStringLiteral("open"), QString(), caption});
    return files.isEmpty() ? QString() : files.takeFirst();
}

void RecordingOperator::statusError(int number, const QString &text) {
    shown.append({QStringLiteral("status"), text, QString::number(number)});
    statusErrors.append(number);
}

QStringList RecordingOperator::messages() const {
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == QLatin1String("message")) out.append(s.text);
    return out;
}

QString RecordingOperator::lastMessage() const {
    const QStringList m = messages();
    return m.isEmpty() ? QString() : m.last();
}
