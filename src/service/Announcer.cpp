#include "service/Announcer.h"

#include <QDir>
#include <QProcess>
#include <QTimer>

namespace service {
namespace {

// A speaker that hangs (a blocked sound device) must not silence every later call.
constexpr int kLongestAnnouncementMs = 120000;
constexpr qsizetype kLongestIdPart = 64;

} // namespace

QString fileNamePart(const QString &callId) {
    QString part = callId.left(kLongestIdPart);
    for (QChar &c : part) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                             (u >= u'0' && u <= u'9') || u == u'_' || u == u'-';
        if (!allowed) c = QLatin1Char('_');
    }
    return part;
}

Announcer::Announcer(const AnnouncerOptions &options, QObject *parent)
    : QObject(parent), m_options(options) {
    m_options.repeat = qMax(1, m_options.repeat);
    if (!m_options.wavDir.isEmpty()) {
        // Files of an earlier run stay; the numbers go on after theirs.
        const QStringList names =
            QDir(m_options.wavDir).entryList({QStringLiteral("*.wav")}, QDir::Files);
        for (const QString &name : names)
            m_sequence = qMax(m_sequence, name.section(QLatin1Char('-'), 0, 0).toLongLong());
    }
    m_guard = new QTimer(this);
    m_guard->setSingleShot(true);
    connect(m_guard, &QTimer::timeout, this, [this] {
        if (m_process) m_process->kill();
    });
}

Announcer::~Announcer() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void Announcer::announce(const Call &call) {
    if (!m_options.enabled || call.state != CallState::Shown || call.text.trimmed().isEmpty())
        return;
    QStringList spoken;
    for (int i = 0; i < m_options.repeat; ++i)
        spoken << call.text;
    // One line a repetition: espeak-ng pauses at each line's end.
    m_queue.append(Item{call.id, spoken.join(QLatin1Char('\n'))});
    if (!m_process) startNext();
}

qsizetype Announcer::pending() const {
    return m_queue.size();
}

QString Announcer::nextWavPath(const QString &callId) {
    ++m_sequence;
    const QString name = QStringLiteral("%1-%2.wav")
                             .arg(m_sequence, 6, 10, QLatin1Char('0'))
                             .arg(fileNamePart(callId));
    return QDir(m_options.wavDir).filePath(name);
}

void Announcer::startNext() {
    if (m_queue.isEmpty()) return;
    const Item item = m_queue.constFirst();
    // The text goes in on stdin, never as an argument: a text starting with
    // '-' would be read as an option.
    QStringList arguments{QStringLiteral("-v"), m_options.voice, QStringLiteral("-b"),
                          QStringLiteral("1"), QStringLiteral("--stdin")};
    if (!m_options.wavDir.isEmpty()) {
        QDir().mkpath(m_options.wavDir);
        arguments << QStringLiteral("-w") << nextWavPath(item.callId);
    }
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Later, not from inside start(): finish() starts the next one.
        if (error == QProcess::FailedToStart)
            QMetaObject::invokeMethod(
                this,
                [this] { finish(false, QStringLiteral("无法启动 %1").arg(m_options.program)); },
                Qt::QueuedConnection);
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == 0) {
            finish(true, QString());
            return;
        }
        const QString detail = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
        finish(false, QStringLiteral("%1 失败（%2）%3")
                          .arg(m_options.program)
                          .arg(status == QProcess::NormalExit ? code : -1)
                          .arg(detail.section(QLatin1Char('\n'), -1)));
    });
    m_process->start(m_options.program, arguments);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->write(item.text.toUtf8());
        m_process->closeWriteChannel();
    }
    m_guard->start(kLongestAnnouncementMs);
}

void Announcer::finish(bool ok, const QString &problem) {
    m_guard->stop();
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (!ok && !m_warned) {
        // Once: a missing or broken speaker must not flood the service's log,
        // and the calls go on without their voice.
        m_warned = true;
        qWarning().noquote() << QStringLiteral("语音播报失败：") + problem;
    }
    const Item item = m_queue.takeFirst();
    emit announced(item.callId, ok);
    startNext();
}

} // namespace service
