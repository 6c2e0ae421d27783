#include "service/Call.h"

#include "service/CallDesk.h"

#include <QJsonArray>

namespace service {

namespace {
struct StateName {
    CallState state;
    const char16_t *name;
};
constexpr StateName kStates[] = {
    {CallState::Queued, u"queued"},   {CallState::Sending, u"sending"},
    {CallState::Shown, u"shown"},     {CallState::Failed, u"failed"},
    {CallState::Expired, u"expired"}, {CallState::Cancelled, u"cancelled"},
};

QString isoTime(const QDateTime &t) {
    return t.toUTC().toString(Qt::ISODateWithMs);
}
} // namespace

QString stateName(CallState state) {
    for (const StateName &s : kStates)
        if (s.state == state) return QString::fromUtf16(s.name);
    return QString();
}

bool stateFromName(const QString &name, CallState &state) {
    for (const StateName &s : kStates) {
        if (name == QString::fromUtf16(s.name)) {
            state = s.state;
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
    QJsonObject o{
        {QStringLiteral("id"), call.id},         {QStringLiteral("state"), stateName(call.state)},
        {QStringLiteral("screen"), call.screen}, {QStringLiteral("line"), lineName(call.line)},
        {QStringLiteral("text"), call.text},     {QStringLiteral("colour"), call.colour},
        {QStringLiteral("error"), call.error},
    };
    if (call.accepted.isValid()) o.insert(QStringLiteral("accepted"), isoTime(call.accepted));
    if (call.shown.isValid()) o.insert(QStringLiteral("shown"), isoTime(call.shown));
    return o;
}

QJsonObject toJson(const ScreenStatus &screen) {
    QJsonArray last;
    for (const Call &c : screen.lastCalls)
        last.append(toJson(c));
    return QJsonObject{
        {QStringLiteral("number"), screen.number},
        {QStringLiteral("name"), screen.name},
        {QStringLiteral("port"), screen.port},
        {QStringLiteral("baud"), screen.baud},
        {QStringLiteral("address"), screen.address},
        {QStringLiteral("queued"), screen.queued},
        {QStringLiteral("showing"), QJsonObject{{QStringLiteral("upper"), screen.showingUpper},
                                                {QStringLiteral("lower"), screen.showingLower}}},
        {QStringLiteral("lastCalls"), last},
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
