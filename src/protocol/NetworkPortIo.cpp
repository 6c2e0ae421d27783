#include "protocol/NetworkPortIo.h"

#include <QEventLoop>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#endif

namespace {
int g_connectLimitMs = NetworkPortIo::DefaultConnectLimitMs;
}

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

quint32 NetworkPortIo::baud() const {
    bool ok = false;
    const int b = m_settings.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    return ok && b > 0 ? quint32(b) : 9600;
}

void NetworkPortIo::setLineSettings(const QString &settings) {
    m_settings = settings;
    // Sent, not waited for: some servers never acknowledge them.
    if (m_open && m_address.telnet) {
        m_socket.write(telnet::lineSettings(baud()));
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
        m_socket.write(m_decoder.start() + telnet::lineSettings(baud()));
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
    takeIncoming();
    m_in.clear();
}

bool NetworkPortIo::waitForBytes(int ms) {
    if (!m_open) return false;
    const qsizetype before = m_in.size();
#ifdef Q_OS_UNIX
    // While the socket holds nothing, the wait reads it itself, as the
    // serial port does; the socket meets an end or an error in the event loop.
    if (m_socket.bytesAvailable() == 0) {
        pollfd p{int(m_socket.socketDescriptor()), POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0 || !(p.revents & POLLIN)) return false;
        char wire[4096];
        const ssize_t n = ::recv(p.fd, wire, sizeof wire, MSG_DONTWAIT);
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
    waitUntilWritten(m_socket, int(baud()));
    return m_open;
}

qint64 NetworkPortIo::write(const QByteArray &bytes) {
    if (!m_open) return -1;
    const QByteArray wire = m_address.telnet ? telnet::escape(bytes) : bytes;
    qint64 sent = 0;
#ifdef Q_OS_UNIX
    // With nothing queued, the bytes go to the socket straight away: the
    // socket's own buffer turns its write notifier on and off again for
    // every packet, each time waking the event loop. What the kernel does
    // not take at once, and any error, takes the socket's own way.
    if (m_socket.bytesToWrite() == 0) {
        const ssize_t n = ::send(int(m_socket.socketDescriptor()), wire.constData(),
                                 size_t(wire.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) sent = n;
    }
#endif
    if (sent < wire.size() && m_socket.write(wire.constData() + sent, wire.size() - sent) < 0)
        return -1;
    return drainOutput() ? bytes.size() : -1;
}

qint64 NetworkPortIo::writeParts(const QByteArray &first, const QByteArray &second) {
    // One segment for the packet and its checksum.
    return write(first + second);
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
