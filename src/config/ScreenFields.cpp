#include "config/ScreenFields.h"

QStringList BaudRate::rates() {
    return {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
            QStringLiteral("115200")};
}

int BaudRate::position(const QString &text) {
    const qsizetype at = rates().indexOf(text);
    return at < 0 ? 2 : int(at);
}

QString BaudRate::text(int position) {
    const QStringList all = rates();
    return all.value(position < 0 || position >= all.size() ? 2 : position);
}
