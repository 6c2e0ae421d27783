// The short one-packet control commands (brightness, on/off, start picture,
// clock, list) and the escaped parameter frame.
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <cmath>

namespace {

quint8 bcd(int value) {
    return quint8((value / 10) * 16 + value % 10);
}

// Sends row 0 as the one data packet of a command.
bool sendRow0(led &device, Command commandbyte, qint32 size) {
    qint32 counter = 1;
    return device.senddata(commandbyte, counter, size);
}

// The numeric value of a field text; a text without a number is a type
// mismatch, as the window's other number fields are.
double numericValue(const QString &text, const QString &what) {
    if (!VbNumbers::isNumeric(text))
        throw VbError(vberr::TypeMismatch, QStringLiteral("%1不是数字：%2").arg(what, text));
    return VbNumbers::value(text);
}

// Nearest integer, halves to even, then checked against a byte.
quint8 byteOf(double value, const QString &what) {
    const double rounded = std::nearbyint(value);
    if (rounded < 0 || rounded > 255)
        throw VbError(vberr::Overflow, QStringLiteral("%1超出0到255：%2").arg(what).arg(value));
    return quint8(rounded);
}

// Bytes 0x10..0x7F go out as they are, every other byte as its two nibbles.
QByteArray escaped(const QByteArray &body) {
    QByteArray out;
    for (char c : body) {
        const quint8 b = quint8(c);
        if (b >= 0x10 && b <= 0x7F) {
            out.append(c);
        } else {
            out.append(char(b >> 4)).append(char(b & 0x0F));
        }
    }
    return out;
}

} // namespace

bool led::CSetLight(quint8 YRule) {
    m_table.set(0, 0, YRule);
    return sendRow0(*this, Command::Brightness, 1);
}

bool led::CAutokgSet(qint16 YRule) {
    if (YRule < 0 || YRule > 3)
        throw VbError(vberr::Overflow, QStringLiteral("开关屏参数超出范围：%1").arg(YRule));
    m_table.set(0, 0, quint8(YRule * 64));
    return sendRow0(*this, Command::OnOff, 12);
}

bool led::Ckaitkh(qint16 YRule) {
    if (YRule < 0 || YRule > 255)
        throw VbError(vberr::Overflow, QStringLiteral("开始图号超出0到255：%1").arg(YRule));
    m_table.set(0, 0, quint8(YRule));
    return sendRow0(*this, Command::StartPicture, 12);
}

QByteArray led::clockBytes(const QDateTime &t) {
    const QDate d = t.date();
    const QTime time = t.time();
    QByteArray out;
    out.append(char(bcd(time.second())));
    out.append(char(bcd(time.minute())));
    out.append(char(bcd(time.hour())));
    out.append(char(bcd(d.day())));
    out.append(char(bcd(d.month())));
    out.append(char(bcd(d.year() % 100)));
    out.append(char(d.dayOfWeek() - 1)); // Monday 0 ... Sunday 6, not BCD
    return out;
}

bool led::CTimeAdjust(qint16 STime) {
    m_table.setRow(0, 5, clockBytes(now().addSecs(STime)));
    return sendRow0(*this, Command::Clock, 12);
}

bool led::Csendlist(const QByteArray &list, qint32 listcount) {
    if (listcount < 0 || listcount > PacketTable::Columns || listcount > list.size())
        throw VbError(vberr::SubscriptOutOfRange,
                      QStringLiteral("列表长度超出范围：%1").arg(listcount));
    m_table.setRow(0, 0, list.left(listcount));
    return sendRow0(*this, Command::List, listcount);
}

QList<QByteArray> led::quorinWrites(const QuorinFields &fields) {
    const double address = numericValue(fields.address, QStringLiteral("地址"));
    const quint8 a = byteOf(address, QStringLiteral("地址"));
    const double length = numericValue(fields.length, QStringLiteral("屏长"));
    const double cells = std::trunc(std::nearbyint(length) / 8) - 1;
    const quint8 lengthByte = byteOf(cells, QStringLiteral("屏长/8-1"));
    const quint8 brightness =
        byteOf(numericValue(fields.brightness, QStringLiteral("亮度")), QStringLiteral("亮度"));
    const quint8 polarity =
        byteOf(double(fields.oePolarity) + fields.dataPolarity, QStringLiteral("极性"));

    QByteArray body("\x00\xFF\x9A\x95\x00", 5);
    body.append(char(a)).append(char(polarity)).append(char(lengthByte)).append(char(brightness));
    body.append(char(0x99));

    QList<QByteArray> writes;
    // The test for the long prefix uses the numeric value, the bytes its integer.
    if (address > 64) {
        writes.append(QByteArray(1, char(0x80 + a % 64)));
        writes.append(QByteArray(1, char(0xC0 + a / 64)).append('A'));
    } else {
        writes.append(QByteArray(1, char(0x80 + a)).append('A'));
    }
    writes.append(escaped(body).append(char(0x1A)));
    return writes;
}

bool led::CSetQuorin(const QuorinFields &fields) {
    // Built first, so a value that does not fit is raised before the port is touched.
    const QList<QByteArray> writes = quorinWrites(fields);
    if (!openPort()) return false;
    SerialPortIo &port = MSComm1();
    port.clearInput();
    for (const QByteArray &w : writes)
        port.write(w);
    const bool result = waitAnswer(
                            AnswerLimitMs, 1,
                            [](const QByteArray &a) {
                                return quint8(a.at(0)) == 0x1A ? Verdict::Accept : Verdict::Consume;
                            },
                            /*userEvents=*/false) == WaitResult::Accepted;
    releasePort();
    return result;
}
