#include "sim/Frame.h"

quint8 Frame::computedChecksum() const {
    quint8 sum = quint8(number >> 8) ^ quint8(number & 0xFF);
    const int size = int(payload.size());
    sum ^= quint8(size >> 8) ^ quint8(size & 0xFF);
    for (char c : payload)
        sum ^= quint8(c);
    return sum;
}

QString Frame::describe() const {
    switch (kind) {
    case Kind::Link:
        return QStringLiteral("link address=%1").arg(address);
    case Kind::Header:
        return QStringLiteral("header address=%1 command=%2 counter=0x%3 packets=%4")
            .arg(address)
            .arg(command)
            .arg(counter, 4, 16, QLatin1Char('0'))
            .arg(packetCount());
    case Kind::Packet:
        return QStringLiteral("packet %1/%2 number=%3 size=%4 checksum=%5 %6 data=%7")
            .arg(index)
            .arg(total)
            .arg(number)
            .arg(payload.size())
            .arg(hexBytes(QByteArray(1, char(checksum))))
            .arg(checksumMatches() ? QStringLiteral("ok") : QStringLiteral("bad"))
            .arg(hexBytes(payload));
    case Kind::Parameters:
        return QStringLiteral("parameters address=%1 body=%2").arg(address).arg(hexBytes(body));
    case Kind::RadioQuery:
        return QStringLiteral("radio query");
    case Kind::RadioSetting:
        return QStringLiteral("radio setting %1").arg(QString::fromLatin1(body));
    }
    return QString();
}

QString hexBytes(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
