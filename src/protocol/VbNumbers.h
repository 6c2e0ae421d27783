#pragma once
// How the window and the configuration read numbers out of text: a field is
// numeric when the whole trimmed text is a decimal number, and rounding goes
// half to even, as operators' existing files and habits expect.
#include <QString>

namespace VbNumbers {
bool isNumeric(const QString &text);
// Value of a numeric text; 0 when it is not numeric.
double value(const QString &text);
// Rounds half to even.
long long roundHalfEven(double v);
// Leading number of a text ("12abc" -> 12, "abc" -> 0), as keys are read.
double leadingValue(const QString &text);
} // namespace VbNumbers
