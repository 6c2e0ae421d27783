#pragma once
// What one controller board holds after the exchanges it has taken part in.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>

// A text or image stored under picture number N (command 16 + N).
struct StoredPicture {
    quint8 parameter = 0; // high byte of the header's counter
    QList<QByteArray> rows;
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

struct BoardState {
    static constexpr int ParameterBlockSize = 18;

    int brightness = 255;
    quint8 onOffByte = 64; // byte 0 of command 4: 0 off, 64 on
    bool screenOn() const { return onOffByte != 0; }
    int startPicture = 0;
    QByteArray clock; // bytes 5..11 of command 8, as received (BCD, weekday last)
    QByteArray messageList;
    QByteArray windowNumberRow; // payload of command 16
    QMap<int, StoredPicture> pictures;
    // Display properties: the 18-byte block of commands 0 and 15.
    QByteArray parameterBlock;
    int baudCode = 239;
    EscapedParameters escaped;
    // Identity reported by the property answer.
    QByteArray productId = QByteArrayLiteral("LEDSIM0001");
    quint8 versionMajor = 1;
    quint8 versionMinor = 0;

    // Payload rows of the last completed transfer of each command byte.
    QMap<int, QList<QByteArray>> lastRows;
    int transfersCompleted = 0;

    BoardState();
    // The clock as a date and time; invalid before a clock was set.
    QDateTime clockTime() const;
    // Weekday byte of the clock: Monday 0 .. Sunday 6, -1 before a clock was set.
    int clockWeekday() const;
};
