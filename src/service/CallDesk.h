#pragma once
// What the HTTP front asks of the service. Everything here runs on the
// service's own thread and returns at once: no call waits for a screen. The
// answers of screen actions come later through their callback.
#include "service/Call.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace service {

struct ScreenStatus {
    int number = 0;
    QString name;
    int port = 0;
    QString baud;
    int address = 0;
    int queued = 0;       // calls accepted and not yet sent
    QString showingUpper; // the texts last shown, empty before the first
    QString showingLower;
    QList<Call> lastCalls; // newest first, at most 10
};
// {"number","name","port","baud","address","queued","showing":{"upper","lower"},"lastCalls":[...]}
QJsonObject toJson(const ScreenStatus &screen);

struct LineHealth {
    int port = 0;
    bool ok = true;    // the last exchange on the line was acknowledged
    QString lastError; // the operator's message of the last failure
};
// {"port","state":"ok"|"failing","lastError"}
QJsonObject toJson(const LineHealth &line);

// A POST to /v1/screens/{number}/calls, as parsed from its JSON.
struct CallRequest {
    Line line = Line::Upper;
    QString text;
    std::optional<int> minDisplayMs;
    QString id; // the caller's, or empty: the service makes one
    std::optional<int> colour;
    bool lossy = false;
};

struct Accepted {
    enum class Status { Queued, Known, Refused, NoSuchScreen };
    Status status = Status::Refused;
    Call call;     // Queued: the new call; Known: the one accepted before
    QString error; // Refused: the window's own words
};

// A screen action answered when done: the window's workflows.
struct ScreenAction {
    enum class Kind { Defaults, Brightness, Power, Clock };
    Kind kind = Kind::Clock;
    Line line = Line::Upper; // Defaults
    QString text;            // Defaults
    int value = 0;           // Brightness
    bool on = true;          // Power
};
struct ActionResult {
    enum class Status { Done, NotAcknowledged, Refused, NoSuchScreen };
    Status status = Status::Done;
    QString message; // the operator's message when not done
};

class CallDesk : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~CallDesk() override = default;

    virtual QList<ScreenStatus> screens() const = 0;
    virtual std::optional<ScreenStatus> screen(int number) const = 0;
    // Checks the request as the window's "测试上行"/"测试下行" do, then journals
    // the call before it returns Queued.
    virtual Accepted accept(int screen, const CallRequest &request) = 0;
    virtual std::optional<Call> call(const QString &id) const = 0;
    enum class Cancel { Cancelled, NotFound, NotQueued };
    virtual Cancel cancel(const QString &id) = 0;
    // Runs on the screen's line after what is being sent now; `done` is
    // called on this thread.
    virtual void act(int screen, const ScreenAction &action,
                     const std::function<void(const ActionResult &)> &done) = 0;
    // What the screen shows now, one pixel a dot; empty for an unknown screen.
    virtual QByteArray picturePng(int screen) const = 0;
    virtual QList<LineHealth> health() const = 0;

  signals:
    // Once for every state a call enters (queued included).
    void callChanged(const service::Call &call);
    // A screen's picture changed (after an exchange with it).
    void pictureChanged(int screen);
};

} // namespace service
