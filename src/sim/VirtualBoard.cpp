#include "sim/VirtualBoard.h"

namespace {
constexpr quint8 LinkAnswer = 0xA5;
constexpr int PropertyAnswerSize = 38;
} // namespace

VirtualBoard::VirtualBoard(quint16 address) : m_address(address) {
    m_state.parameterBlock[16] = char(address & 0xFF);
}

QByteArray VirtualBoard::answerLink() const {
    return QByteArray(1, char(LinkAnswer));
}

QByteArray VirtualBoard::answerHeader(const Frame &header) {
    m_inTransfer = true;
    m_command = header.command;
    m_counter = header.counter;
    m_expected = header.packetCount();
    m_rows.clear();
    const QByteArray echo = header.raw.mid(4, 3);
    if (header.command == 0 && header.counter == 0) {
        m_inTransfer = false;
        m_expected = 0;
        return propertyAnswer();
    }
    if (m_expected == 0) complete();
    return echo;
}

QByteArray VirtualBoard::answerPacket(const Frame &packet) {
    const QByteArray answer(1, char(packet.computedChecksum()));
    if (!m_inTransfer) return answer;
    if (!packet.checksumMatches()) {
        abandonTransfer();
        return answer;
    }
    m_rows.append(packet.payload);
    if (m_rows.size() >= m_expected) complete();
    return answer;
}

QByteArray VirtualBoard::answerParameters(const Frame &frame) {
    EscapedParameters &p = m_state.escaped;
    p.received = true;
    p.body = frame.body;
    p.address = quint8(frame.body.at(5));
    p.polarity = quint8(frame.body.at(6));
    p.lengthCode = quint8(frame.body.at(7));
    p.brightness = quint8(frame.body.at(8));
    m_state.brightness = p.brightness;
    return QByteArray(1, char(0x1A));
}

void VirtualBoard::abandonTransfer() {
    m_inTransfer = false;
    m_expected = 0;
    m_rows.clear();
}

QByteArray VirtualBoard::propertyAnswer() const {
    // Echo of the request's command and counter, the board address, then the
    // parameter block from byte 7 on (answer byte 7 + j = parameter byte j),
    // the product identifier and the version.
    QByteArray a(PropertyAnswerSize, '\0');
    a[3] = char(m_address >> 8);
    a[4] = char(m_address & 0xFF);
    for (int j = 0; j < BoardState::ParameterBlockSize; ++j)
        a[7 + j] = m_state.parameterBlock.at(j);
    const QByteArray id = m_state.productId.leftJustified(10, ' ', true);
    for (int i = 0; i < 10; ++i)
        a[25 + i] = id.at(i);
    a[35] = char(m_state.versionMajor);
    a[36] = char(m_state.versionMinor);
    return a;
}

void VirtualBoard::complete() {
    BoardState &s = m_state;
    const QByteArray first = m_rows.value(0);
    auto byteAt = [&](int i) { return i < first.size() ? quint8(first.at(i)) : quint8(0); };
    switch (m_command) {
    case 0: // display properties, bytes 0..14 of the block
        for (int i = 0; i < 15 && i < first.size(); ++i)
            s.parameterBlock[i] = first.at(i);
        break;
    case 2:
        s.messageList = first;
        break;
    case 4:
        s.onOffByte = byteAt(0);
        break;
    case 7:
        s.brightness = byteAt(0);
        break;
    case 8:
        s.clock = first.mid(5, 7);
        break;
    case 9:
        s.startPicture = byteAt(0);
        break;
    case 15:
        // New address and baud code; the board answers at the new address from now on.
        for (int i = 15; i < 18 && i < first.size(); ++i)
            s.parameterBlock[i] = first.at(i);
        if (first.size() >= 18) {
            s.baudCode = byteAt(17);
            m_address = byteAt(16);
        }
        break;
    case 16:
        s.windowNumberRow = first;
        break;
    default:
        if (m_command > 16)
            s.pictures[m_command - 16] = StoredPicture{quint8(m_counter >> 8), m_rows};
        break;
    }
    s.lastRows[m_command] = m_rows;
    ++s.transfersCompleted;
    m_inTransfer = false;
    m_expected = 0;
    m_rows.clear();
}
