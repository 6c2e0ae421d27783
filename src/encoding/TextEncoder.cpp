// The text encoders of the device object: they turn a text into the payload
// of a text picture in PacketTable and return its length. They never touch
// the port; the caller starts the transfer.
#include "encoding/Effects.h"
#include "encoding/Gbk.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

namespace {

// Payload position p lives in row p div 264 at byte p mod 264 (plus a shift
// for the effect-carrying layout, whose first three bytes are its own).
constexpr int RowSpan = 264;

void putAt(PacketTable &table, int p, quint8 value, int shift = 0) {
    table.set(p / RowSpan, p % RowSpan + shift, value);
}

bool isControl(const QByteArray &code) {
    return code.size() == 1 && quint8(code.at(0)) <= 13;
}

bool isAsciiDigit(const QString &c) {
    return c.size() == 1 && c.at(0) >= QLatin1Char('0') && c.at(0) <= QLatin1Char('9');
}

// Code bytes of a text, checked against the 16-bit length the encoders return.
QByteArray checkedCodeBytes(const QString &text, int reserved) {
    const QByteArray bytes = gbk::codeBytes(text);
    if (bytes.size() + reserved > 32767)
        throw VbError(vberr::Overflow, QStringLiteral("文字太长: %1个字节").arg(bytes.size()));
    return bytes;
}

quint8 checkedByte(qint16 value, const char *what) {
    if (value < 0 || value > 255)
        throw VbError(vberr::Overflow,
                      QStringLiteral("%1超出0到255: %2").arg(QLatin1String(what)).arg(value));
    return quint8(value);
}

} // namespace

qint16 led::Strtoneima(const QString &neistr, qint16 hzcolor) {
    const quint8 colour = checkedByte(hzcolor, "颜色");
    const QByteArray bytes = checkedCodeBytes(neistr, 1);
    for (int i = 0; i < bytes.size(); ++i)
        putAt(m_table, i + 1, quint8(bytes.at(i)));
    putAt(m_table, 0, colour);
    return qint16(bytes.size() + 1);
}

qint16 led::Strtoneima1(const QString &neistr, qint16 hzcolor, qint16 SendMode, qint16 SendSpeed,
                        qint16 SendTime) {
    const quint8 colour = checkedByte(hzcolor, "颜色");
    const quint8 mode = checkedByte(SendMode, "动作方式");
    const quint8 speed = checkedByte(SendSpeed, "动作速度");
    const quint8 stay = checkedByte(SendTime, "停留时间");
    const QByteArray bytes = checkedCodeBytes(neistr, 4);
    for (int i = 0; i < bytes.size(); ++i)
        putAt(m_table, i + 1, quint8(bytes.at(i)), 3);
    m_table.set(0, 0, mode);
    m_table.set(0, 1, speed);
    m_table.set(0, 2, stay);
    m_table.set(0, 3, colour);
    return qint16(bytes.size() + 4);
}

qint16 led::Strtoneima2(const QString &neistr, qint16 &cols) {
    if (cols < 0 || cols > PacketTable::Columns - 1)
        throw VbError(vberr::SubscriptOutOfRange, QStringLiteral("行宽超出范围: %1").arg(cols));
    // The whole line stays in row 0 (cols + 1 <= 1024 bytes), so a wide line
    // is never split between rows the way the filling spaces are not.
    int p = 1;
    for (const QString &c : gbk::characters(neistr)) {
        if (p > cols) break;
        const QByteArray code = gbk::characterCode(c);
        if (isControl(code)) continue;
        if (code.size() == 2 && p == cols) {
            m_table.set(0, p++, 0x20);
        } else {
            for (char b : code)
                m_table.set(0, p++, quint8(b));
        }
    }
    const int written = p;
    for (int q = p; q <= cols; ++q)
        m_table.set(0, q, 0x20);
    m_table.set(0, 0, 0);
    return qint16(written);
}

qint16 led::Strtoneima3(const QString &neistr, qint16 hzcolor) {
    const quint8 cells = checkedByte(hzcolor, "窗口号宽度");
    const QStringList chars = gbk::characters(neistr);
    if (chars.size() * 2 + 1 > 32767)
        throw VbError(vberr::Overflow, QStringLiteral("窗口号文字太长"));
    for (int q = 1; q <= cells; ++q)
        putAt(m_table, q, 0x20);
    int p = 1;
    const qsizetype count = chars.size();
    qsizetype i = 0;
    while (i < count) {
        const bool escape = chars.at(i) == QLatin1String("\\") && i + 1 < count;
        if (escape && gbk::characterCode(chars.at(i + 1)) == QByteArray(1, char(0xFF))) {
            putAt(m_table, p, 0xFF);
            putAt(m_table, p + 1, 0xFF);
            p += 2;
            i += 2;
        } else if (escape && isAsciiDigit(chars.at(i + 1))) {
            ++i;
            int code = chars.at(i).at(0).digitValue();
            if (i + 1 < count && isAsciiDigit(chars.at(i + 1))) {
                // Two digits: \00..\99 follow the ten one-digit codes.
                ++i;
                code = code * 10 + chars.at(i).at(0).digitValue() + 10;
            }
            putAt(m_table, p, 0xFF);
            putAt(m_table, p + 1, quint8(code));
            p += 2;
            ++i;
        } else {
            const QByteArray code = gbk::characterCode(chars.at(i));
            if (!isControl(code)) {
                for (char b : code)
                    putAt(m_table, p++, quint8(b));
            }
            ++i;
        }
    }
    putAt(m_table, 0, cells);
    return qint16(p);
}

qint16 led::actionfashion(const QString &dongz) {
    return qint16(effects::listPanelCode(dongz));
}
