#include "sim/VirtualBoard.h"

#include "sim/DeadlineTimer.h"

namespace {
constexpr quint8 LinkAnswer = 0xA5;
constexpr int PropertyAnswerSize = 38;
} // namespace

VirtualBoard::VirtualBoard(quint16 address) : m_address(address) {
    m_state.parameterBlock[16] = char(address & 0xFF);
}

qint64 VirtualBoard::nowMs() const {
    return msClock ? msClock() : DeadlineTimer::nowNs() / 1000000;
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
    if (Command(header.command) == Command::Properties && header.counter == 0) {
        m_inTransfer = false;
        m_expected = 0;
        m_state.lastExchange = QStringLiteral("属性读取");
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
    m_state.lastExchange =
        QStringLiteral("参数帧 长度 %1 亮度 %2").arg(p.lengthDots()).arg(p.brightness);
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
    const int previousPicture = s.lastPicture;
    s.lastPicture = 0;
    switch (Command(m_command)) {
    case Command::Properties: // display properties, bytes 0..14 of the block
        for (int i = 0; i < 15 && i < first.size(); ++i)
            s.parameterBlock[i] = first.at(i);
        s.lastExchange = QStringLiteral("属性 %1×%2").arg(s.width()).arg(s.height());
        break;
    case Command::List:
        s.lastPicture = previousPicture;
        completeList(first);
        s.lastPicture = 0;
        break;
    case Command::OnOff:
        s.onOffByte = byteAt(0);
        s.lastExchange = s.screenOn() ? QStringLiteral("开屏") : QStringLiteral("关屏");
        break;
    case Command::Brightness:
        s.brightness = byteAt(0);
        s.lastExchange = QStringLiteral("亮度 %1").arg(s.brightness);
        break;
    case Command::Clock:
        s.clock = first.mid(5, 7);
        s.clockSetMs = nowMs();
        s.lastExchange =
            QStringLiteral("校时 ") + s.clockTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        break;
    case Command::StartPicture:
        s.startPicture = byteAt(0);
        s.lastExchange = QStringLiteral("开始图号 %1").arg(s.startPicture);
        break;
    case Command::Address:
        // New address and baud code; the board answers at the new address from now on.
        for (int i = 15; i < 18 && i < first.size(); ++i)
            s.parameterBlock[i] = first.at(i);
        if (first.size() >= 18) {
            s.baudCode = byteAt(17);
            m_address = byteAt(16);
        }
        s.lastExchange = QStringLiteral("地址 %1 波特率 %2")
                             .arg(m_address)
                             .arg(BoardState::baudRate(s.baudCode));
        break;
    case Command::WindowNumber:
        s.windowNumberRow = first;
        s.windowNumber.set = true;
        s.windowNumber.cols = byteAt(0);
        s.windowNumber.colour = byteAt(1);
        s.windowNumber.bytes = first.mid(2);
        s.lastExchange =
            QStringLiteral("窗口号 ") + QString::fromLatin1(s.windowNumber.displayCodes());
        break;
    default:
        if (command::isPicture(m_command)) {
            completePicture(command::pictureOf(m_command));
        } else {
            Upload &u = s.uploads[m_command];
            u.packets = int(m_rows.size());
            u.packetSize = 0;
            u.bytes.clear();
            for (const QByteArray &r : std::as_const(m_rows)) {
                u.packetSize = qMax(u.packetSize, int(r.size()));
                u.bytes.append(r);
            }
            s.lastExchange = QStringLiteral("文件 %1: %2 字节").arg(m_command).arg(u.bytes.size());
        }
        break;
    }
    s.lastRows[m_command] = m_rows;
    ++s.transfersCompleted;
    m_inTransfer = false;
    m_expected = 0;
    m_rows.clear();
}

void VirtualBoard::completePicture(int number) {
    BoardState &s = m_state;
    const StoredPicture p = StoredPicture::decode(quint8(m_counter >> 8), m_rows, s.height());
    s.pictures[number] = p;
    s.lastPicture = number;
    s.lastExchange = p.kind == StoredPicture::Kind::Text
                         ? QStringLiteral("第%1幅图 ← %2").arg(number).arg(p.text)
                         : QStringLiteral("第%1幅图 ← 图像 %2×%3")
                               .arg(number)
                               .arg(p.widthDots())
                               .arg(int(p.rows.size()) / qMax(1, p.planes) * 16);
}

void VirtualBoard::completeList(const QByteArray &list) {
    BoardState &s = m_state;
    s.messageList = list;
    const qint64 now = nowMs();
    // Four bytes right after a calling message or a default text are its
    // display block (page time, effect, speed, stay), not a playlist.
    const int picture = s.lastPicture;
    const bool calling = picture == 1 || picture == 2 || picture == 4 || picture == 5;
    if (list.size() == 4 && calling) {
        BoardState::Call &call = s.calls[picture == 1 || picture == 4 ? 0 : 1];
        call.picture = picture <= 2 ? picture : 0;
        call.shownMs = now;
        call.pageSeconds = quint8(list.at(0));
        s.listPlaying = false;
        s.lastExchange = QStringLiteral("显示 第%1幅图 %2秒").arg(picture).arg(call.pageSeconds);
        return;
    }
    s.listEntries.clear();
    for (int k = 0; k + 3 < list.size(); k += 4)
        s.listEntries.append(ListEntry{quint8(list.at(k)), quint8(list.at(k + 1)),
                                       quint8(list.at(k + 2)), quint8(list.at(k + 3))});
    s.listPlaying = !s.listEntries.isEmpty();
    s.listStartedMs = now;
    s.lastExchange = QStringLiteral("列表 %1 项").arg(s.listEntries.size());
}
