#include "workflows/QueueCallingWorkflow.h"

#include "app/MainWindow.h"
#include "config/NumericText.h"
#include "encoding/ColourBytes.h"
#include "encoding/TextChecks.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

using queuecalling::Action;

namespace {
const QString kCaption = QStringLiteral("汉字发送");

// A number field's value; far-out values stay far out, so the byte checks
// refuse them instead of seeing a wrapped-around value.
int fieldNumber(const QString &text) {
    return int(VbNumbers::roundHalfEven(std::clamp(NumericText::value(text), -1e6, 1e6)));
}
} // namespace

QueueCallingWorkflow::QueueCallingWorkflow(MainWindow &window)
    : QObject(&window), m_window(window) {
    const std::pair<const char16_t *, Action> buttons[] = {{u"Command10", Action::DefaultUpper},
                                                           {u"Command11", Action::DefaultLower},
                                                           {u"Command8", Action::TestUpper},
                                                           {u"Command9", Action::TestLower}};
    for (const auto &[name, action] : buttons) {
        auto *b = window.control<QPushButton>(QString::fromUtf16(name));
        connect(b, &QPushButton::clicked, this,
                [this, a = action] { m_window.runDeviceAction([this, a] { run(a); }); });
    }
}

bool QueueCallingWorkflow::checkInput(const queuecalling::Request &request) {
    OperatorUi &ui = m_window.ui();
    QString problem = textchecks::textProblem(request.text);
    for (const auto &[label, value] : {std::pair{QStringLiteral("页面时间"), request.pageTime},
                                       {QStringLiteral("动作速度"), request.speed},
                                       {QStringLiteral("停留时间"), request.stay}}) {
        if (problem.isEmpty()) problem = textchecks::byteProblem(label, value);
    }
    if (!problem.isEmpty()) {
        ui.message(problem, problem == QStringLiteral("请输入汉字") ? QString() : kCaption);
        return false;
    }
    // Characters the screen cannot show are never replaced silently.
    const QString lossy = textchecks::unrepresentableProblem(request.text);
    return lossy.isEmpty() || ui.askYesNo(lossy + QStringLiteral("，是否继续发送？"), kCaption);
}

void QueueCallingWorkflow::run(Action action) {
    MainWindow &w = m_window;
    auto position = [&](const char16_t *name) {
        return w.control<QComboBox>(QString::fromUtf16(name))->currentIndex();
    };
    auto text = [&](const char16_t *name) {
        return w.control<QLineEdit>(QString::fromUtf16(name))->text();
    };
    queuecalling::Request request;
    request.action = action;
    request.colour = colourbytes::lineColourByte(position(u"字库颜色"), position(u"ASC颜色"),
                                                 position(u"combo1"));
    switch (action) {
    case Action::DefaultUpper:
        request.text = text(u"Text22");
        break;
    case Action::DefaultLower:
        request.text = text(u"Text23");
        break;
    default:
        request.text = text(u"Text6");
        break;
    }
    if (request.text.isEmpty()) {
        w.ui().message(QStringLiteral("请输入汉字"));
        return;
    }
    request.pageTime = fieldNumber(text(u"Text17"));
    request.effect = w.control<QComboBox>(QStringLiteral("Combo9"))->currentData().toInt();
    request.speed = fieldNumber(text(u"Text14"));
    request.stay = fieldNumber(text(u"Text16"));
    if (!checkInput(request)) return;

    led &device = w.device();
    device.PAdress = VbNumbers::int16Of(w.addressText());
    device.serieinit(qint16(w.portNumber()), w.baudText());
    if (action != Action::DefaultLower)
        w.control<QCheckBox>(QStringLiteral("排队"))->setChecked(true);
    const queuecalling::Result result = queuecalling::send(device, request);
    if (action == Action::DefaultUpper && result.length > 0)
        w.control<QLineEdit>(QStringLiteral("Text9"))
            ->setText(QString::number((result.length - 1) * 8));
    w.ui().message(result.outcome == queuecalling::Outcome::Sent ? QStringLiteral("汉字发送成功")
                                                                 : QStringLiteral("汉字发送失败"),
                   kCaption);
}
