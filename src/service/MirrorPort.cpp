#include "service/MirrorPort.h"

namespace service {

MirrorPort::MirrorPort(std::unique_ptr<SerialPortIo> port,
                       std::function<void(const QByteArray &)> sent)
    : m_port(std::move(port)), m_sent(std::move(sent)) {
    connect(m_port.get(), &SerialPortIo::readyRead, this, &SerialPortIo::readyRead);
    connect(m_port.get(), &SerialPortIo::lost, this, &SerialPortIo::lost);
}

qint64 MirrorPort::write(const QByteArray &bytes) {
    const qint64 written = m_port->write(bytes);
    // Only what reached the line: a failed write never got to the screen.
    if (written > 0 && m_sent) m_sent(bytes.left(written));
    return written;
}

qint64 MirrorPort::writeParts(const QByteArray &first, const QByteArray &second) {
    const qint64 written = m_port->writeParts(first, second);
    if (written > 0 && m_sent) m_sent((first + second).left(written));
    return written;
}

} // namespace service
