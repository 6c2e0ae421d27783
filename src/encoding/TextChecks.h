#pragma once
// Checks a panel or ledctl runs before sending a text, each giving the
// one-line reason shown to the operator, or an empty string when all is well.
#include <QString>

namespace textchecks {

// n - 1 travels in one header byte.
constexpr int MaxCodeBytes = 256;

// A text that is empty once the control characters are dropped: there is
// nothing to send.
bool isBlank(const QString &text);
// A blank text gives "请输入汉字" (said without a caption); one of more than
// 256 code bytes is too long.
QString textProblem(const QString &text);
// A speed, stay time, page time, effect or colour that does not fit a byte.
QString byteProblem(const QString &label, int value);
// Names the characters code page 936 cannot represent (they would go out as
// "?"); empty when there are none.
QString unrepresentableProblem(const QString &text);

} // namespace textchecks
