// The JSON the HTTP API answers with: a call, a screen's status, a line's health.
#include "service/CallDesk.h"

#include <QJsonArray>

namespace service {

namespace {
struct StateWord {
    CallState state;
    const char16_t *name;
};
constexpr StateWord stateWords[] = {
    {CallState::Queued, u"queued"},   {CallState::Sending, u"sending"},
    {CallState::Shown, u"shown"},     {CallState::Failed, u"failed"},
    {CallState::Expired, u"expired"}, {CallState::Cancelled, u"cancelled"},
};

QString utcText(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}
} // namespace

QString stateName(CallState state) {
    for (const StateWord &word : stateWords)
        if (word.state == state) return QString::fromUtf16(word.name);
    return {};
}

bool stateFromName(const QString &name, CallState &state) {
    for (const StateWord &word : stateWords) {
        if (name == QString::fromUtf16(word.name)) {
            state = word.state;
            return true;
        }
    }
    return false;
}

bool isFinal(CallState state) {
    return state != CallState::Queued && state != CallState::Sending;
}

QString lineName(Line line) {
    return line == Line::Upper ? QStringLiteral("upper") : QStringLiteral("lower");
}

QJsonObject toJson(const Call &call) {
    QJsonObject json{
        {QStringLiteral("id"), call.id},         {QStringLiteral("state"), stateName(call.state)},
        {QStringLiteral("screen"), call.screen}, {QStringLiteral("line"), lineName(call.line)},
        {QStringLiteral("text"), call.text},     {QStringLiteral("colour"), call.colour},
        {QStringLiteral("error"), call.error},
    };
    if (call.accepted.isValid()) json.insert(QStringLiteral("accepted"), utcText(call.accepted));
    if (call.shown.isValid()) json.insert(QStringLiteral("shown"), utcText(call.shown));
    return json;
}

QJsonObject toJson(const ScreenStatus &screen) {
    QJsonArray lastCalls;
    for (const Call &call : screen.lastCalls)
        lastCalls.append(toJson(call));
    return QJsonObject{
        {QStringLiteral("number"), screen.number},
        {QStringLiteral("name"), screen.name},
        {QStringLiteral("port"), screen.port},
        {QStringLiteral("baud"), screen.baud},
        {QStringLiteral("address"), screen.address},
        {QStringLiteral("queued"), screen.queued},
        {QStringLiteral("showing"), QJsonObject{{QStringLiteral("upper"), screen.showingUpper},
                                                {QStringLiteral("lower"), screen.showingLower}}},
        {QStringLiteral("lastCalls"), lastCalls},
    };
}

QJsonObject toJson(const LineHealth &line) {
    return QJsonObject{
        {QStringLiteral("port"), line.port},
        {QStringLiteral("state"), line.ok ? QStringLiteral("ok") : QStringLiteral("failing")},
        {QStringLiteral("lastError"), line.lastError},
    };
}

} // namespace service
