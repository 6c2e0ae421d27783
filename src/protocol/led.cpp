#include "protocol/led.h"

#include "protocol/LinePortIo.h"
#include "protocol/OperatorUi.h"
#include "protocol/TransferProgress.h"
#include "protocol/VbError.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

namespace {
double g_timeScale = 1.0;

const QString kSerialCaption = QStringLiteral("串口");
} // namespace

led::led(QObject *parent) : QObject(parent) {}

led::~led() = default;

void led::setTimeScale(double scale) {
    g_timeScale = scale > 0 ? scale : 1.0;
}
double led::timeScale() {
    return g_timeScale;
}

SerialPortIo &led::MSComm1() {
    if (!m_port) setPort(std::make_unique<LinePortIo>());
    return *m_port;
}

void led::setPort(std::unique_ptr<SerialPortIo> port) {
    m_port = std::move(port);
    connect(m_port.get(), &SerialPortIo::lost, this, [this] {
        m_lastFailure = PortFailure::Other;
        if (!m_lostReported) {
            m_lostReported = true;
            serierr();
        }
    });
}

OperatorUi *led::operatorUi() const {
    static StderrOperator fallback;
    return m_ui ? m_ui : &fallback;
}

void led::serieinit(qint16 serieport, const QString &seriebate) {
    SerialPortIo &port = MSComm1();
    if (port.isOpen()) port.close();
    m_portFailureTold = false;
    port.setLineSettings(seriebate + QStringLiteral(",n,8,1"));
    port.setPortNumber(serieport);
}

void led::serierr() {
    if (m_portFailureTold) return;
    m_portFailureTold = true;
    QString text;
    switch (m_lastFailure) {
    case PortFailure::NoSuchPort:
        text = QStringLiteral("无效端口号");
        break;
    case PortFailure::InUse:
        text = QStringLiteral("串口已经打开");
        break;
    default:
        text = QStringLiteral("通讯失败");
        break;
    }
    operatorUi()->message(text, kSerialCaption);
}

float led::Timecount() const {
    using namespace std::chrono;
    return duration<float>(steady_clock::now().time_since_epoch()).count();
}

qint16 led::Jiao(const QByteArray &DataTemp, qint16 StarI) {
    // XOR of the bytes into the low byte; eight at a time, a packet is 500 of them.
    const char *p = DataTemp.constData();
    const qsizetype n = DataTemp.size();
    quint64 wide = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        wide ^= w;
    }
    quint8 x = 0;
    for (int shift = 0; shift < 64; shift += 8)
        x ^= quint8(wide >> shift);
    for (; i < n; ++i)
        x ^= quint8(p[i]);
    return qint16(StarI ^ x);
}

bool led::openPort() {
    SerialPortIo &port = MSComm1();
    if (port.isOpen()) return true;
    m_lostReported = false;
    if (port.open()) return true;
    // Another program holds the port: wait for its turn, trying again now
    // and then (at uneven intervals, so that several waiting programs do
    // not keep colliding) until the wait is over.
    QDeadlineTimer deadline(m_portWaitMs, Qt::PreciseTimer);
    while (port.failure() == PortFailure::InUse && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(int(qMin<qint64>(deadline.remainingTime(),
                                            QRandomGenerator::global()->bounded(20, 80))),
                           Qt::PreciseTimer, &loop, &QEventLoop::quit);
        if (loop.exec(QEventLoop::ExcludeUserInputEvents) < 0) break;
        if (port.open()) return true;
    }
    m_lastFailure = port.failure();
    serierr();
    return false;
}

void led::releasePort() {
    SerialPortIo &port = MSComm1();
    if (m_turns == 0 && port.isOpen()) port.close();
}

led::WaitResult led::waitAnswer(int limitMs, int expected,
                                const std::function<Verdict(const QByteArray &)> &judge,
                                bool userEvents) {
    return waitFor(
        limitMs, [expected](qint64 waiting) { return waiting == expected; }, judge, userEvents);
}

led::WaitResult led::waitFor(int limitMs, const std::function<bool(qint64)> &ready,
                             const std::function<Verdict(const QByteArray &)> &judge,
                             bool userEvents) {
    SerialPortIo &port = MSComm1();
    const qint64 limit = qint64(limitMs * g_timeScale + 0.5);
    QElapsedTimer clock;
    clock.start();
    if (!m_sinceEvents.isValid()) m_sinceEvents.start();
    std::optional<QEventLoop> loop;
    std::optional<QTimer> timer;
    const auto flags = userEvents ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    for (;;) {
        if (!port.isOpen()) return WaitResult::Lost;
        // An answer is judged only while exactly the expected count waits;
        // bytes that arrived in time count even when a dialog held us up.
        if (ready(port.bytesWaiting())) {
            switch (judge(port.readAll())) {
            case Verdict::Accept:
                return WaitResult::Accepted;
            case Verdict::Fail:
                return WaitResult::Failed;
            case Verdict::Consume:
                continue;
            }
        }
        const qint64 left = limit - clock.elapsed();
        if (left <= 0) return WaitResult::TimedOut;
        // A board that answers at once is waited for in place, a short slice
        // at a time: the event loop's wake-ups cost more than the exchange.
        // The thread's events still run at least every EventsEveryMs.
        const qint64 untilEvents = EventsEveryMs - m_sinceEvents.elapsed();
        if (untilEvents > 0 &&
            port.waitForBytes(int(std::min({left, untilEvents, qint64(InPlaceSliceMs)}))))
            continue;
        if (!port.isOpen()) return WaitResult::Lost;
        if (!loop) {
            loop.emplace();
            timer.emplace();
            timer->setSingleShot(true);
            timer->setTimerType(Qt::PreciseTimer);
            connect(&*timer, &QTimer::timeout, &*loop, &QEventLoop::quit);
            connect(&port, &SerialPortIo::readyRead, &*loop, &QEventLoop::quit);
            connect(&port, &SerialPortIo::lost, &*loop, &QEventLoop::quit);
        }
        if (ready(port.bytesWaiting())) continue;
        timer->start(int(qMax<qint64>(1, limit - clock.elapsed())));
        // The application is quitting: no event loop will run any more.
        const int code = loop->exec(flags);
        m_sinceEvents.start();
        if (code < 0) return WaitResult::Lost;
    }
}

bool led::Link_Build(qint16 Address) {
    return Link_Build(Address, LinkLimitMs);
}

bool led::Link_Build(qint16 Address, int limitMs) {
    QByteArray frame("\xAA\x55", 2);
    if (Address == -1) {
        frame.append('\xFF').append('\xFF');
    } else {
        frame.append(char(quint16(Address) >> 8)).append(char(quint16(Address) & 0xFF));
    }
    if (!openPort()) return false;
    SerialPortIo &port = MSComm1();
    port.clearInput();
    bool result = false;
    if (port.write(frame) < 0 || !port.isOpen()) {
        m_lastFailure = port.isOpen() ? PortFailure::Other : m_lastFailure;
        if (!m_lostReported) serierr();
    } else if (Address > LastAnsweringAddress) {
        result = true;
    } else {
        result = waitAnswer(limitMs, 1, [](const QByteArray &a) {
                     return quint8(a.at(0)) == 0xA5 ? Verdict::Accept : Verdict::Consume;
                 }) == WaitResult::Accepted;
    }
    releasePort();
    return result;
}

void led::stageProgressBegin(qint16 commandbyte, int maximum) {
    if (m_progress && command::isUpload(commandbyte)) m_progress->begin(maximum);
}

bool led::senddata(qint16 commandbyte, qint32 &packagecounter, qint32 packagesize) {
    if (packagesize < 0 || packagesize > PacketTable::Columns)
        throw VbError(vberr::SubscriptOutOfRange,
                      QStringLiteral("数据包长度超出范围: %1").arg(packagesize));
    if (packagecounter < -32768 || packagecounter > 65535)
        throw VbError(vberr::Overflow, QStringLiteral("数据包计数溢出: %1").arg(packagecounter));
    const qint32 packets = command::isPicture(commandbyte) ? packagecounter % 256 : packagecounter;
    if (packets > 32768)
        throw VbError(vberr::Overflow, QStringLiteral("数据包过多: %1").arg(packets));

    stageProgressBegin(commandbyte, packagecounter);
    const quint16 counter16 = quint16(packagecounter);
    QByteArray header("\x04\x00", 2);
    header.append(char(quint16(PAdress) >> 8)).append(char(quint16(PAdress) & 0xFF));
    header.append(char(quint8(commandbyte)));
    header.append(char(counter16 >> 8)).append(char(counter16 & 0xFF));

    const PortTurn turn(*this);
    const bool linked = Link_Build(PAdress);
    if (command::isPicture(commandbyte)) packagecounter = packets;

    bool result = false;
    SerialPortIo &port = MSComm1();
    const bool answered = PAdress <= LastAnsweringAddress;
    if (linked && openPort()) {
        port.clearInput();
        port.write(header);
        const QByteArray echo = header.mid(4, 3);
        bool echoed = !answered;
        if (answered) {
            echoed = waitAnswer(EchoLimitMs, 3, [&](const QByteArray &a) {
                         return a == echo ? Verdict::Accept : Verdict::Consume;
                     }) == WaitResult::Accepted;
        }
        if (echoed) {
            result = true;
            // One buffer for every packet; the packet and its checksum leave
            // in one write to the line.
            QByteArray packet(packagesize + 4, Qt::Uninitialized);
            for (qint32 k = 0; k < packets; ++k) {
                if (m_progress && command::isUpload(commandbyte)) m_progress->step(k);
                char *const p = packet.data(); // detaches from a port that kept the last one
                p[0] = char(((k + 1) >> 8) & 0xFF);
                p[1] = char((k + 1) & 0xFF);
                p[2] = char((packagesize >> 8) & 0xFF);
                p[3] = char(packagesize & 0xFF);
                m_table.copyRow(k, packagesize, p + 4);
                const char sum = char(Jiao(packet, 0));
                port.clearInput();
                port.writeParts(packet, QByteArray(1, sum));
                if (!answered) continue;
                const WaitResult r = waitAnswer(PacketLimitMs, 1, [&](const QByteArray &a) {
                    return a.at(0) == sum ? Verdict::Accept : Verdict::Fail;
                });
                if (r != WaitResult::Accepted) {
                    result = false;
                    break;
                }
            }
        }
        releasePort();
    }
    if (m_progress && command::isUpload(commandbyte)) m_progress->end(result);
    return result;
}
