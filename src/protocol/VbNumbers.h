#pragma once
// How the window and the configuration read numbers out of text: a field is
// numeric when the whole trimmed text is a decimal number, and rounding goes
// half to even, as operators' existing files and habits expect.
#include <QString>

namespace VbNumbers {
bool isNumeric(const QString &text);
// Value of a numeric text; 0 when it is not numeric.
double value(const QString &text);
// Rounds half to even; saturates far outside the range of long long.
long long roundHalfEven(double v);
// The integer value of a field: text that is not a number (an empty field
// included) raises VbError 13, a number outside -32768..32767 VbError 6.
qint16 int16Of(const QString &text);
} // namespace VbNumbers
