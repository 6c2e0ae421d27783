#include "sim/VirtualLine.h"

#include "sim/DeadlineTimer.h"
#include "sim/PtyEndpoint.h"

#include <QDir>
#include <algorithm>

namespace {
constexpr quint16 BroadcastAddress = 0xFFFF;
constexpr char GarbageByte = char(0xE5);
constexpr char StrayByte = char(0x00);
constexpr qint64 WrittenKeep = 1 << 20;
constexpr int UnplugGraceMs = 500;
constexpr int UnplugSettleMs = 20;
} // namespace

VirtualLine::VirtualLine(QObject *parent) : QObject(parent) {
    m_parser.onFrame = [this](const Frame &f) { handleFrame(f); };
    m_inTimer = new DeadlineTimer(this);
    m_outTimer = new DeadlineTimer(this);
    connect(m_inTimer, &DeadlineTimer::timeout, this, &VirtualLine::pumpInput);
    connect(m_outTimer, &DeadlineTimer::timeout, this, &VirtualLine::pumpOutput);
    m_frameGap.setSingleShot(true);
    m_frameGap.setInterval(500);
    connect(&m_frameGap, &QTimer::timeout, this, &VirtualLine::onFrameGap);
    m_unplugGrace.setSingleShot(true);
    m_unplugGrace.setInterval(2);
    connect(&m_unplugGrace, &QTimer::timeout, this, &VirtualLine::unplugOnceTaken);
}

VirtualLine::~VirtualLine() {
    if (m_pty) m_pty->close();
}

VirtualBoard &VirtualLine::addBoard(quint16 address) {
    if (VirtualBoard *b = board(address)) return *b;
    m_boards.push_back(std::make_unique<VirtualBoard>(address));
    return *m_boards.back();
}

VirtualBoard *VirtualLine::board(quint16 address) const {
    for (const auto &b : m_boards)
        if (b->address() == address) return b.get();
    return nullptr;
}

QList<VirtualBoard *> VirtualLine::boards() const {
    QList<VirtualBoard *> all;
    for (const auto &b : m_boards)
        all.append(b.get());
    return all;
}

QString VirtualLine::portLink(const QString &dir, int port) {
    return QDir(dir).absoluteFilePath(QStringLiteral("ports/COM%1").arg(port));
}

bool VirtualLine::plugIn(const QString &linkPath, QString *error, bool replaceLive) {
    unplug();
    auto *pty = new PtyEndpoint(this);
    if (!pty->open(linkPath, replaceLive, error)) {
        delete pty;
        return false;
    }
    m_pty = pty;
    connect(m_pty, &PtyEndpoint::received, this, &VirtualLine::receive);
    return true;
}

void VirtualLine::unplug() {
    m_in.clear();
    m_out.clear();
    m_inTimer->stop();
    m_outTimer->stop();
    m_frameGap.stop();
    m_unplugGrace.stop();
    m_parser.reset();
    abandonActive();
    m_unplugWhenDrained = false;
    if (!m_pty) return;
    const QString link = m_pty->linkPath();
    m_pty->close();
    m_pty->deleteLater();
    m_pty = nullptr;
    log(QStringLiteral("unplugged ") + link);
    emit unplugged();
}

bool VirtualLine::isPlugged() const {
    return m_pty && m_pty->isOpen();
}
QString VirtualLine::linkPath() const {
    return m_pty ? m_pty->linkPath() : QString();
}
int VirtualLine::hostBaud() const {
    return m_pty ? m_pty->hostBaud() : 0;
}

bool VirtualLine::hears(const VirtualBoard &b) const {
    // Bytes at another rate are noise to a board: no frame reaches it.
    return !b.hasOwnRate() || BoardState::baudRate(b.state().baudCode) == hostBaud();
}

VirtualBoard *VirtualLine::hearing(quint16 address) const {
    VirtualBoard *b = board(address);
    return b && hears(*b) ? b : nullptr;
}

QString VirtualLine::slavePath() const {
    return m_pty ? m_pty->slavePath() : QString();
}

void VirtualLine::setPacing(int baud) {
    m_baud = qMax(0, baud);
    m_inLineFreeNs = 0;
    m_outLineFreeNs = 0;
}

qint64 VirtualLine::byteNs() const {
    // Start bit, 8 data bits, stop bit.
    return m_baud > 0 ? qint64(10) * 1000000000 / m_baud : 0;
}

void VirtualLine::setFaults(const FaultPlan &faults) {
    m_faults = faults;
    m_framesSinceFaults = 0;
    m_unplugWhenDrained = false;
    log(QStringLiteral("faults ") +
        (faults.any() ? faults.names().join(QLatin1Char(' ')) : QStringLiteral("none")));
}

bool VirtualLine::setLogFile(const QString &path, QString *error) {
    if (m_log.isOpen()) m_log.close();
    if (path.isEmpty()) return true;
    m_log.setFileName(path);
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, m_log.errorString());
        return false;
    }
    return true;
}

void VirtualLine::log(const QString &line) {
    if (!m_log.isOpen()) return;
    m_log.write(line.toUtf8());
    m_log.write("\n");
    m_log.flush();
}

void VirtualLine::clearRecord() {
    m_frames.clear();
    m_answers.clear();
    m_written.clear();
    m_bytesIn = 0;
}

// ---------------------------------------------------------------- input side

void VirtualLine::receive(const QByteArray &bytes) {
    if (bytes.isEmpty()) return;
    m_bytesIn += bytes.size();
    // The cable is as good as pulled: only the last answer still goes out.
    if (m_unplugWhenDrained) return;
    m_frameGap.start();
    if (m_pacingFollowsHost && m_baud > 0 && m_in.isEmpty() && m_out.isEmpty()) {
        const int host = hostBaud();
        if (host > 0 && host != m_baud) setPacing(host);
    }
    if (m_baud <= 0) {
        m_frameDoneNs = DeadlineTimer::nowNs();
        m_parser.feed(bytes);
        return;
    }
    // A byte is on the line for one byte time after the one before it ended,
    // and not before it was handed over.
    const qint64 now = DeadlineTimer::nowNs();
    Incoming in{bytes, qMax(now, m_inLineFreeNs), 0};
    m_inLineFreeNs = in.startNs + bytes.size() * byteNs();
    m_in.append(in);
    pumpInput();
}

void VirtualLine::pumpInput() {
    const qint64 bt = byteNs();
    const qint64 now = DeadlineTimer::nowNs();
    while (!m_in.isEmpty()) {
        Incoming &in = m_in.first();
        const int due = int(qMin<qint64>(in.bytes.size(), (now - in.startNs) / bt));
        if (due <= in.fed) break;
        const QByteArray part = in.bytes.mid(in.fed, due - in.fed);
        m_frameDoneNs = in.startNs + due * bt;
        const bool whole = due == in.bytes.size();
        in.fed = due;
        if (whole) m_in.removeFirst();
        m_parser.feed(part); // may unplug and clear m_in
        if (!whole) break;
    }
    // Wake when enough bytes have passed to finish the next frame.
    int need = m_parser.bytesToNextFrame();
    for (const Incoming &in : std::as_const(m_in)) {
        const int left = int(in.bytes.size()) - in.fed;
        if (need <= left) {
            m_inTimer->startAt(in.startNs + (in.fed + need) * bt);
            return;
        }
        need -= left;
    }
    if (!m_in.isEmpty()) m_inTimer->startAt(m_inLineFreeNs);
}

void VirtualLine::onFrameGap() {
    if (!m_in.isEmpty()) {
        m_frameGap.start();
        return;
    }
    if (m_parser.partial().isEmpty()) return;
    log(QStringLiteral("dropped %1").arg(hexBytes(m_parser.partial())));
    m_parser.reset();
    abandonActive();
}

// ------------------------------------------------------------------- frames

void VirtualLine::handleFrame(const Frame &frame) {
    m_frames.append(frame);
    if (m_recordLimit > 0 && m_frames.size() > m_recordLimit) m_frames.removeFirst();
    log(frame.describe());
    emit frameReceived(frame);
    ++m_framesSinceFaults;
    if (m_faults.unplugAfter == 0) {
        unplug();
        return;
    }
    m_exchangeBoard = nullptr;
    m_exchangeEnded = true;
    const QByteArray answer = answerFor(frame);
    if (!answer.isEmpty()) send(answer);
    if (m_exchangeEnded) emit exchanged(m_exchangeBoard);
    if (m_faults.unplugAfter > 0 && m_framesSinceFaults >= m_faults.unplugAfter) {
        m_unplugWhenDrained = true;
        m_in.clear();
        m_parser.reset();
        pumpOutput();
    }
}

void VirtualLine::abandonActive() {
    if (m_active) m_active->abandonTransfer();
    m_active = nullptr;
}

QByteArray VirtualLine::answerFor(const Frame &f) {
    if (f.kind != Frame::Kind::Packet) abandonActive(); // a new frame ends any transfer
    switch (f.kind) {
    case Frame::Kind::Link: {
        VirtualBoard *b = nullptr;
        m_exchangeBoard = board(f.address);
        if (f.address == BroadcastAddress) {
            // Every board hears the broadcast; the lowest address answers for the
            // line, since answers at the same moment would collide.
            for (const auto &c : m_boards)
                if (c->answers() && hears(*c) && (!b || c->address() < b->address())) b = c.get();
        } else {
            b = hearing(f.address);
        }
        if (!b || !b->answers() || m_faults.silentLink) return QByteArray();
        return m_faults.wrongLink ? QByteArray(1, char(0x5A)) : b->answerLink();
    }
    case Frame::Kind::Header: {
        VirtualBoard *b = hearing(f.address);
        m_exchangeBoard = b;
        QByteArray answer;
        if (b) answer = b->answerHeader(f);
        const bool propertyRead = Command(f.command) == Command::Properties && f.counter == 0;
        if (b && b->inTransfer()) m_exchangeEnded = false;
        if (f.address >= 512 && Command(f.command) != Command::WindowNumber) {
            // Never answered: the host sends the packets without waiting.
            if (!propertyRead) m_parser.expectPackets(f.packetCount());
            m_active = b && b->inTransfer() ? b : nullptr;
            m_activeCommand = f.command;
            return QByteArray();
        }
        if (!b) return QByteArray();
        if (m_faults.silentEcho) {
            b->abandonTransfer();
            return QByteArray();
        }
        if (m_faults.wrongEcho) {
            b->abandonTransfer();
            answer[2] = char(answer.at(2) ^ 0x01);
            return answer;
        }
        if (b->inTransfer()) {
            m_parser.expectPackets(b->packetsExpected());
            m_active = b;
            m_activeCommand = f.command;
        }
        return answer;
    }
    case Frame::Kind::Packet: {
        VirtualBoard *b = m_active;
        m_exchangeBoard = b;
        if (!b) return QByteArray();
        const bool answered = b->answersTransfer();
        const quint8 command = m_activeCommand;
        QByteArray answer = b->answerPacket(f);
        const bool last = f.index >= f.total;
        m_exchangeEnded = !b->inTransfer();
        if (m_exchangeEnded && Command(command) == Command::Address) followBaudCode(*b);
        if (!answered) {
            if (last || !b->inTransfer()) m_active = nullptr;
            return QByteArray();
        }
        if (m_faults.silentAckAt == f.index || m_faults.wrongAckAt == f.index) {
            // The host gives up on this transfer; so does the board.
            abandonActive();
            m_parser.endTransfer();
            if (m_faults.silentAckAt == f.index) return QByteArray();
            answer[0] = char(~answer.at(0));
            return answer;
        }
        if (!b->inTransfer()) {
            // Last packet taken, or a checksum that did not match.
            m_active = nullptr;
            m_parser.endTransfer();
        }
        return answer;
    }
    case Frame::Kind::Parameters: {
        VirtualBoard *b = hearing(f.address);
        m_exchangeBoard = b;
        if (!b) return QByteArray();
        const QByteArray answer = b->answerParameters(f);
        if (!b->answers() || m_faults.silentParameters) return QByteArray();
        return m_faults.wrongParameters ? QByteArray(1, char(0x1B)) : answer;
    }
    case Frame::Kind::RadioQuery:
    case Frame::Kind::RadioSetting:
        return answerRadio(f);
    }
    return QByteArray();
}

QByteArray VirtualLine::answerRadio(const Frame &f) {
    if (!m_radio.present) return QByteArray();
    if (f.kind == Frame::Kind::RadioSetting) m_radio.apply(f.body);
    if (m_faults.silentRadio) return QByteArray();
    if (f.kind == Frame::Kind::RadioQuery) {
        // 20 characters are never taken for an answer.
        const QByteArray a = m_radio.answer();
        return m_faults.wrongRadio ? a + ' ' : a;
    }
    const QByteArray ack = RadioModule::acknowledge(f.raw);
    return m_faults.wrongRadio ? ack.left(7) : ack;
}

void VirtualLine::followBaudCode(const VirtualBoard &b) {
    // A paced line goes on at the board's new rate, as the host must.
    const int rate = BoardState::baudRate(b.state().baudCode);
    if (m_baud > 0 && rate > 0) m_pendingBaud = rate;
}

// --------------------------------------------------------------- output side

void VirtualLine::send(const QByteArray &answer) {
    QByteArray bytes = answer;
    if (m_faults.garbageBytes > 0) bytes.prepend(QByteArray(m_faults.garbageBytes, GarbageByte));
    if (m_faults.merged) bytes.append(StrayByte);
    m_answers.append(bytes);
    if (m_recordLimit > 0 && m_answers.size() > m_recordLimit) m_answers.removeFirst();
    log(QStringLiteral("answer ") + hexBytes(bytes));
    const qint64 ready = m_frameDoneNs + qint64(m_faults.lateMs) * 1000000;
    if (m_faults.splitGapMs > 0) {
        for (int i = 0; i < bytes.size(); ++i)
            m_out.append({bytes.mid(i, 1), ready + qint64(i) * m_faults.splitGapMs * 1000000});
    } else {
        m_out.append({bytes, ready});
    }
    pumpOutput();
}

void VirtualLine::pumpOutput() {
    const qint64 bt = byteNs();
    const qint64 now = DeadlineTimer::nowNs();
    while (!m_out.isEmpty()) {
        Outgoing &o = m_out.first();
        if (now < o.readyNs) {
            m_outTimer->startAt(o.readyNs);
            return;
        }
        if (bt == 0) {
            const QByteArray bytes = o.bytes;
            m_out.removeFirst();
            emitBytes(bytes);
            continue;
        }
        if (o.startNs < 0) o.startNs = qMax(o.readyNs, m_outLineFreeNs);
        const int due = int(qMin<qint64>(o.bytes.size(), qMax<qint64>(0, now - o.startNs) / bt));
        if (due > o.sent) {
            const QByteArray part = o.bytes.mid(o.sent, due - o.sent);
            o.sent = due;
            emitBytes(part);
        }
        if (o.sent < o.bytes.size()) {
            m_outTimer->startAt(o.startNs + qint64(o.sent + 1) * bt);
            return;
        }
        m_outLineFreeNs = o.startNs + o.bytes.size() * bt;
        m_out.removeFirst();
    }
    if (m_pendingBaud > 0) {
        // The answer at the old rate is out; what follows runs at the new one.
        const int baud = m_pendingBaud;
        m_pendingBaud = 0;
        setPacing(baud);
    }
    if (m_unplugWhenDrained && !m_unplugGrace.isActive()) {
        m_unplugDeadlineNs = now + qint64(UnplugGraceMs) * 1000000;
        unplugOnceTaken();
    }
}

void VirtualLine::unplugOnceTaken() {
    // The last answer should reach the host before the line goes dead; a host
    // that does not read within the grace time loses it.
    // The pty hands bytes to the host's side asynchronously, so the queue is
    // only looked at after a short while.
    const qint64 now = DeadlineTimer::nowNs();
    const bool settled =
        now >= m_unplugDeadlineNs - qint64(UnplugGraceMs - UnplugSettleMs) * 1000000;
    if (m_pty && (!settled || m_pty->unreadByHost() > 0) && now < m_unplugDeadlineNs) {
        m_unplugGrace.start();
        return;
    }
    unplug();
}

void VirtualLine::emitBytes(const QByteArray &bytes) {
    if (m_pty) m_pty->write(bytes);
    m_written.append(bytes);
    if (m_written.size() > WrittenKeep) m_written.remove(0, m_written.size() - WrittenKeep);
    emit bytesWritten(bytes);
}
