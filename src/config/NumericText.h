#pragma once
// Numbers kept as text in ledfile.ini and in the window's text fields are read
// by their numeric value: blanks skipped, the leading number taken, the rest
// ignored, no number at all counting as 0. So "3 已经占用" is port 3.
#include <QString>

namespace NumericText {
double value(const QString &text);
// Nearest 16-bit integer, halves to even; VbError 6 (overflow) outside.
qint16 toInt16(double value);
// Nearest whole number, halves to even, as one byte; VbError 6 naming `what`
// outside 0..255.
quint8 toByte(double value, const QString &what);
// The value as decimal text: "3", "-2", "1.5".
QString format(double value);
} // namespace NumericText
