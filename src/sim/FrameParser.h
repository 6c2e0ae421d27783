#pragma once
// Splits the byte stream of a line into frames, whatever way the bytes were cut
// into reads. Between transfers it looks for link checks, command headers,
// escaped parameter frames and the radio module's text frames, and drops bytes
// that start none of them; after a
// header that a board took (or one to an address that is never answered) it
// reads the announced number of data packets.
#include "sim/Frame.h"

#include <functional>

class FrameParser {
  public:
    // Called for every complete frame, before the next byte is looked at, so
    // the handler may call expectPackets() or endTransfer().
    std::function<void(const Frame &)> onFrame;

    void feed(const QByteArray &bytes);
    void feed(quint8 byte);

    // The next `count` frames are data packets (called from onFrame of a header).
    void expectPackets(int count);
    // Back to looking for frame starts (a transfer was abandoned).
    void endTransfer();
    void reset();

    int packetsPending() const { return m_packetsLeft; }
    bool inTransfer() const { return m_packetsLeft > 0; }
    // Bytes that began no frame and were dropped.
    qint64 strayBytes() const { return m_stray; }
    // Bytes held for a frame that is not complete yet.
    QByteArray partial() const { return m_buf; }
    // The least number of further bytes that could complete a frame; a paced
    // line need not look at the stream before that many have arrived.
    int bytesToNextFrame() const;

    static constexpr int MaxPacketSize = 1024;
    static constexpr int ParameterBodySize = 10;
    static constexpr quint8 ParameterEnd = 0x1A;

  private:
    enum class Verdict { Incomplete, Complete, Invalid };
    Verdict scanIdle(Frame &frame) const;
    Verdict scanPacket(Frame &frame) const;
    Verdict scanParameters(int bodyStart, quint16 address, Frame &frame) const;
    Verdict scanRadio(Frame &frame) const;
    void process();

    QByteArray m_buf;
    int m_packetsLeft = 0;
    int m_packetsTotal = 0;
    qint64 m_stray = 0;
    bool m_processing = false;
};
