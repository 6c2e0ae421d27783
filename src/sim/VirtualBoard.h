#pragma once
// One controller board: answers the frames addressed to it and keeps what the
// completed transfers set. Answers are returned, not written; the line decides
// when and how they go out.
#include "sim/BoardState.h"
#include "sim/Frame.h"

#include <functional>

class VirtualBoard {
  public:
    explicit VirtualBoard(quint16 address);

    quint16 address() const { return m_address; }
    // Boards at 512 and above hear everything and answer nothing, except the
    // window-number exchange, for which the host waits at any address.
    bool answers() const { return m_address < 512; }
    bool answersTransfer() const {
        return answers() || Command(m_command) == Command::WindowNumber;
    }
    // A board on a line with boards at other rates hears only frames sent
    // at its own baud code's rate; others (the default) hear every rate.
    void setOwnRate(bool own) { m_ownRate = own; }
    bool hasOwnRate() const { return m_ownRate; }
    const BoardState &state() const { return m_state; }
    BoardState &state() { return m_state; }

    QByteArray answerLink() const;
    // Starts a transfer: the echo (for the property read, the property answer)
    // and, through packetsExpected(), how many data packets are to come.
    QByteArray answerHeader(const Frame &header);
    int packetsExpected() const { return m_expected; }
    // The checksum of the packet; completes the transfer after the last one.
    // A packet whose checksum byte does not match ends the transfer unstored.
    QByteArray answerPacket(const Frame &packet);
    QByteArray answerParameters(const Frame &frame);
    // The line gave up on the running transfer (a silenced or wrong answer).
    void abandonTransfer();
    bool inTransfer() const { return m_inTransfer; }

    // The 38-byte answer to the property read.
    QByteArray propertyAnswer() const;

    // The board's monotonic clock in milliseconds; tests set their own.
    std::function<qint64()> msClock;
    qint64 nowMs() const;

  private:
    void complete();
    void completeList(const QByteArray &list);
    void completePicture(int number);

    quint16 m_address;
    BoardState m_state;
    bool m_ownRate = false;
    bool m_inTransfer = false;
    quint8 m_command = 0;
    quint16 m_counter = 0;
    int m_expected = 0;
    QList<QByteArray> m_rows;
};
