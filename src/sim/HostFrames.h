#pragma once
// Frames as the host puts them on the line, for feeding a VirtualLine
// directly (tests, benchmarks, screenshots).
#include <QByteArray>

namespace hostframes {

// Data packet `number` with its checksum byte.
inline QByteArray packet(quint16 number, const QByteArray &payload) {
    QByteArray p = QByteArray(1, char(number >> 8)) + char(number & 0xFF);
    p += char(payload.size() >> 8);
    p += char(payload.size() & 0xFF);
    p += payload;
    quint8 sum = 0;
    for (char c : p)
        sum ^= quint8(c);
    return p + char(sum);
}

// Link check and command header of a transfer to `address`.
inline QByteArray linkAndHeader(quint8 command, quint16 counter, quint16 address = 1) {
    const QByteArray a = QByteArray(1, char(address >> 8)) + char(address & 0xFF);
    return QByteArray("\xAA\x55", 2) + a + QByteArray("\x04\x00", 2) + a + char(command) +
           char(counter >> 8) + char(counter & 0xFF);
}

// A one-packet command: link, header, packet.
inline QByteArray onePacket(quint8 command, const QByteArray &payload, quint16 address = 1,
                            quint8 parameter = 0) {
    return linkAndHeader(command, quint16(parameter << 8 | 1), address) + packet(1, payload);
}

} // namespace hostframes
