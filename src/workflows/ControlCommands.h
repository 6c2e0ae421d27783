#pragma once
// The parameter panel's one-command buttons and the toolbar's quick buttons:
// brightness, protocol switch, clock, screen on and off, start picture. The
// buttons and `ledctl brightness|protocol-switch|clock|power|start-picture`
// run these. Each tells the operator the result under its caption.
#include "workflows/Workflow.h"

class OperatorUi;
class led;

namespace controlcommands {

// 亮度: the leading number of the text, rounded, then clamped to 0..255;
// a text without a number is 0. The address step is lenient.
workflow::Outcome setBrightness(led &device, OperatorUi &ui, const workflow::Connection &c,
                                const QString &brightness);

// The escaped parameter frame to the connection's address (lenient set-up).
struct ProtocolSwitchFields {
    int oePolarity = 0;   // item data of 极性 (0 or 4)
    int dataPolarity = 0; // item data of 数据极性 (0 or 8)
    QString length;       // Pchang
    QString brightness;   // 亮度
};
workflow::Outcome protocolSwitch(led &device, OperatorUi &ui, const workflow::Connection &c,
                                 const ProtocolSwitchFields &fields);

// 校时: the screen clock := now + `adjustment` seconds (Text5; empty is 0).
workflow::Outcome adjustClock(led &device, OperatorUi &ui, const workflow::Connection &c,
                              const QString &adjustment);

workflow::Outcome screenOn(led &device, OperatorUi &ui, const workflow::Connection &c, bool on);

// 设置开始图号 from Text4.
workflow::Outcome setStartPicture(led &device, OperatorUi &ui, const workflow::Connection &c,
                                  const QString &number);

} // namespace controlcommands
