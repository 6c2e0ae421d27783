#include "sim/FrameParser.h"

namespace {
quint8 at(const QByteArray &b, int i) {
    return quint8(b.at(i));
}
constexpr quint8 PrefixLetter = 0x41; // 'A' ends the address prefix of a parameter frame
constexpr int RadioQuerySize = 4;     // "XD" CR LF
constexpr int RadioSettingSize = 8;   // 6 characters and their XOR as two nibble characters

bool printable(quint8 b) {
    return b >= 0x20 && b <= 0x7E;
}
bool nibbleChar(quint8 b) {
    return b >= 0x30 && b <= 0x3F;
}
bool startsFrame(quint8 first) {
    return first == 0xAA || first == 0x04 || (first >= 0x80 && first <= 0xC0) || printable(first);
}
} // namespace

void FrameParser::feed(const QByteArray &bytes) {
    m_buf.append(bytes);
    process();
}

void FrameParser::feed(quint8 byte) {
    m_buf.append(char(byte));
    process();
}

void FrameParser::expectPackets(int count) {
    m_packetsLeft = qMax(0, count);
    m_packetsTotal = m_packetsLeft;
}

void FrameParser::endTransfer() {
    m_packetsLeft = 0;
    m_packetsTotal = 0;
}

void FrameParser::reset() {
    endTransfer();
    m_buf.clear();
}

int FrameParser::bytesToNextFrame() const {
    const int have = int(m_buf.size());
    if (m_packetsLeft > 0) {
        if (have < 4) return 5 - have; // number, size and checksum of an empty packet
        const int size = (at(m_buf, 2) << 8) | at(m_buf, 3);
        return qMax(1, 4 + size + 1 - have);
    }
    if (have == 0) return 4; // the link check is the shortest frame
    const quint8 first = at(m_buf, 0);
    if (first == 0xAA) return qMax(1, 4 - have);
    if (first == 0x04) return qMax(1, 7 - have);
    if (first >= 0x80 && first <= 0xC0) return qMax(1, 2 + ParameterBodySize + 1 - have);
    if (first == 'X') return qMax(1, RadioQuerySize - have);
    if (printable(first)) return qMax(1, RadioSettingSize - have);
    return 1;
}

void FrameParser::process() {
    // A handler may feed more bytes; the outer call finishes the work.
    if (m_processing) return;
    m_processing = true;
    while (!m_buf.isEmpty()) {
        Frame frame;
        const Verdict v = m_packetsLeft > 0 ? scanPacket(frame) : scanIdle(frame);
        if (v == Verdict::Incomplete) break;
        if (v == Verdict::Invalid) {
            if (m_packetsLeft > 0) {
                // A packet that cannot be one ends the transfer; look for frames again.
                endTransfer();
            } else {
                m_buf.remove(0, 1);
                ++m_stray;
            }
            continue;
        }
        m_buf.remove(0, frame.raw.size());
        if (frame.kind == Frame::Kind::Packet) {
            frame.total = m_packetsTotal;
            frame.index = m_packetsTotal - m_packetsLeft + 1;
            --m_packetsLeft;
            if (m_packetsLeft == 0) m_packetsTotal = 0;
        }
        if (onFrame) onFrame(frame);
    }
    m_processing = false;
}

FrameParser::Verdict FrameParser::scanPacket(Frame &frame) const {
    // Packets are numbered from 1 in every transfer; a wrong number means the
    // host gave up on this transfer and this is the start of a new frame.
    const int expected = m_packetsTotal - m_packetsLeft + 1;
    const int have = int(m_buf.size());
    if (at(m_buf, 0) != quint8(expected >> 8)) return Verdict::Invalid;
    if (have < 2) return Verdict::Incomplete;
    if (at(m_buf, 1) != quint8(expected & 0xFF)) return Verdict::Invalid;
    if (have < 3) return Verdict::Incomplete;
    if ((at(m_buf, 2) << 8) > MaxPacketSize) return Verdict::Invalid;
    if (have < 4) return Verdict::Incomplete;
    const int size = (at(m_buf, 2) << 8) | at(m_buf, 3);
    if (size > MaxPacketSize) return Verdict::Invalid;
    if (have < 4 + size + 1) return Verdict::Incomplete;
    frame.kind = Frame::Kind::Packet;
    frame.raw = m_buf.left(4 + size + 1);
    frame.number = quint16(expected);
    frame.payload = m_buf.mid(4, size);
    frame.checksum = at(m_buf, 4 + size);
    return Verdict::Complete;
}

FrameParser::Verdict FrameParser::scanIdle(Frame &frame) const {
    const int have = int(m_buf.size());
    const quint8 first = at(m_buf, 0);
    if (have < 2) return startsFrame(first) ? Verdict::Incomplete : Verdict::Invalid;
    const quint8 second = at(m_buf, 1);
    if (first == 0xAA && second == 0x55) {
        if (have < 4) return Verdict::Incomplete;
        frame.kind = Frame::Kind::Link;
        frame.raw = m_buf.left(4);
        frame.address = quint16((at(m_buf, 2) << 8) | at(m_buf, 3));
        return Verdict::Complete;
    }
    if (first == 0x04) {
        if (second != 0x00) return Verdict::Invalid;
        if (have < 7) return Verdict::Incomplete;
        frame.kind = Frame::Kind::Header;
        frame.raw = m_buf.left(7);
        frame.address = quint16((at(m_buf, 2) << 8) | at(m_buf, 3));
        frame.command = at(m_buf, 4);
        frame.counter = quint16((at(m_buf, 5) << 8) | at(m_buf, 6));
        return Verdict::Complete;
    }
    if (first >= 0x80 && first <= 0xC0) {
        // Address prefix: 0x80+A 'A' for A up to 64, else 0x80+A%64 0xC0+A/64 'A'.
        if (second == PrefixLetter) return scanParameters(2, first - 0x80, frame);
        if (first <= 0xBF && second >= 0xC1 && second <= 0xC3) {
            if (have < 3) return Verdict::Incomplete;
            if (at(m_buf, 2) != PrefixLetter) return Verdict::Invalid;
            return scanParameters(3, quint16((first - 0x80) + 64 * (second - 0xC0)), frame);
        }
    }
    if (printable(first)) return scanRadio(frame);
    return Verdict::Invalid;
}

FrameParser::Verdict FrameParser::scanRadio(Frame &frame) const {
    // The radio module's frames are text; anything else in them is no frame.
    const int have = int(m_buf.size());
    if (have >= 3 && m_buf.startsWith("XD\r")) {
        if (have < RadioQuerySize) return Verdict::Incomplete;
        if (at(m_buf, 3) != '\n') return Verdict::Invalid;
        frame.kind = Frame::Kind::RadioQuery;
        frame.raw = m_buf.left(RadioQuerySize);
        return Verdict::Complete;
    }
    quint8 x = 0;
    for (int i = 0; i < qMin(have, RadioSettingSize); ++i) {
        const quint8 b = at(m_buf, i);
        if (i < 6 && !printable(b)) return Verdict::Invalid;
        if (i >= 6 && !nibbleChar(b)) return Verdict::Invalid;
        if (i < 6) x ^= b;
    }
    if (have < RadioSettingSize) return Verdict::Incomplete;
    if (((at(m_buf, 6) - 0x30) << 4 | (at(m_buf, 7) - 0x30)) != x) return Verdict::Invalid;
    frame.kind = Frame::Kind::RadioSetting;
    frame.raw = m_buf.left(RadioSettingSize);
    frame.body = m_buf.left(6);
    return Verdict::Complete;
}

FrameParser::Verdict FrameParser::scanParameters(int bodyStart, quint16 address,
                                                 Frame &frame) const {
    // The body has a fixed length, so a body byte equal to the terminator (an
    // address, length or brightness of 26) does not end the frame early.
    QByteArray body;
    int i = bodyStart;
    const int have = int(m_buf.size());
    while (body.size() < ParameterBodySize) {
        if (i >= have) return Verdict::Incomplete;
        const quint8 b = at(m_buf, i);
        if (b >= 0x10 && b <= 0x7F) {
            body.append(char(b));
            ++i;
        } else if (b < 0x10) {
            if (i + 1 >= have) return Verdict::Incomplete;
            const quint8 low = at(m_buf, i + 1);
            if (low >= 0x10) return Verdict::Invalid;
            body.append(char((b << 4) | low));
            i += 2;
        } else {
            return Verdict::Invalid;
        }
    }
    if (i >= have) return Verdict::Incomplete;
    if (at(m_buf, i) != ParameterEnd) return Verdict::Invalid;
    frame.kind = Frame::Kind::Parameters;
    frame.raw = m_buf.left(i + 1);
    frame.address = address;
    frame.body = body;
    return Verdict::Complete;
}
