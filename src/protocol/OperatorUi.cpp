#include "protocol/OperatorUi.h"

#include <cstdio>

void StreamOperator::line(const QString &text) {
    m_out << text << '\n';
    m_out.flush();
}

void StreamOperator::message(const QString &text, const QString &caption) {
    line(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

bool StreamOperator::askYesNo(const QString &text, const QString &caption) {
    message(text, caption);
    return answerYes;
}

bool StreamOperator::askSubstitution(const QString &text, const QString &caption) {
    message(text, caption);
    return answerYes || answerSubstitution;
}

bool StreamOperator::askOkCancel(const QString &text, const QString &caption) {
    return askYesNo(text, caption);
}

bool StreamOperator::input(const QString &, const QString &, QString &) {
    return false;
}

QString StreamOperator::openFile(const QString &, const QString &) {
    return QString();
}

void StreamOperator::statusError(int number, const QString &text) {
    line(QStringLiteral("error %1%2")
             .arg(number)
             .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text));
}

operatorui_detail::StderrStream::StderrStream() : stream(stderr) {}
