#include "protocol/VbNumbers.h"

#include <QRegularExpression>
#include <cmath>

bool VbNumbers::isNumeric(const QString &text) {
    bool ok = false;
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v);
}

double VbNumbers::value(const QString &text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

long long VbNumbers::roundHalfEven(double v) {
    const double r = std::nearbyint(v); // default rounding mode: to nearest, ties to even
    return static_cast<long long>(r);
}

double VbNumbers::leadingValue(const QString &text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const auto m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}
