#pragma once
// src/protocol, the lowest layer: the `led` device object with its port seam,
// frame and command methods; it includes nothing from the folders above it.
//
// The device object: the one gateway to the screens on a serial line. It owns
// the port and PacketTable; command methods fill the table, run the framed
// exchange and return a flag.
#include "protocol/Command.h"
#include "protocol/PacketTable.h"
#include "protocol/SerialPortIo.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class OperatorUi;
class TransferProgress;

// The five main-window fields the escaped parameter frame is built from.
struct QuorinFields {
    QString address;      // Pdizhi text
    int oePolarity = 0;   // code of the selected 极性 item (0 or 4)
    int dataPolarity = 0; // code of the selected 数据极性 item (0 or 8)
    QString length;       // Pchang text (dots)
    QString brightness;   // 亮度 text
};

class led : public QObject {
    Q_OBJECT
  public:
    explicit led(QObject *parent = nullptr);
    ~led() override;

    // Display-property members (16-bit signed, as the protocol has them).
    qint16 PAdress = 0;
    qint16 PWidth = 64;
    qint16 PHeight = 64;
    qint16 PBoard = 1;
    qint16 PColorSign = 0;
    qint16 PScan = 0;
    qint16 PQSign = 16;
    qint16 PColRule = 0;
    qint16 PCol_F = 0;
    qint16 POE = 0;
    qint16 PDataSign = 0;
    qint16 PClock_Show = 0;

    // --- serial link ---
    // Sets the line up for an action; the action's port failure is told anew.
    void serieinit(qint16 serieport, const QString &seriebate);
    // Tells the operator why the port failed, once per action: after a device
    // vanished, the failed reopenings of the same action say nothing more.
    void serierr();
    // The operator was told of a port failure since the line was set up: the
    // action's own failure message would only repeat it.
    bool portFailureTold() const { return m_portFailureTold; }
    float Timecount() const;
    SerialPortIo &MSComm1();
    // Replaces the port (tests use a scripted fake).
    void setPort(std::unique_ptr<SerialPortIo> port);
    // How long an open waits for a port that another program holds before
    // "串口已经打开", in milliseconds.
    static constexpr int DefaultPortWaitMs = 10000;
    void setPortWait(int ms) { m_portWaitMs = qMax(0, ms); }
    int portWait() const { return m_portWaitMs; }

    // Holds the port open from construction to destruction, so that the
    // transfers of one action (a picture, then its display block) go out
    // without another program getting in between. Turns nest.
    class PortTurn {
      public:
        explicit PortTurn(led &device) : m_device(device) { ++m_device.m_turns; }
        ~PortTurn() {
            if (--m_device.m_turns == 0) m_device.releasePort();
        }
        PortTurn(const PortTurn &) = delete;
        PortTurn &operator=(const PortTurn &) = delete;

      private:
        led &m_device;
    };

    // --- frame and transfer ---
    // Boards at higher addresses never answer: their transfers count as done
    // once written.
    static constexpr qint16 LastAnsweringAddress = 511;
    // Time limits of the stages, in milliseconds (scaled by timeScale()).
    static constexpr int LinkLimitMs = 1000;   // the link check's A5
    static constexpr int EchoLimitMs = 1000;   // the header echo
    static constexpr int PacketLimitMs = 2000; // a data packet's checksum
    // A whole answer: properties, window-number packet, parameter frame, radio module.
    static constexpr int AnswerLimitMs = 1000;
    // Waits take answers in place for slices of InPlaceSliceMs, and let the
    // thread's events run at least every EventsEveryMs.
    static constexpr int InPlaceSliceMs = 2;
    static constexpr int EventsEveryMs = 10;
    static qint16 Jiao(const QByteArray &DataTemp, qint16 StarI);
    bool Link_Build(qint16 Address);
    // The same frame with its own time limit: a bus scan gives each silent
    // address only a short wait, since a board answers at once.
    bool Link_Build(qint16 Address, int limitMs);
    bool senddata(qint16 commandbyte, qint32 &packagecounter, qint32 packagesize);
    bool senddata(Command commandbyte, qint32 &packagecounter, qint32 packagesize) {
        return senddata(command::byte(commandbyte), packagecounter, packagesize);
    }

    // --- display properties ---
    // The 18-byte parameter block of commands 0 and 15: each command writes
    // only its own bytes of row 0; a value outside a byte raises VbError 6
    // before anything is written.
    bool Cxgshuxing();
    bool Cseting(qint16 baudrate, qint16 caddress);
    // The 27-field property string, or empty without a valid answer. The
    // port is closed afterwards, so that other programs can use the line.
    QString Chqshuxing();
    static constexpr int PropertyAnswerSize = 38;

    // --- window number ---
    // The window number in its own exchange (command 16, one packet of
    // cols / 8 + 2 bytes: cols, colour, the text's cells): the echo and the
    // packet's answer are awaited at every address. -1 when both came, else 0.
    qint16 setWindowNo(qint16 Address, qint16 cols, qint16 color, const QString &windowNo);

    // --- control commands ---
    bool CSetLight(quint8 YRule);
    bool CAutokgSet(qint16 YRule);
    bool Ckaitkh(qint16 YRule);
    bool CTimeAdjust(qint16 STime);
    bool Csendlist(const QByteArray &list, qint32 listcount);
    bool CSetQuorin(const QuorinFields &fields);
    // The clock payload for a given moment (bytes 5..11 of row 0).
    static QByteArray clockBytes(const QDateTime &t);
    // Escaped frame (prefix, body, terminator) as the writes go out.
    static QList<QByteArray> quorinWrites(const QuorinFields &fields);
    // Clock used by CTimeAdjust; tests fix it.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // --- text encoders ---
    qint16 Strtoneima(const QString &neistr, qint16 hzcolor);
    qint16 Strtoneima1(const QString &neistr, qint16 hzcolor, qint16 SendMode, qint16 SendSpeed,
                       qint16 SendTime);
    qint16 Strtoneima2(const QString &neistr, qint16 &cols);
    qint16 Strtoneima3(const QString &neistr, qint16 hzcolor);
    static qint16 actionfashion(const QString &dongz);

    // --- file uploads ---
    // The file in packets of `packagesize` bytes, packet k in row k, read in
    // one block; the last row's tail is 0xFF. Returns the packet count.
    // VbError 53 for a missing file, 75 for one that cannot be read, 6 for a
    // size outside 1..1024 or more than 32767 packets (nothing loaded then).
    qint16 filetoarray(const QString &conversionfile, qint16 packagesize);
    // The same, then bytes 20-23 of row 0 := the file's length, low byte first.
    qint16 filetoarray9200(const QString &conversionfile, qint16 packagesize);

    // --- radio module ---
    // The module on the host's own port, in its text protocol: no link check,
    // no header, PAdress unused; the port is closed afterwards.
    // The 11-character module string (version, packet size, four indexes,
    // channel code), or empty when no 19- or 29-byte answer came in 1000 ms.
    QString Chqwxshuxing();
    // Two setting frames; the second only after the first was acknowledged
    // by 8 bytes. A string shorter than 6 characters is a port failure.
    bool CSetwxshuxing(const QString &str1, const QString &str2);
    // v (0..255) as two characters 0x30 + v / 16, 0x30 + v % 16 ("0?" for 15).
    static QString nibbleText(int v);
    // The 8-byte frame of a setting string: its first 6 character codes,
    // then their XOR as nibble characters. Empty for a shorter string.
    static QByteArray radioFrame(const QString &setting);
    static constexpr int RadioAnswerShort = 19, RadioAnswerLong = 29, RadioAckSize = 8;

    // --- bitmap encoders ---
    // Bands of 16 rows as colour bit planes, one plane a table row from row
    // 0 (single colour: green; two: red, green; full: red, green, blue); a
    // pixel lights at 64 and above; the rightmost W mod 8 columns are not
    // encoded, rows below the picture are dark. Returns the plane size 16 x
    // (W div 8); VbError 9 when a plane would not fit a row (W > 512).
    qint16 GetDatNDS2_dan(const QImage &pic);
    qint16 GetDatNDS2(const QImage &pic);
    qint16 GetDatNDS3(const QImage &pic);
    static qint32 GetRValue(quint32 RgbColor) { return qint32(RgbColor & 0xFF); }
    static qint32 GetGValue(quint32 RgbColor) { return qint32((RgbColor >> 8) & 0xFF); }
    static qint32 GetBValue(quint32 RgbColor) { return qint32((RgbColor >> 16) & 0xFF); }

    PacketTable &table() { return m_table; }
    const PacketTable &table() const { return m_table; }

    // Where operator messages go (serierr); nullptr means stderr.
    void setOperator(OperatorUi *ui) { m_ui = ui; }
    OperatorUi *operatorUi() const;
    // Progress window hook for commands 3, 5 and 14.
    void setProgress(TransferProgress *progress) { m_progress = progress; }

    // Tests shrink every time limit by this factor; production keeps 1.
    static void setTimeScale(double scale);
    static double timeScale();

    enum class Verdict { Accept, Consume, Fail };
    enum class WaitResult { Accepted, Failed, TimedOut, Lost };
    // Waits until exactly `expected` bytes wait, then judges them; without
    // busy polling. userEvents=false keeps operator input out meanwhile.
    WaitResult waitAnswer(int limitMs, int expected,
                          const std::function<Verdict(const QByteArray &)> &judge,
                          bool userEvents = true);
    // The same, judging whenever `ready` holds for the number of waiting bytes.
    WaitResult waitFor(int limitMs, const std::function<bool(qint64)> &ready,
                       const std::function<Verdict(const QByteArray &)> &judge,
                       bool userEvents = true);

  private:
    bool openPort();
    // Closes the port unless a turn holds it.
    void releasePort();
    void stageProgressBegin(qint16 commandbyte, int maximum);
    bool sendRadioFrame(const QByteArray &frame);

    std::unique_ptr<SerialPortIo> m_port;
    PacketTable m_table;
    OperatorUi *m_ui = nullptr;
    TransferProgress *m_progress = nullptr;
    PortFailure m_lastFailure = PortFailure::None;
    bool m_lostReported = false;
    // Since this thread's events last ran during a wait.
    QElapsedTimer m_sinceEvents;
    bool m_portFailureTold = false;
    int m_portWaitMs = DefaultPortWaitMs;
    int m_turns = 0;
};
