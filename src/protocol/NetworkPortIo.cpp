#include "protocol/NetworkPortIo.h"

#include <QEventLoop>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/uio.h>
#endif

namespace {
int g_connectLimitMs = NetworkPortIo::DefaultConnectLimitMs;

quint32 baudOf(const QString &settings) {
    bool ok = false;
    const int b = settings.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    return ok && b > 0 ? quint32(b) : 9600;
}
} // namespace

void NetworkPortIo::setConnectLimit(int ms) {
    g_connectLimitMs = qMax(1, ms);
}

NetworkPortIo::NetworkPortIo(QObject *parent) : SerialPortIo(parent) {
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkPortIo::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // A wait in place that ran out is no fault of the line.
        if (e != QAbstractSocket::SocketTimeoutError) onDead();
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, &NetworkPortIo::onDead);
}

NetworkPortIo::~NetworkPortIo() {
    m_open = false;
    m_socket.abort();
}

void NetworkPortIo::setLineSettings(const QString &settings) {
    m_settings = settings;
    m_baud = baudOf(settings);
    // Sent, not waited for: some servers never acknowledge them.
    if (m_open && m_address.telnet) {
        m_socket.write(telnet::lineSettings(m_baud));
        m_socket.flush();
    }
}

bool NetworkPortIo::open() {
    m_failure = PortFailure::None;
    if (m_open) return true;
    m_address = PortLocator::networkAddress(m_number);
    if (!m_address.isValid()) {
        m_failure = PortFailure::NoSuchPort;
        return false;
    }
    m_in.clear();
    m_socket.abort();
    // The window keeps painting while the server is reached, as in every wait.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    limit.start(g_connectLimitMs);
    m_socket.connectToHost(m_address.host, m_address.port);
    if (m_socket.state() != QAbstractSocket::ConnectedState &&
        m_socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        m_socket.abort();
        m_failure = PortFailure::Other;
        return false;
    }
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_open = true;
    if (m_address.telnet) {
        m_socket.write(m_decoder.start() + telnet::lineSettings(m_baud));
        m_socket.flush();
    }
    return true;
}

void NetworkPortIo::close() {
    m_open = false;
    m_in.clear();
    m_socket.abort();
}

void NetworkPortIo::takeIncoming() {
    take(m_socket.readAll());
}

void NetworkPortIo::take(const QByteArray &wire) {
    if (wire.isEmpty()) return;
    if (!m_address.telnet) {
        m_in.append(wire.constData(), wire.size()); // a copy: wire may be borrowed
        return;
    }
    QByteArray reply;
    m_in.append(m_decoder.feed(wire, reply));
    if (!reply.isEmpty()) m_socket.write(reply);
}

void NetworkPortIo::onReadyRead() {
    if (!m_open) return;
    const qsizetype before = m_in.size();
    takeIncoming();
    if (m_in.size() != before) emit readyRead();
}

void NetworkPortIo::clearInput() {
    if (!m_open) return;
    if (m_socket.bytesAvailable() > 0) takeIncoming();
#ifdef Q_OS_UNIX
    // What the kernel holds for us goes too, as a serial port's flush drops
    // the driver's input: a late answer, or bytes a server kept while no one
    // was connected, is not taken for the next answer. It still passes the
    // decoder, which answers the server's options.
    char wire[4096];
    for (;;) {
        const ssize_t n = ::recv(int(m_socket.socketDescriptor()), wire, sizeof wire, MSG_DONTWAIT);
        if (n <= 0) break;
        take(QByteArray::fromRawData(wire, n));
        if (size_t(n) < sizeof wire) break;
    }
#endif
    m_in.clear();
}

bool NetworkPortIo::waitForBytes(int ms) {
    if (!m_open) return false;
    const qsizetype before = m_in.size();
#ifdef Q_OS_UNIX
    // While the socket holds nothing, the wait reads it itself, as the
    // serial port does; the socket meets an end or an error in the event loop.
    if (m_socket.bytesAvailable() == 0) {
        const int fd = int(m_socket.socketDescriptor());
        if (!pollInPlace(fd, ms)) return false;
        char wire[4096];
        const ssize_t n = ::recv(fd, wire, sizeof wire, MSG_DONTWAIT);
        if (n <= 0) return false;
        take(QByteArray::fromRawData(wire, n));
        return m_in.size() != before;
    }
#endif
    // readyRead comes synchronously and is decoded by onReadyRead.
    m_socket.waitForReadyRead(ms);
    return m_open && m_in.size() != before;
}

QByteArray NetworkPortIo::readAll() {
    return std::exchange(m_in, QByteArray());
}

bool NetworkPortIo::drainOutput() {
    m_socket.flush();
    waitUntilWritten(m_socket, int(m_baud));
    return m_open;
}

qint64 NetworkPortIo::sendDirect(const char *first, qint64 firstSize, const char *second,
                                 qint64 secondSize) {
#ifdef Q_OS_UNIX
    // With nothing queued, the bytes go to the socket straight away: the
    // socket's own buffer turns its write notifier on and off again for
    // every packet, each time waking the event loop.
    if (m_socket.bytesToWrite() != 0) return 0;
    iovec parts[2] = {{const_cast<char *>(first), size_t(firstSize)},
                      {const_cast<char *>(second), size_t(secondSize)}};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = secondSize > 0 ? 2 : 1;
    const ssize_t n =
        ::sendmsg(int(m_socket.socketDescriptor()), &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    return n > 0 ? n : 0;
#else
    Q_UNUSED(first)
    Q_UNUSED(firstSize)
    Q_UNUSED(second)
    Q_UNUSED(secondSize)
    return 0;
#endif
}

qint64 NetworkPortIo::queueRest(const QByteArray &wire, qint64 sent) {
    // What the kernel did not take at once, and any error, takes the
    // socket's own way.
    if (sent < wire.size() && m_socket.write(wire.constData() + sent, wire.size() - sent) < 0)
        return -1;
    return drainOutput() ? wire.size() : -1;
}

qint64 NetworkPortIo::write(const QByteArray &bytes) {
    if (!m_open) return -1;
    const QByteArray wire = m_address.telnet ? telnet::escape(bytes) : bytes;
    return queueRest(wire, sendDirect(wire.constData(), wire.size(), nullptr, 0)) < 0
               ? -1
               : bytes.size();
}

qint64 NetworkPortIo::writeParts(const QByteArray &first, const QByteArray &second) {
    if (!m_open) return -1;
    if (m_address.telnet) return write(first + second);
    // One segment for the packet and its checksum, without joining them.
    const qint64 sent =
        sendDirect(first.constData(), first.size(), second.constData(), second.size());
    if (sent == first.size() + second.size()) return drainOutput() ? sent : -1;
    return queueRest(first + second, sent) < 0 ? -1 : first.size() + second.size();
}

void NetworkPortIo::onDead() {
    // The server went away or the connection broke: close at once, so that
    // nothing waits on a dead line, and tell it as a vanished device is told.
    if (!m_open) return;
    takeIncoming();
    m_open = false;
    m_failure = PortFailure::Other;
    m_socket.abort();
    emit lost();
}
