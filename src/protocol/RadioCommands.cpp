// The radio serial module's own text protocol: the XD query and the 8-byte
// setting frames. The module sits on the host's port, so there is no link
// check, header or board address.
#include "protocol/SerialPortIo.h"
#include "protocol/led.h"

namespace {
// Answer bytes that make up the module string, in its order.
constexpr int ModuleStringBytes[] = {7, 8, 9, 10, 11, 12, 13, 14, 15, 3, 4};
constexpr int SettingLength = 6;
} // namespace

QString led::nibbleText(int v) {
    const QChar two[] = {QChar(0x30 + ((v >> 4) & 0x0F)), QChar(0x30 + (v & 0x0F))};
    return QString(two, 2);
}

QByteArray led::radioFrame(const QString &setting) {
    if (setting.size() < SettingLength) return {};
    QByteArray frame;
    int x = 0;
    for (int i = 0; i < SettingLength; ++i) {
        const int code = setting.at(i).unicode() & 0xFF;
        frame.append(char(code));
        x ^= code;
    }
    return frame + nibbleText(x).toLatin1();
}

QString led::Chqwxshuxing() {
    QByteArray answer;
    if (openPort()) {
        SerialPortIo &port = MSComm1();
        port.clearInput();
        if (port.write(QByteArrayLiteral("XD\r\n")) >= 0) {
            waitFor(
                AnswerLimitMs,
                [](qint64 n) { return n == RadioAnswerShort || n == RadioAnswerLong; },
                [&](const QByteArray &a) {
                    answer = a;
                    return Verdict::Accept;
                });
        } else {
            m_lastFailure = PortFailure::Other;
            if (!m_lostReported) serierr();
        }
    }
    releasePort();
    if (answer.size() < RadioAnswerShort) return QString();
    QString module;
    for (int i : ModuleStringBytes)
        module.append(QLatin1Char(answer.at(i)));
    return module;
}

bool led::sendRadioFrame(const QByteArray &frame) {
    if (!openPort()) return false;
    SerialPortIo &port = MSComm1();
    port.clearInput();
    if (port.write(frame) < 0) {
        m_lastFailure = PortFailure::Other;
        if (!m_lostReported) serierr();
        return false;
    }
    return waitAnswer(AnswerLimitMs, RadioAckSize,
                      [](const QByteArray &) { return Verdict::Accept; }) == WaitResult::Accepted;
}

bool led::CSetwxshuxing(const QString &str1, const QString &str2) {
    const QByteArray first = radioFrame(str1), second = radioFrame(str2);
    bool ok = false;
    if (first.isEmpty() || second.isEmpty()) {
        m_lastFailure = PortFailure::Other;
        serierr();
    } else {
        ok = sendRadioFrame(first) && sendRadioFrame(second);
    }
    releasePort();
    return ok;
}
