#pragma once
// The window number at the left of the screen: the field `窗口号` stepped by
// its spin `VScroll1`, the colour byte of the window colour lists, and
// "设置窗口号", which sends it with setWindowNo and stores the settings.
// `ledctl window-number` runs the same operation.
#include "workflows/DisplayProperties.h"

#include <QString>

namespace windownumber {

// The spin's choice: -1 "自定义", 0 "无", 1..10 \0..\9, 11..20 \00..\09,
// 21..110 \10..\99 (the window-number codes 0 to 109 in order).
QString choiceText(int spinValue);
// The field after a spin step: the escape after its first backslash (at most
// two digits) replaced everywhere by the choice; without a backslash the
// field becomes the choice; a backslash without a digit changes nothing.
QString stepField(const QString &field, int spinValue);
// 16 x background + foreground, both positions in their lists; background
// position 3 (blue on a full-colour screen) is code 4. VbError 381 when a
// list has nothing selected.
int colourByte(int backgroundPosition, int foregroundPosition);
// False for "无" (no window number) and "自定义" (the board's own): the
// preview then gives the whole width to the picture.
bool showsNumber(const QString &field);

struct Request {
    QString field;        // 窗口号
    int colour = 3;       // the colour byte
    QString dotsPosition; // position of 窗口点阵数, stored only
    QString hanziPosition, ascPosition, backgroundPosition; // 字库颜色, ASC颜色, combo1
};
// "无": no window (cols 0, text "0"); "自定义": the board's own (cols 32,
// \ and the code-255 character); else cols 32 and the trimmed field. No
// message either way; on success the five keys of the screen's section.
workflow::Outcome set(led &device, OperatorUi &ui, const workflow::Connection &c,
                      const Request &request, const displayproperties::Section &section);

} // namespace windownumber
