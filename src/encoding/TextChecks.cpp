#include "encoding/TextChecks.h"

#include "encoding/Gbk.h"

namespace textchecks {

bool isBlank(const QString &text) {
    return gbk::codeBytes(text).isEmpty();
}

QString textProblem(const QString &text) {
    const qsizetype n = gbk::codeBytes(text).size();
    if (n == 0) return QStringLiteral("请输入汉字");
    if (n > MaxCodeBytes)
        return QStringLiteral("信息太长：%1个字节，最多%2个字节").arg(n).arg(MaxCodeBytes);
    return QString();
}

QString byteProblem(const QString &label, int value) {
    if (value >= 0 && value <= 255) return QString();
    return QStringLiteral("%1必须在0到255之间：%2").arg(label).arg(value);
}

QString unrepresentableProblem(const QString &text) {
    const QString bad = gbk::unrepresentable(text);
    if (bad.isEmpty()) return QString();
    return QStringLiteral("以下字符无法显示，将以“?”发送：%1").arg(bad);
}

} // namespace textchecks
