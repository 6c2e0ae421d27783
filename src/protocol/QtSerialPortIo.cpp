#include "protocol/QtSerialPortIo.h"

#include "protocol/LowLatency.h"
#include "protocol/PortLocator.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
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
    if (m_port.isOpen()) m_port.close();
}

void QtSerialPortIo::clearInput() {
    if (m_port.isOpen()) m_port.clear(QSerialPort::Input);
}

qint64 QtSerialPortIo::write(const QByteArray &bytes) {
    if (!m_port.isOpen()) return -1;
    const qint64 n = m_port.write(bytes);
    drain();
    return n;
}

qint64 QtSerialPortIo::writeParts(const QByteArray &first, const QByteArray &second) {
    if (!m_port.isOpen()) return -1;
    // Both parts go into the port's buffer first, so that they reach the
    // driver in one system call.
    const qint64 a = m_port.write(first);
    const qint64 b = a < 0 ? a : m_port.write(second);
    drain();
    return a < 0 ? a : a + qMax<qint64>(0, b);
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
