#include "protocol/LinePortIo.h"

#include "protocol/NetworkPortIo.h"
#include "protocol/PortLocator.h"
#include "protocol/QtSerialPortIo.h"

LinePortIo::LinePortIo(QObject *parent) : SerialPortIo(parent) {}

LinePortIo::~LinePortIo() = default;

void LinePortIo::attach(SerialPortIo *port) {
    connect(port, &SerialPortIo::readyRead, this, &SerialPortIo::readyRead);
    connect(port, &SerialPortIo::lost, this, &SerialPortIo::lost);
}

void LinePortIo::setPortNumber(int number) {
    m_number = number;
    if (m_active) m_active->setPortNumber(number);
}

void LinePortIo::setLineSettings(const QString &settings) {
    m_settings = settings;
    if (m_active) m_active->setLineSettings(settings);
}

bool LinePortIo::open() {
    if (isOpen()) return true;
    SerialPortIo *port = nullptr;
    if (PortLocator::networkAddress(m_number).isValid()) {
        if (!m_network) {
            m_network = std::make_unique<NetworkPortIo>();
            attach(m_network.get());
        }
        port = m_network.get();
    } else {
        if (!m_serial) {
            m_serial = std::make_unique<QtSerialPortIo>();
            attach(m_serial.get());
        }
        port = m_serial.get();
    }
    m_active = port;
    port->setPortNumber(m_number);
    port->setLineSettings(m_settings);
    return port->open();
}

void LinePortIo::close() {
    if (m_active) m_active->close();
}

bool LinePortIo::isOpen() const {
    return m_active && m_active->isOpen();
}

void LinePortIo::clearInput() {
    if (m_active) m_active->clearInput();
}

qint64 LinePortIo::write(const QByteArray &bytes) {
    return m_active ? m_active->write(bytes) : -1;
}

qint64 LinePortIo::writeParts(const QByteArray &first, const QByteArray &second) {
    return m_active ? m_active->writeParts(first, second) : -1;
}

bool LinePortIo::waitForBytes(int ms) {
    return m_active && m_active->waitForBytes(ms);
}

qint64 LinePortIo::bytesWaiting() {
    return m_active ? m_active->bytesWaiting() : 0;
}

QByteArray LinePortIo::readAll() {
    return m_active ? m_active->readAll() : QByteArray();
}

PortFailure LinePortIo::failure() const {
    return m_active ? m_active->failure() : PortFailure::None;
}
