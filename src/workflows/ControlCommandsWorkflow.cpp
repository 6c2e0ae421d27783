#include "workflows/ControlCommandsWorkflow.h"

#include "app/MainWindow.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using VbNumbers::int16Of;

ControlCommandsWorkflow::ControlCommandsWorkflow(MainWindow &window)
    : QObject(&window), m_window(window) {
    auto bind = [&](const char16_t *button, void (ControlCommandsWorkflow::*action)()) {
        connect(
            window.control<QPushButton>(QString::fromUtf16(button)), &QPushButton::clicked, this,
            [this, action] { m_window.runDeviceAction([this, action] { (this->*action)(); }); });
    };
    bind(u"设置亮度", &ControlCommandsWorkflow::setBrightness);
    bind(u"Command3", &ControlCommandsWorkflow::protocolSwitch);
    bind(u"校时", &ControlCommandsWorkflow::adjustClock);
    bind(u"设置开始图号按钮", &ControlCommandsWorkflow::setStartPicture);
    connect(window.control<QPushButton>(QStringLiteral("开屏")), &QPushButton::clicked, this,
            [this] { m_window.runDeviceAction([this] { screenOn(true); }); });
    connect(window.control<QPushButton>(QStringLiteral("关屏")), &QPushButton::clicked, this,
            [this] { m_window.runDeviceAction([this] { screenOn(false); }); });
    window.onQuickAction = [this](const QString &key) {
        m_window.runDeviceAction([this, key] {
            if (key == QStringLiteral("开屏工"))
                screenOn(true);
            else if (key == QStringLiteral("关屏工"))
                screenOn(false);
            else if (key == QStringLiteral("校时工"))
                protocolSwitch();
        });
    };
}

void ControlCommandsWorkflow::setUp(bool strict) {
    led &device = m_window.device();
    try {
        device.PAdress = int16Of(m_window.addressText());
    } catch (const VbError &) {
        if (strict) throw;
    }
    device.serieinit(qint16(m_window.portNumber()), m_window.baudText());
}

void ControlCommandsWorkflow::report(bool ok, const QString &caption, const QString &success,
                                     const QString &failure) {
    m_window.ui().message(ok ? success : failure, caption);
}

void ControlCommandsWorkflow::setBrightness() {
    setUp(false);
    const QString text = m_window.control<QLineEdit>(QStringLiteral("亮度"))->text();
    const long long v = VbNumbers::roundHalfEven(VbNumbers::value(text));
    const quint8 brightness = quint8(qBound(0LL, v, 255LL));
    report(m_window.device().CSetLight(brightness), QStringLiteral("亮度设置"),
           QStringLiteral("设置成功"), QStringLiteral("设置失败"));
}

void ControlCommandsWorkflow::protocolSwitch() {
    setUp(false);
    QuorinFields fields;
    fields.address = m_window.addressText();
    fields.oePolarity = m_window.control<QComboBox>(QStringLiteral("极性"))->currentData().toInt();
    fields.dataPolarity =
        m_window.control<QComboBox>(QStringLiteral("数据极性"))->currentData().toInt();
    fields.length = m_window.control<QLineEdit>(QStringLiteral("Pchang"))->text();
    fields.brightness = m_window.control<QLineEdit>(QStringLiteral("亮度"))->text();
    bool ok = false;
    try {
        ok = m_window.device().CSetQuorin(fields);
    } catch (const VbError &) {
        // A value that does not fit its byte: nothing was sent.
        ok = false;
    }
    report(ok, QStringLiteral("协议设置"), QStringLiteral("设置成功"), QStringLiteral("设置失败"));
}

void ControlCommandsWorkflow::adjustClock() {
    setUp(true);
    const qint16 seconds = int16Of(m_window.control<QLineEdit>(QStringLiteral("Text5"))->text());
    report(m_window.device().CTimeAdjust(seconds), QStringLiteral("时间校正"),
           QStringLiteral("校时成功"), QStringLiteral("校时失败"));
}

void ControlCommandsWorkflow::screenOn(bool on) {
    setUp(true);
    const bool ok = m_window.device().CAutokgSet(on ? 1 : 0);
    const QString name = on ? QStringLiteral("开屏") : QStringLiteral("关屏");
    report(ok, name, name + QStringLiteral("成功"), name + QStringLiteral("失败"));
}

void ControlCommandsWorkflow::setStartPicture() {
    setUp(true);
    const qint16 number = int16Of(m_window.control<QLineEdit>(QStringLiteral("Text4"))->text());
    report(m_window.device().Ckaitkh(number), QStringLiteral("设置开始图号"),
           QStringLiteral("设置成功"), QStringLiteral("设置失败"));
}
