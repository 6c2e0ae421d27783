#pragma once
// src/sim: the virtual screen, independent of the controller's own code.
//
// A serial line with one or more virtual boards on it (RS-485 style): bytes
// from the host go through one frame parser; the board a frame is addressed to
// answers; the answer goes out through the fault plan and, when pacing is on,
// no faster than the baud rate allows. The line is reached through a pty
// linked as ports/COMn, or fed directly by tests.
#include "sim/FaultPlan.h"
#include "sim/Frame.h"
#include "sim/FrameParser.h"
#include "sim/RadioModule.h"
#include "sim/VirtualBoard.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class DeadlineTimer;
class PtyEndpoint;

class VirtualLine : public QObject {
    Q_OBJECT
  public:
    explicit VirtualLine(QObject *parent = nullptr);
    ~VirtualLine() override;

    // --- boards ---
    // Adds a board (or returns the one already at that address).
    VirtualBoard &addBoard(quint16 address);
    VirtualBoard *board(quint16 address) const;
    QList<VirtualBoard *> boards() const;

    // --- the pty ---
    // Opens a pty and links it at linkPath; false with a reason otherwise.
    bool plugIn(const QString &linkPath, QString *error = nullptr, bool replaceLive = false);
    // The link of port n in a program directory: DIR/ports/COMn.
    static QString portLink(const QString &dir, int port);
    // The pty goes away: master closed, link removed, anything queued dropped.
    void unplug();
    bool isPlugged() const;
    QString linkPath() const;
    QString slavePath() const;

    // The radio module on the host's side of the line.
    RadioModule &radio() { return m_radio; }
    const RadioModule &radio() const { return m_radio; }

    // The rate the host set on the pty, 0 when unknown or not plugged in.
    int hostBaud() const;
    // --- behaviour ---
    // Bytes no faster than baud (10 bits a byte) in both directions; 0 turns pacing off.
    void setPacing(int baud);
    int pacingBaud() const { return m_baud; }
    // Boards at several rates on one line: pacing goes at the rate the host
    // set on the pty, taken whenever a frame starts on a quiet line.
    void setPacingFollowsHost(bool follow) { m_pacingFollowsHost = follow; }
    void setFaults(const FaultPlan &faults);
    const FaultPlan &faults() const { return m_faults; }
    void clearFaults() { setFaults(FaultPlan()); }
    // An unfinished frame followed by this much silence is dropped.
    void setFrameGapMs(int ms) { m_frameGap.setInterval(ms); }
    // Writes every received frame and every answer, one line each, flushed.
    bool setLogFile(const QString &path, QString *error = nullptr);
    // At most this many frames are kept in frames() (oldest dropped).
    void setRecordLimit(int frames) { m_recordLimit = frames; }

    // --- feeding and watching ---
    // Bytes from the host, as if read from the pty.
    void receive(const QByteArray &bytes);
    const QList<Frame> &frames() const { return m_frames; }
    // Each answer as it was handed to the line (after faults shaped it).
    const QList<QByteArray> &answers() const { return m_answers; }
    // Every byte written towards the host, in order.
    QByteArray written() const { return m_written; }
    void clearRecord();
    // Answers still waiting for their time to go out.
    bool outputPending() const { return !m_out.isEmpty(); }
    qint64 bytesReceived() const { return m_bytesIn; }
    const FrameParser &parser() const { return m_parser; }

  signals:
    void frameReceived(const Frame &frame);
    // An exchange ended (a frame and its answer; a transfer counts once, at
    // its end): the board it concerned, or nullptr for the radio module.
    void exchanged(VirtualBoard *board);
    void bytesWritten(const QByteArray &bytes);
    void unplugged();

  private:
    struct Outgoing {
        QByteArray bytes;
        qint64 readyNs = 0;
        qint64 startNs = -1;
        int sent = 0;
    };
    struct Incoming {
        QByteArray bytes;
        qint64 startNs = 0;
        int fed = 0;
    };

    void handleFrame(const Frame &frame);
    // The board at the address when it hears the line at its present rate.
    VirtualBoard *hearing(quint16 address) const;
    bool hears(const VirtualBoard &b) const;
    QByteArray answerFor(const Frame &frame);
    QByteArray answerRadio(const Frame &frame);
    void followBaudCode(const VirtualBoard &board);
    quint8 m_activeCommand = 0;
    int m_pendingBaud = 0;
    // The board of the frame just answered, and whether an exchange ended.
    VirtualBoard *m_exchangeBoard = nullptr;
    bool m_exchangeEnded = false;
    void abandonActive();
    void send(const QByteArray &answer);
    void pumpInput();
    void pumpOutput();
    void emitBytes(const QByteArray &bytes);
    void unplugOnceTaken();
    void onFrameGap();
    void log(const QString &line);
    qint64 byteNs() const;

    std::vector<std::unique_ptr<VirtualBoard>> m_boards;
    RadioModule m_radio;
    VirtualBoard *m_active = nullptr;
    FrameParser m_parser;
    PtyEndpoint *m_pty = nullptr;
    FaultPlan m_faults;
    int m_framesSinceFaults = 0;
    bool m_unplugWhenDrained = false;
    QTimer m_unplugGrace;
    qint64 m_unplugDeadlineNs = 0;

    int m_baud = 0;
    bool m_pacingFollowsHost = false;
    QList<Incoming> m_in;
    qint64 m_inLineFreeNs = 0;
    qint64 m_frameDoneNs = 0;
    DeadlineTimer *m_inTimer = nullptr;
    QList<Outgoing> m_out;
    qint64 m_outLineFreeNs = 0;
    DeadlineTimer *m_outTimer = nullptr;
    QTimer m_frameGap;

    QList<Frame> m_frames;
    int m_recordLimit = 100000;
    QList<QByteArray> m_answers;
    QByteArray m_written;
    qint64 m_bytesIn = 0;
    QFile m_log;
};
