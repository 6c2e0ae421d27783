#pragma once
// src/service, above workflows: the call service (ledctl serve).
//
// One call for a screen's upper or lower line as the service keeps it, from
// the moment it is accepted to the moment it was shown, failed, expired or
// was cancelled.
#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace service {

enum class CallState { Queued, Sending, Shown, Failed, Expired, Cancelled };
// "queued", "sending", "shown", "failed", "expired", "cancelled".
QString stateName(CallState state);
bool stateFromName(const QString &name, CallState &state);
// True once nothing more will happen to the call.
bool isFinal(CallState state);

enum class Line { Upper, Lower };
QString lineName(Line line); // "upper", "lower"

struct Call {
    QString id;
    int screen = 0; // registry number, 1-based
    Line line = Line::Upper;
    QString text;
    int colour = 147;      // line colour byte; the window's start colours by default
    int minDisplayMs = -1; // the request's own; -1: the screen's or the service's
    bool lossy = false;    // characters code page 936 cannot show were agreed to
    CallState state = CallState::Queued;
    QDateTime accepted; // UTC
    QDateTime shown;    // UTC; invalid until acknowledged
    QString error;      // the operator's message of a failed call
    int attempts = 0;
    qint64 sequence = 0; // order of acceptance across the whole service
};

// {"id","state","screen","line","text","colour","accepted","shown","error"};
// times as ISO 8601 UTC with milliseconds, absent while unset.
QJsonObject toJson(const Call &call);

} // namespace service
