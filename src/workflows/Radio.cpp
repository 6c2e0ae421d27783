#include "workflows/Radio.h"

#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <QRandomGenerator>
#include <QScopeGuard>

namespace radio {
namespace {
const QString ReadCaption = QStringLiteral("属性获取");
const QString SetCaption = QStringLiteral("属性设置");
const QString ReadFailed = QStringLiteral("无线模块属性获取失败");
const QString SetFailed = QStringLiteral("无线模块属性设置失败");
constexpr int ChannelOffset = 104;

// The lenient set-up: a failing step is skipped and the action goes on.
void prepare(led &device, const workflow::Connection &c) {
    workflow::connect(device, c, false);
}

int nibbles(const QString &module, int at) {
    return 16 * (module.at(at).unicode() - 0x30) + (module.at(at + 1).unicode() - 0x30);
}
int digitAt(const QString &module, int at) {
    const int v = module.at(at).unicode() - 0x30;
    return v >= 0 && v <= 9 ? v : -1;
}
} // namespace

Random systemRandom() {
    return [] { return int(QRandomGenerator::global()->bounded(1, 255)); };
}

Settings settingStrings(const QString &module, int channel, const Random &random) {
    const float v = float(NumericText::value(module.left(3)));
    const QString channelCode = led::nibbleText(channel + ChannelOffset);
    if (v <= 1.8f || (v >= 3.0f && v < 6.0f))
        return {QStringLiteral("S1") + channelCode + QStringLiteral("40"),
                QStringLiteral("S20?36")};
    const QString digit = QString::number(random()).left(1);
    return {QStringLiteral("S1") + channelCode + QStringLiteral("4") + digit,
            QStringLiteral("S2") + led::nibbleText(random()) + QStringLiteral("36")};
}

// The module string, or empty after "无线模块属性获取失败".
static QString readModule(led &device, OperatorUi &ui, const workflow::Connection &c) {
    prepare(device, c);
    const QString module = device.Chqwxshuxing();
    if (module.isEmpty()) workflow::tellFailure(device, ui, ReadFailed, ReadCaption);
    return module;
}

QString check(led &device, OperatorUi &ui, const workflow::Connection &c) {
    const QString module = readModule(device, ui, c);
    if (!module.isEmpty()) ui.message(module, ReadCaption);
    return module;
}

ModuleFields fieldsOf(const QString &module) {
    ModuleFields f;
    if (module.size() < 11) return f;
    f.packetSize = QString::number(nibbles(module, 3));
    f.baud = digitAt(module, 5);
    f.airBaud = digitAt(module, 6);
    f.power = digitAt(module, 7);
    f.range = module.at(8).unicode() - 0x30;
    f.channel = QString::number(nibbles(module, 9) - ChannelOffset);
    return f;
}

Detected detect(led &device, OperatorUi &ui, const workflow::Connection &c) {
    Detected d;
    d.module = readModule(device, ui, c);
    if (d.module.isEmpty()) return d;
    ui.message(QStringLiteral("获取成功，版本号：") + d.module.left(3), ReadCaption);
    d.fields = fieldsOf(d.module);
    return d;
}

workflow::Outcome setChannel(led &device, OperatorUi &ui, const workflow::Connection &c,
                             const QString &channelText, const Random &random, bool silent) {
    // A text that is no number is no channel (it would read as channel 0).
    const double channel = NumericText::value(channelText.trimmed());
    if (!VbNumbers::isNumeric(channelText) || channel < 0 || channel > 99) {
        ui.message(QStringLiteral("信道号设置超出范围"), QStringLiteral("错误"));
        return workflow::Outcome::Refused;
    }
    prepare(device, c);
    const QString module = device.Chqwxshuxing();
    if (module.isEmpty()) {
        workflow::tellFailure(device, ui,
                              silent ? QStringLiteral("无线模块属性设置失败,请检查无线模块连接")
                                     : SetFailed,
                              SetCaption);
        return workflow::Outcome::NotAcknowledged;
    }
    const Settings s = settingStrings(module, int(NumericText::toInt16(channel)), random);
    prepare(device, c);
    const bool ok = device.CSetwxshuxing(s.first, s.second);
    if (!silent)
        workflow::tellResult(device, ui, ok,
                             QStringLiteral("无线模块属性设置成功，请务必给无线模块断电重新上电！"),
                             SetFailed, SetCaption);
    return workflow::acknowledged(ok);
}

RepeatedSetting::RepeatedSetting(OperatorUi &ui, std::function<void()> tick, QObject *parent)
    : QObject(parent), m_ui(ui), m_tick(std::move(tick)) {
    m_timer.setInterval(IntervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, &RepeatedSetting::onTick);
}

QString RepeatedSetting::toggle() {
    if (!m_timer.isActive()) {
        m_timer.start();
        return QStringLiteral("停止设置");
    }
    m_timer.stop();
    m_ui.message(QStringLiteral("设置完信道，请务必给无线模块断电重新上电！"), SetCaption);
    return QStringLiteral("自动设置");
}

void RepeatedSetting::onTick() {
    // The module waits let timer events through; a second tick must not
    // start a second exchange on the same port.
    if (m_busy) {
        ++m_skipped;
        return;
    }
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    m_tick();
}

} // namespace radio
