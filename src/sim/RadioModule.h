#pragma once
// The radio serial module attached to the host's port, as its short text
// protocol shows it: the XD query answered with 19 (or 29) characters, and
// 8-byte setting frames, each acknowledged with 8 bytes.
#include <QByteArray>
#include <QList>
#include <QString>

struct RadioModule {
    bool present = true;
    QByteArray version = QByteArrayLiteral("2.0"); // three characters
    int channel = 22;                              // 1..40 as operators set it
    int packetSize = 15;
    int baudIndex = 3;
    int airBaudIndex = 2;
    int powerIndex = 4;
    int rangeIndex = 1;
    bool longAnswer = false;    // 29 characters instead of 19
    QList<QByteArray> settings; // setting strings received, 6 characters each

    // Characters 3-4 channel + 104 and 10-11 the packet size as nibble
    // characters, 7-9 the version, 12-15 the four indexes.
    QByteArray answer() const;
    // "S1" + channel code sets the channel, "S2" + two nibble characters the
    // packet size; every string is kept.
    void apply(const QByteArray &setting);
    // The acknowledgement of a setting frame: the frame itself.
    static QByteArray acknowledge(const QByteArray &frame) { return frame; }

    // "2.0", "1.5:22", "2.0:22:long"; false with a reason for anything else.
    bool configure(const QString &spec, QString *error);
};

// v as two characters 0x30 + v / 16, 0x30 + v % 16 ("0?" for 15).
QByteArray nibbleChars(int v);
