#include "protocol/QtSerialPortIo.h"

#include "protocol/LowLatency.h"
#include "protocol/PortLocator.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

QtSerialPortIo::QtSerialPortIo(QObject *parent) : SerialPortIo(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortIo::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortIo::onError);
}

QtSerialPortIo::~QtSerialPortIo() {
    m_port.close();
}

PortFailure QtSerialPortIo::classify(QSerialPort::SerialPortError error, const QString &device) {
    if (error == QSerialPort::DeviceNotFoundError) return PortFailure::NoSuchPort;
    if (error == QSerialPort::PermissionError) {
        // A lock or an exclusive open by someone else on a device we may use
        // means the port is taken; without the rights it is just a failure.
        const QFileInfo info(device);
        return info.isReadable() && info.isWritable() ? PortFailure::InUse : PortFailure::Other;
    }
    if (error == QSerialPort::OpenError) return PortFailure::InUse;
#ifdef Q_OS_UNIX
    // A device node without hardware behind it (ENXIO/EIO) names no port.
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return PortFailure::Other;
    }
    if (errno == ENXIO || errno == EIO || errno == ENODEV || errno == ENOENT)
        return PortFailure::NoSuchPort;
#endif
    return PortFailure::Other;
}

bool QtSerialPortIo::open() {
    m_failure = PortFailure::None;
    const QString device = PortLocator::devicePath(m_number);
    if (device.isEmpty() || !QFileInfo::exists(device)) {
        m_failure = PortFailure::NoSuchPort;
        return false;
    }
    const QStringList parts = m_settings.split(QLatin1Char(','));
    bool ok = false;
    const int baud = parts.value(0).trimmed().toInt(&ok);
    m_port.setPortName(QFileInfo(device).absoluteFilePath());
    m_port.setBaudRate(ok && baud > 0 ? baud : 9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite)) {
        // Best effort: a driver without the mode (a pty) keeps its own timing.
        (void)LowLatency::request(m_port.handle());
        return true;
    }
    m_failure = classify(m_port.error(), device);
    m_port.clearError();
    return false;
}

void QtSerialPortIo::close() {
    m_taken.clear();
    if (m_port.isOpen()) m_port.close();
}

void QtSerialPortIo::clearInput() {
    m_taken.clear();
    if (m_port.isOpen()) m_port.clear(QSerialPort::Input);
}

QByteArray QtSerialPortIo::readAll() {
    if (m_taken.isEmpty()) return m_port.readAll();
    QByteArray all = std::exchange(m_taken, QByteArray());
    if (m_port.bytesAvailable() > 0) all.append(m_port.readAll());
    return all;
}

bool QtSerialPortIo::waitForBytes(int ms) {
    if (!m_port.isOpen()) return false;
#ifdef Q_OS_UNIX
    // While QSerialPort holds nothing, the wait reads the device itself: a
    // one-byte answer then costs a poll and a read, not QSerialPort's
    // buffers and signals. Order is kept, since QSerialPort only reads in
    // the event loop and nothing is read here while it holds bytes.
    if (m_port.bytesAvailable() == 0) {
        if (!pollInPlace(int(m_port.handle()), ms)) return false;
        char bytes[1024];
        const ssize_t n = ::read(int(m_port.handle()), bytes, sizeof bytes);
        // End of file or an error: QSerialPort meets it in the event loop
        // and reports the line as lost.
        if (n <= 0) return false;
        m_taken.append(bytes, n);
        return true;
    }
#endif
    return m_port.waitForReadyRead(ms);
}

qint64 QtSerialPortIo::write(const QByteArray &bytes) {
    return writeParts(bytes, QByteArray());
}

qint64 QtSerialPortIo::writeParts(const QByteArray &first, const QByteArray &second) {
    if (!m_port.isOpen()) return -1;
    qint64 sent = 0;
#ifdef Q_OS_UNIX
    // With nothing queued, both parts go to the driver in one system call,
    // past QSerialPort's buffer. What the driver does not take at once, and
    // any error, takes QSerialPort's own way, which reports it.
    if (m_port.bytesToWrite() == 0) {
        iovec parts[2] = {{const_cast<char *>(first.constData()), size_t(first.size())},
                          {const_cast<char *>(second.constData()), size_t(second.size())}};
        const ssize_t n = ::writev(int(m_port.handle()), parts, second.isEmpty() ? 1 : 2);
        if (n > 0) sent = n;
    }
#endif
    const qint64 total = first.size() + second.size();
    if (sent < first.size() && m_port.write(first.constData() + sent, first.size() - sent) < 0)
        return -1;
    const qint64 fromSecond = qMax<qint64>(0, sent - first.size());
    if (fromSecond < second.size() &&
        m_port.write(second.constData() + fromSecond, second.size() - fromSecond) < 0)
        return -1;
    if (sent < total) drain();
    return total;
}

void QtSerialPortIo::drain() {
    m_port.flush();
    waitUntilWritten(m_port, int(m_port.baudRate()));
}

void QtSerialPortIo::onError(QSerialPort::SerialPortError error) {
    // A device that vanished shows as ResourceError (EIO) or, once the tty is
    // hung up and reads return end-of-file, as ReadError on every read; both
    // mean the line is dead. Close at once so nothing waits (or spins) on it.
    const bool dead = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (dead && m_port.isOpen()) {
        m_failure = PortFailure::Other;
        m_port.close();
        emit lost();
    }
}
