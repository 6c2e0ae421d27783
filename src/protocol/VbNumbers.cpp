#include "protocol/VbNumbers.h"

#include "protocol/VbError.h"

#include <algorithm>
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
    if (std::isnan(v)) return 0;
    constexpr double limit = 9.0e18; // inside long long, so the cast is defined
    const double r = std::nearbyint(std::clamp(v, -limit, limit)); // ties to even
    return static_cast<long long>(r);
}

qint16 VbNumbers::int16Of(const QString &text) {
    // An empty field is no number: taking it as 0 would send to board 0.
    if (!isNumeric(text))
        throw VbError(vberr::TypeMismatch, QStringLiteral("不是数字：%1").arg(text));
    const long long v = roundHalfEven(value(text));
    if (v < -32768 || v > 32767)
        throw VbError(vberr::Overflow, QStringLiteral("数值溢出：%1").arg(text));
    return qint16(v);
}
