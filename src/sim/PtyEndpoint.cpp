#include "sim/PtyEndpoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyEndpoint::PtyEndpoint(QObject *parent) : QObject(parent) {}

PtyEndpoint::~PtyEndpoint() {
    close();
}

bool PtyEndpoint::open(const QString &linkPath, bool replaceLive, QString *error) {
    auto fail = [&](const QString &why) {
        if (error) *error = why;
        return false;
    };
    close();
    const QFileInfo link(linkPath);
    if (!QDir().mkpath(link.absolutePath()))
        return fail(QStringLiteral("cannot create ") + link.absolutePath());
    if (link.isSymLink()) {
        if (link.exists() && !replaceLive)
            return fail(
                QStringLiteral("%1 already links to %2").arg(linkPath, link.symLinkTarget()));
        QFile::remove(linkPath);
    } else if (link.exists()) {
        return fail(linkPath + QStringLiteral(" exists and is not a link"));
    }

    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return fail(QStringLiteral("openpty: ") + QString::fromLocal8Bit(std::strerror(errno)));
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    const QString slavePath = QString::fromLocal8Bit(name);
    if (!QFile::link(slavePath, linkPath)) {
        ::close(master);
        ::close(slave);
        return fail(QStringLiteral("cannot link %1 to %2").arg(linkPath, slavePath));
    }
    m_master = master;
    m_slaveFd = slave;
    m_slave = slavePath;
    m_link = link.absoluteFilePath();
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyEndpoint::readMaster);
    return true;
}

void PtyEndpoint::close() {
    if (m_notifier) {
        m_notifier->setEnabled(false);
        delete m_notifier;
        m_notifier = nullptr;
    }
    if (!m_link.isEmpty() && QFileInfo(m_link).symLinkTarget() == m_slave) QFile::remove(m_link);
    if (m_master >= 0) ::close(m_master);
    if (m_slaveFd >= 0) ::close(m_slaveFd);
    m_master = -1;
    m_slaveFd = -1;
    m_link.clear();
    m_slave.clear();
}

void PtyEndpoint::readMaster() {
    QByteArray all;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            all.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break; // EAGAIN: all read; EIO cannot happen while our slave descriptor is open
    }
    if (!all.isEmpty()) emit received(all);
}

qint64 PtyEndpoint::write(const QByteArray &bytes) {
    if (m_master < 0) return -1;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // the host's input queue is full: the rest is lost, as on a real line
        }
    }
    return done;
}

int PtyEndpoint::hostBaud() const {
    // The master's settings are the slave's: what the host's serial port set.
    termios tio{};
    if (m_master < 0 || ::tcgetattr(m_master, &tio) != 0) return 0;
    switch (::cfgetospeed(&tio)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    default:
        return 0;
    }
}

int PtyEndpoint::unreadByHost() const {
    // The slave's input queue is shared by every opener, our own descriptor included.
    int n = 0;
    if (m_slaveFd < 0 || ::ioctl(m_slaveFd, FIONREAD, &n) != 0) return 0;
    return n;
}
