#include "config/NumericText.h"

#include "protocol/VbError.h"

#include <cmath>

namespace {
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}
} // namespace

double NumericText::value(const QString &text) {
    // Collect the number's characters, skipping blanks wherever they stand.
    QString number;
    qsizetype i = 0;
    const auto next = [&]() -> QChar {
        while (i < text.size() && isBlank(text.at(i)))
            ++i;
        return i < text.size() ? text.at(i) : QChar();
    };
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    QChar c = next();
    if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        number += c;
        ++i;
        c = next();
    }
    bool digits = false;
    while (isDigit(c)) {
        number += c;
        digits = true;
        ++i;
        c = next();
    }
    if (c == QLatin1Char('.')) {
        number += c;
        ++i;
        c = next();
        while (isDigit(c)) {
            number += c;
            digits = true;
            ++i;
            c = next();
        }
    }
    if (!digits) return 0.0;
    if (c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') ||
        c == QLatin1Char('D')) {
        const qsizetype mark = i;
        QString exponent = QStringLiteral("e");
        ++i;
        c = next();
        if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
            exponent += c;
            ++i;
            c = next();
        }
        bool expDigits = false;
        while (isDigit(c)) {
            exponent += c;
            expDigits = true;
            ++i;
            c = next();
        }
        if (expDigits)
            number += exponent;
        else
            i = mark;
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

qint16 NumericText::toInt16(double value) {
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw VbError(vberr::Overflow, QStringLiteral("溢出"));
    return qint16(rounded);
}

quint8 NumericText::toByte(double value, const QString &what) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= 0.0 && rounded <= 255.0))
        throw VbError(vberr::Overflow, QStringLiteral("%1超出0到255：%2").arg(what).arg(value));
    return quint8(rounded);
}

QString NumericText::format(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}
