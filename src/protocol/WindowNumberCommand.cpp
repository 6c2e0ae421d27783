// The window-number exchange: command header and one data packet written
// and acknowledged like a transfer, but laid out and timed by itself, and
// waited for also at addresses of 512 and more.
#include "protocol/SerialPortIo.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

qint16 led::setWindowNo(qint16 /*Address: the board is PAdress*/, qint16 cols, qint16 color,
                        const QString &windowNo) {
    if (cols < 0 || cols > 255 || color < 0 || color > 255)
        throw VbError(vberr::Overflow,
                      QStringLiteral("窗口号宽度或颜色超出0到255：%1, %2").arg(cols).arg(color));
    const int cells = cols / 8;
    Strtoneima3(windowNo, qint16(cells));
    QByteArray header("\x04\x00", 2);
    header.append(char(quint16(PAdress) >> 8)).append(char(quint16(PAdress) & 0xFF));
    header.append(char(Command::WindowNumber)).append("\x00\x01", 2);
    const PortTurn turn(*this);
    if (!Link_Build(PAdress)) return 0;
    if (!openPort()) return 0;
    SerialPortIo &port = MSComm1();
    port.clearInput();
    port.write(header);
    const QByteArray echo = header.mid(4, 3);
    bool accepted = waitAnswer(EchoLimitMs, 3, [&](const QByteArray &a) {
                        return a == echo ? Verdict::Accept : Verdict::Consume;
                    }) == WaitResult::Accepted;
    if (accepted) {
        const int length = cells + 2;
        QByteArray packet("\x00\x01", 2);
        packet.append(char(length >> 8)).append(char(length & 0xFF));
        packet.append(char(quint8(cols))).append(char(quint8(color)));
        packet.append(m_table.row(0, cells + 1).mid(1));
        const char checksum = char(Jiao(packet, 0));
        port.clearInput();
        port.write(packet);
        port.write(QByteArray(1, checksum));
        // One byte decides: the checksum accepts, anything else refuses.
        accepted = waitAnswer(AnswerLimitMs, 1, [&](const QByteArray &a) {
                       return a.at(0) == checksum ? Verdict::Accept : Verdict::Fail;
                   }) == WaitResult::Accepted;
    }
    releasePort();
    return accepted ? -1 : 0;
}
