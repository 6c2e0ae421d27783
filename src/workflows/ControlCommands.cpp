#include "workflows/ControlCommands.h"

#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

namespace controlcommands {

using workflow::Outcome;

namespace {
Outcome report(const led &device, OperatorUi &ui, bool ok, const QString &caption,
               const QString &success, const QString &failure) {
    workflow::tellResult(device, ui, ok, success, failure, caption);
    return workflow::acknowledged(ok);
}

Outcome reportSet(const led &device, OperatorUi &ui, bool ok, const QString &caption) {
    return report(device, ui, ok, caption, QStringLiteral("设置成功"), QStringLiteral("设置失败"));
}
} // namespace

Outcome setBrightness(led &device, OperatorUi &ui, const workflow::Connection &c,
                      const QString &brightness) {
    return workflow::trapped(ui, [&] {
        workflow::connect(device, c, false);
        // "200级" means 200, as numbers in the registry are read.
        const long long v = VbNumbers::roundHalfEven(NumericText::value(brightness));
        const quint8 byte = quint8(qBound(0LL, v, 255LL));
        return reportSet(device, ui, device.CSetLight(byte), QStringLiteral("亮度设置"));
    });
}

Outcome protocolSwitch(led &device, OperatorUi &ui, const workflow::Connection &c,
                       const ProtocolSwitchFields &fields) {
    return workflow::trapped(ui, [&] {
        workflow::connect(device, c, false);
        QuorinFields quorin;
        quorin.address = c.address;
        quorin.oePolarity = fields.oePolarity;
        quorin.dataPolarity = fields.dataPolarity;
        quorin.length = fields.length;
        quorin.brightness = fields.brightness;
        bool ok = false;
        try {
            ok = device.CSetQuorin(quorin);
        } catch (const VbError &) {
            // A value that does not fit its byte: nothing was sent.
            ok = false;
        }
        return reportSet(device, ui, ok, QStringLiteral("协议设置"));
    });
}

Outcome adjustClock(led &device, OperatorUi &ui, const workflow::Connection &c,
                    const QString &adjustment) {
    return workflow::trapped(ui, [&] {
        workflow::connect(device, c);
        // An empty field is no number (13), not an adjustment of 0: the board's
        // clock is set only for what the operator entered.
        const qint16 seconds = VbNumbers::int16Of(adjustment);
        return report(device, ui, device.CTimeAdjust(seconds), QStringLiteral("时间校正"),
                      QStringLiteral("校时成功"), QStringLiteral("校时失败"));
    });
}

Outcome screenOn(led &device, OperatorUi &ui, const workflow::Connection &c, bool on) {
    return workflow::trapped(ui, [&] {
        workflow::connect(device, c);
        const QString name = on ? QStringLiteral("开屏") : QStringLiteral("关屏");
        return report(device, ui, device.CAutokgSet(on ? 1 : 0), name,
                      name + QStringLiteral("成功"), name + QStringLiteral("失败"));
    });
}

Outcome setStartPicture(led &device, OperatorUi &ui, const workflow::Connection &c,
                        const QString &number) {
    return workflow::trapped(ui, [&] {
        workflow::connect(device, c);
        const qint16 picture = VbNumbers::int16Of(number);
        return reportSet(device, ui, device.Ckaitkh(picture), QStringLiteral("设置开始图号"));
    });
}

} // namespace controlcommands
