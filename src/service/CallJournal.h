#pragma once
// Every call the service accepted, in ledservice.db (SQLite through Qt SQL) in
// the program directory: written before the caller hears "queued", so that a
// crash or a restart loses nothing. Used from the service's thread only,
// through one named connection.
#include "service/Call.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace service {

class CallJournal {
  public:
    static QString fileName(); // "ledservice.db"
    // Calls kept per screen; older final ones are pruned.
    static constexpr int KeepPerScreen = 1000;

    CallJournal();
    ~CallJournal();
    CallJournal(const CallJournal &) = delete;
    CallJournal &operator=(const CallJournal &) = delete;

    // Opens (creates) the journal in `dir`; false with a reason.
    bool open(const QString &dir, QString *error);
    bool isOpen() const { return m_open; }
    void close();

    bool insert(const Call &call, QString *error = nullptr);
    // State, shown, error and attempts of a journaled call.
    bool update(const Call &call);
    std::optional<Call> find(const QString &id) const;
    // Queued and sending calls, oldest first.
    QList<Call> unfinished() const;
    // The unfinished calls accepted before `cutoff` become expired; returns them.
    QList<Call> expire(const QDateTime &cutoff);
    // Final calls of a screen, newest first.
    QList<Call> lastFinished(int screen, int count) const;
    // The last shown call of a screen's line.
    std::optional<Call> lastShown(int screen, Line line) const;
    qint64 lastSequence() const;
    // Keeps the newest KeepPerScreen calls of the screen; unfinished ones always stay.
    void prune(int screen);
    QList<int> screens() const;

  private:
    QString m_connection;
    bool m_open = false;
};

} // namespace service
