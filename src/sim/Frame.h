#pragma once
// One complete frame as a board hears it on the line: a link check, a command
// header, a data packet, an escaped parameter frame, or one of the radio
// module's text frames (the XD query and an 8-byte setting frame).
#include "protocol/Command.h"

#include <QByteArray>
#include <QString>

struct Frame {
    enum class Kind { Link, Header, Packet, Parameters, RadioQuery, RadioSetting };

    Kind kind = Kind::Link;
    QByteArray raw; // the bytes as they came over the line

    // Link, Header, Parameters: the board address (0xFFFF for the broadcast link check).
    quint16 address = 0;

    // Header.
    quint8 command = 0;
    quint16 counter = 0;

    // Packet: its place in the transfer (1-based), the number on the wire, the
    // payload and the checksum byte that followed it.
    int index = 0;
    int total = 0;
    quint16 number = 0;
    QByteArray payload;
    quint8 checksum = 0;

    // Parameters: the decoded 10-byte body. RadioSetting: the 6 characters.
    QByteArray body;

    // Data packets that follow a header with this command and counter.
    static int packetCount(quint8 command, quint16 counter) {
        return command::isPicture(command) ? counter & 0xFF : counter;
    }
    int packetCount() const { return packetCount(command, counter); }
    // XOR of number, size and payload, as the board computes it.
    quint8 computedChecksum() const;
    bool checksumMatches() const { return computedChecksum() == checksum; }

    // One log line, e.g. "header address=1 command=7 counter=0x0001 packets=1".
    QString describe() const;
};

// "C8 00 01" style text for log lines and test messages.
QString hexBytes(const QByteArray &bytes);
