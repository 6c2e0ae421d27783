#pragma once
// The call service's voice: each call is spoken once its screen acknowledged
// it, in Mandarin with espeak-ng, one announcement at a time in the order the
// calls were shown. Nothing here waits: espeak-ng runs as an asynchronous
// process and the next announcement starts when the previous one ended.
#include "service/Call.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QProcess;
class QTimer;

namespace service {

struct AnnouncerOptions {
    bool enabled = false;
    int repeat = 1; // how often each call is spoken, in one announcement
    // Empty: spoken on the sound device. Otherwise each announcement is
    // written there as a WAV file instead, named so that the files sort in the
    // order they were spoken: 000001-<call id>.wav. The operator chooses this
    // directory; no part of a request ever names a file.
    QString wavDir;
    QString program = QStringLiteral("espeak-ng");
    QString voice = QStringLiteral("cmn");
};

class Announcer : public QObject {
    Q_OBJECT
  public:
    explicit Announcer(const AnnouncerOptions &options, QObject *parent = nullptr);
    ~Announcer() override;

    // Queues the call's text; ignored unless the announcer is enabled and the
    // call was shown.
    void announce(const Call &call);
    // Announcements queued or being spoken.
    qsizetype pending() const;

  signals:
    // After each announcement; `ok` false when espeak-ng failed or is missing.
    void announced(const QString &callId, bool ok);

  private:
    struct Item {
        QString callId;
        QString text;
    };
    void startNext();
    void finish(bool ok, const QString &problem);
    QString nextWavPath(const QString &callId);

    AnnouncerOptions m_options;
    QList<Item> m_queue;
    QProcess *m_process = nullptr;
    QTimer *m_guard = nullptr;
    qint64 m_sequence = 0;
    bool m_warned = false;
};

// The call id as a file name part: only A-Z, a-z, 0-9, '_' and '-', at most
// 64 characters; anything else becomes '_'.
QString fileNamePart(const QString &callId);

} // namespace service
