// The display property commands: write the parameter block (command 0),
// change address and baud rate (command 15), read the properties back.
#include "protocol/SerialPortIo.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QStringList>
#include <utility>

namespace {
// Checks every value against a byte first, so a value that does not fit
// leaves row 0 as it was.
void writeBytes(PacketTable &table, const QList<std::pair<int, int>> &bytes) {
    for (const auto &[index, value] : bytes)
        if (value < 0 || value > 255)
            throw VbError(vberr::Overflow,
                          QStringLiteral("参数第%1字节超出0到255：%2").arg(index).arg(value));
    for (const auto &[index, value] : bytes)
        table.set(0, index, quint8(value));
}

constexpr int BlockSize = 18;
} // namespace

bool led::Cxgshuxing() {
    writeBytes(m_table, {{0, 0xAA},
                         {1, 0x55},
                         {2, 0xA5},
                         {3, 0x5A},
                         {4, PBoard},
                         {5, PScan + PColorSign},
                         {6, PQSign},
                         {7, PColRule},
                         {8, PCol_F},
                         {9, PWidth / 8 - 1},
                         {10, PHeight / 8 - 1},
                         {12, PClock_Show + 16},
                         {14, POE + PDataSign + PClock_Show}});
    qint32 counter = 1;
    return senddata(Command::Properties, counter, BlockSize);
}

bool led::Cseting(qint16 baudrate, qint16 caddress) {
    writeBytes(m_table, {{15, 0}, {16, caddress}, {17, baudrate}});
    qint32 counter = 1;
    return senddata(Command::Address, counter, BlockSize);
}

QString led::Chqshuxing() {
    QByteArray request("\x04\x00", 2);
    request.append(char(quint16(PAdress) >> 8)).append(char(quint16(PAdress) & 0xFF));
    // Command 0 with counter 0 and no packet reads the block instead of writing it.
    request.append(char(Command::Properties)).append(QByteArray(2, '\0'));
    const PortTurn turn(*this);
    if (!Link_Build(PAdress)) return QString();
    if (!openPort()) return QString();
    SerialPortIo &port = MSComm1();
    port.clearInput();
    QByteArray answer;
    if (port.write(request) >= 0) {
        waitAnswer(AnswerLimitMs, PropertyAnswerSize, [&](const QByteArray &a) {
            if (!a.startsWith(QByteArray(3, '\0'))) return Verdict::Consume;
            answer = a;
            return Verdict::Accept;
        });
    }
    releasePort();
    if (answer.isEmpty()) return QString();
    QStringList fields{QString::number(answer.size())};
    for (int i = 8; i <= 21; ++i)
        fields.append(QString::number(quint8(answer.at(i))));
    if (answer.size() == PropertyAnswerSize)
        for (int i = 25; i <= 36; ++i)
            fields.append(QString::number(quint8(answer.at(i))));
    return fields.join(QLatin1Char(','));
}
