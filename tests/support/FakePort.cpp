#include "support/FakePort.h"

#include <QTimer>

bool FakePort::open() {
    ++opens;
    m_failure = failOpenWith;
    if (failOpenWith != PortFailure::None) return false;
    m_open = true;
    return true;
}

void FakePort::close() {
    m_open = false;
    m_input.clear();
}

qint64 FakePort::write(const QByteArray &bytes) {
    if (!m_open) return -1;
    writes.append(bytes);
    if (onWrite) onWrite(*this, bytes);
    return bytes.size();
}

QByteArray FakePort::readAll() {
    QByteArray out = m_input;
    m_input.clear();
    return out;
}

void FakePort::deliver(const QByteArray &bytes, int delayMs) {
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this, bytes] {
        if (!m_open) return;
        m_input.append(bytes);
        emit readyRead();
    });
}

void FakePort::unplug() {
    QTimer::singleShot(0, this, [this] {
        if (!m_open) return;
        m_open = false;
        m_failure = PortFailure::Other;
        emit lost();
    });
}

QByteArray FakePort::allWritten() const {
    QByteArray all;
    for (const QByteArray &w : writes)
        all.append(w);
    return all;
}

void answerLikeBoard(FakePort &port, const QByteArray &w) {
    if (w.size() == 4 && quint8(w[0]) == 0xAA && quint8(w[1]) == 0x55)
        port.deliver(QByteArray("\xA5", 1));
    else if (w.size() == 7 && w[0] == 0x04 && w[1] == 0x00)
        port.deliver(w.mid(4, 3));
    else if (w.size() == 1)
        port.deliver(w);
}
