#pragma once
// The board's end of the line: a pseudo-terminal whose slave is linked as
// ports/COMn. The endpoint keeps a descriptor of the slave open itself, so a
// host may close and reopen the port without the master seeing a hang-up.
#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class PtyEndpoint : public QObject {
    Q_OBJECT
  public:
    explicit PtyEndpoint(QObject *parent = nullptr);
    ~PtyEndpoint() override;

    // Opens a pty in raw mode and links its slave at linkPath. A link that
    // points at nothing (left by a killed screen) is replaced; a live one only
    // with replaceLive. False with a reason otherwise.
    bool open(const QString &linkPath, bool replaceLive, QString *error);
    // Closes the pty and removes the link (if it is still ours).
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString linkPath() const { return m_link; }
    QString slavePath() const { return m_slave; }

    // Writes what the master takes now; returns the number of bytes written.
    qint64 write(const QByteArray &bytes);
    // Bytes written to the host that it has not read yet.
    int unreadByHost() const;
    // The rate the host set on its end (bits per second), 0 when unknown.
    int hostBaud() const;

  signals:
    void received(const QByteArray &bytes);

  private:
    void readMaster();

    int m_master = -1;
    int m_slaveFd = -1;
    QString m_link;
    QString m_slave;
    QSocketNotifier *m_notifier = nullptr;
};
