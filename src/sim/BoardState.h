#pragma once
// What one controller board holds after the exchanges it has taken part in,
// decoded as the board reads it: properties, address and baud code,
// brightness, power, clock, start picture, stored texts and images, the
// message list, the window number, uploaded files, and what it plays now.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

// A text or image stored under picture number N (command 16 + N).
struct StoredPicture {
    enum class Kind { Text, Image };
    quint8 parameter = 0; // high byte of the header's counter
    QList<QByteArray> rows;

    Kind kind = Kind::Text;
    // Text: colour byte, code page 936 bytes and their text; a text with its
    // own effect carries effect, speed and stay time in front.
    quint8 colour = 0;
    QByteArray codes;
    QString text;
    bool withEffect = false;
    quint8 effect = 0;
    quint8 speed = 0;
    quint8 stay = 0;
    // Image: colour planes per band (1, 2 or 3) and bytes per plane row.
    int planes = 0;
    int bytesPerRow = 0;
    int widthDots() const { return bytesPerRow * 8; }

    // How the board reads a transfer of command 16 + N: one packet of n + 2
    // bytes (n - 1 in the counter's high byte) is a plain text, one of n + 5
    // bytes a text with effect, anything else an image whose packets are the
    // band planes of a board `boardHeight` dots high.
    static StoredPicture decode(quint8 parameter, const QList<QByteArray> &rows, int boardHeight);
};

// The main display parameters of the escaped parameter frame.
struct EscapedParameters {
    bool received = false;
    QByteArray body; // the decoded 10 bytes
    quint8 address = 0;
    quint8 polarity = 0;   // OE polarity code (0 or 4) + data polarity code (0 or 8)
    quint8 lengthCode = 0; // length in dots / 8 - 1
    quint8 brightness = 0;
    int oePolarity() const { return polarity & 0x04; }
    int dataPolarity() const { return polarity & 0x08; }
    int lengthDots() const { return (lengthCode + 1) * 8; }
};

// One 4-byte entry of the message list.
struct ListEntry {
    quint8 picture = 0; // or a clock code: 254 date and 255 clock 128 dots wide, 252/253 64 dots
    quint8 effect = 0;
    quint8 speed = 0;
    quint8 stay = 0;
    bool isClock() const { return picture >= 252; }
};

// The window number of command 16: area width in dots, colour byte (high
// half background, low half foreground: 1 red, 2 green, 4 blue and sums) and
// the text bytes, where FF nn is window-number code nn.
struct WindowNumber {
    bool set = false;
    quint8 cols = 0;
    quint8 colour = 0;
    QByteArray bytes;
    // The bytes with each code replaced by its numerals ("\12" -> "12").
    QByteArray displayCodes() const;
};

// A file uploaded with command 3, 5, 14 (or any command the board does not
// interpret otherwise): its packets put together.
struct Upload {
    int packetSize = 0;
    int packets = 0;
    QByteArray bytes;
};

struct BoardState {
    static constexpr int ParameterBlockSize = 18;

    int brightness = 255;
    quint8 onOffByte = 64; // byte 0 of command 4: 0 off, 64 on
    bool screenOn() const { return onOffByte != 0; }
    int startPicture = 0;
    QByteArray clock;      // bytes 5..11 of command 8, as received (BCD, weekday last)
    qint64 clockSetMs = 0; // when it was received, on the board's monotonic clock
    QByteArray messageList;
    QList<ListEntry> listEntries;
    QByteArray windowNumberRow; // payload of command 16
    WindowNumber windowNumber;
    QMap<int, StoredPicture> pictures;
    QMap<int, Upload> uploads;
    // Display properties: the 18-byte block of commands 0 and 15.
    QByteArray parameterBlock;
    int baudCode = 239;
    EscapedParameters escaped;
    // Identity reported by the property answer.
    QByteArray productId = QByteArrayLiteral("LEDSIM0001");
    quint8 versionMajor = 1;
    quint8 versionMinor = 0;

    // What plays: a message list (since listStartedMs), or the calling lines:
    // the calling message of the upper (0) and lower (1) line, shown from
    // callShownMs for pageSeconds, then the line's default text.
    bool listPlaying = false;
    qint64 listStartedMs = 0;
    struct Call {
        int picture = 0; // 1 or 2; 0: none
        qint64 shownMs = 0;
        int pageSeconds = 0;
    };
    Call calls[2];
    int lastPicture = 0; // picture of the last completed transfer; 0 after any other
    // One line naming the last exchange, e.g. "第1幅图 ← 欢迎光临", "亮度 200".
    QString lastExchange;

    // Payload rows of the last completed transfer of each command byte.
    QMap<int, QList<QByteArray>> lastRows;
    int transfersCompleted = 0;

    BoardState();
    // Size in dots from the parameter block (bytes 9 and 10).
    int width() const;
    int height() const;
    void setSize(int widthDots, int heightDots);
    // The clock as set; invalid before a clock was set.
    QDateTime clockTime() const;
    // The clock running on from the time set, at monotonic time nowMs.
    QDateTime clockAt(qint64 nowMs) const;
    // Weekday byte of the clock: Monday 0 .. Sunday 6, -1 before a clock was set.
    int clockWeekday() const;
    static int baudRate(int baudCode); // 239 -> 9600 ... 19 -> 115200, 0 when unknown
    static int codeOfRate(int rate);   // 9600 -> 239 ... 115200 -> 19, 0 when none
};
