#include "workflows/QueueCalling.h"

#include "encoding/TextChecks.h"
#include "encoding/TextPicture.h"
#include "protocol/OperatorUi.h"
#include "protocol/led.h"

namespace queuecalling {

int pictureNumber(Action action) {
    switch (action) {
    case Action::TestUpper:
        return 1;
    case Action::TestLower:
        return 2;
    case Action::DefaultUpper:
        return 4;
    case Action::DefaultLower:
        return 5;
    }
    return 1;
}

QByteArray displayBlock(const Request &request) {
    QByteArray block;
    block.append(char(quint8(request.pageTime)));
    block.append(char(quint8(request.effect)));
    block.append(char(quint8(request.speed)));
    block.append(char(quint8(request.stay)));
    return block;
}

QString validate(const Request &request) {
    const QString reasons[] = {
        textchecks::textProblem(request.text),
        textchecks::byteProblem(QStringLiteral("颜色"), request.colour),
        textchecks::byteProblem(QStringLiteral("页面时间"), request.pageTime),
        textchecks::byteProblem(QStringLiteral("动作方式"), request.effect),
        textchecks::byteProblem(QStringLiteral("动作速度"), request.speed),
        textchecks::byteProblem(QStringLiteral("停留时间"), request.stay),
    };
    for (const QString &r : reasons) {
        if (!r.isEmpty()) return r;
    }
    return QString();
}

Result send(led &device, const Request &request) {
    Result result;
    if (!validate(request).isEmpty()) return result;
    // The picture and its display block go out in one turn on the port.
    const led::PortTurn turn(device);
    result.length = device.Strtoneima(request.text, qint16(request.colour));
    if (!textpicture::send(device, pictureNumber(request.action), result.length,
                           textpicture::Layout::Plain)) {
        result.outcome = Outcome::PictureFailed;
        return result;
    }
    result.outcome =
        device.Csendlist(displayBlock(request), 4) ? Outcome::Sent : Outcome::DisplayFailed;
    return result;
}

namespace {
const QString kCaption = QStringLiteral("汉字发送");

bool accepted(OperatorUi &ui, const Request &request) {
    const QString problem = validate(request);
    if (!problem.isEmpty()) {
        ui.message(problem, textchecks::isBlank(request.text) ? QString() : kCaption);
        return false;
    }
    return workflow::lossyTextAgreed(ui, request.text, kCaption);
}
} // namespace

Run run(led &device, OperatorUi &ui, const workflow::Connection &connection, const Fields &fields) {
    Run outcome;
    if (fields.text.isEmpty()) {
        ui.message(QStringLiteral("请输入汉字"));
        return outcome;
    }
    Request request;
    request.action = fields.action;
    request.text = fields.text;
    request.colour = fields.colour;
    request.pageTime = workflow::fieldNumber(fields.pageTime);
    request.effect = fields.effect;
    request.speed = workflow::fieldNumber(fields.speed);
    request.stay = workflow::fieldNumber(fields.stay);
    if (!accepted(ui, request)) return outcome;
    outcome.outcome = workflow::trapped(ui, [&] {
        workflow::connect(device, connection);
        outcome.queueTicked = request.action != Action::DefaultLower;
        const Result result = send(device, request);
        outcome.detail = result.outcome;
        if (request.action == Action::DefaultUpper && result.length > 0)
            outcome.width = (result.length - 1) * 8;
        const bool sent = result.outcome == Outcome::Sent;
        workflow::tellResult(device, ui, sent, QStringLiteral("汉字发送成功"),
                             QStringLiteral("汉字发送失败"), kCaption);
        return workflow::acknowledged(sent);
    });
    return outcome;
}

} // namespace queuecalling
