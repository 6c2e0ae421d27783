#include "protocol/OperatorUi.h"

#include <cstdio>

static void printLine(const QString &line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void StderrOperator::message(const QString &text, const QString &caption) {
    printLine(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

bool StderrOperator::askYesNo(const QString &text, const QString &caption) {
    message(text, caption);
    return answerYes;
}

bool StderrOperator::askOkCancel(const QString &text, const QString &caption) {
    message(text, caption);
    return answerYes;
}

bool StderrOperator::input(const QString &, const QString &, QString &) {
    return false;
}

QString StderrOperator::openFile(const QString &, const QString &) {
    return QString();
}

void StderrOperator::statusError(int number, const QString &text) {
    printLine(QStringLiteral("error %1%2")
                  .arg(number)
                  .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text));
}
