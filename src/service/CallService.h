#pragma once
// The service itself: the screens of the program directory's ledfile.ini (read
// again when it changes), one line worker per serial port, a queue per screen
// with its minimum display time, and the journal every accepted call is in
// before it is acknowledged.
#include "service/CallDesk.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace service {

struct ServiceOptions {
    QString dir;             // the program directory
    int minDisplayMs = 5000; // when neither the request nor the screen say
    int maxAgeS = 600;       // queued calls older than this at start expire
    // The wall clock of acceptance and display times (UTC); tests fix it.
    std::function<QDateTime()> clock;
};

class CallService : public CallDesk {
    Q_OBJECT
  public:
    explicit CallService(const ServiceOptions &options, QObject *parent = nullptr);
    ~CallService() override;

    // Opens the journal, reads the screens, starts the line workers and queues
    // again what a previous run left queued. False with a reason otherwise.
    bool start(QString *error);
    // Lets each line finish the exchange it is in, then stops the workers.
    void stop();

    QList<ScreenStatus> screens() const override;
    std::optional<ScreenStatus> screen(int number) const override;
    Accepted accept(int screen, const CallRequest &request) override;
    std::optional<Call> call(const QString &id) const override;
    Cancel cancel(const QString &id) override;
    void act(int screen, const ScreenAction &action,
             const std::function<void(const ActionResult &)> &done) override;
    QByteArray picturePng(int screen) const override;
    QList<LineHealth> health() const override;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace service
