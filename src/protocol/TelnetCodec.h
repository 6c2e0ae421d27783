#pragma once
// Telnet framing for serial lines carried over TCP with COM-port control
// (RFC 854 and RFC 2217): data with 0xFF doubled, the line settings as
// sub-negotiations, and a decoder that takes the commands out of what the
// far end sends. No sockets here, so the byte rules can be tested alone.
#include <QByteArray>

namespace telnet {

enum : quint8 {
    SE = 240,
    SB = 250,
    WILL = 251,
    WONT = 252,
    DO = 253,
    DONT = 254,
    IAC = 255,
    // options
    Binary = 0,
    SuppressGoAhead = 3,
    ComPort = 44,
    // COM-PORT-OPTION commands, client to server
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    ParityNone = 1,
};

// Data as it goes on the wire: every 0xFF doubled.
QByteArray escape(const QByteArray &data);
// SET-BAUDRATE, SET-DATASIZE 8, SET-PARITY none, SET-STOPSIZE 1.
QByteArray lineSettings(quint32 baud);

// Takes the far end's stream apart, across reads of any size.
class Decoder {
  public:
    // The data bytes in `wire`; answers to the far end's option requests
    // are appended to `reply`.
    QByteArray feed(const QByteArray &wire, QByteArray &reply);
    // What the client says first: it will do COM-PORT-OPTION, and both sides
    // send binary without go-aheads. Resets the decoder for a new connection.
    QByteArray start();

  private:
    enum class State { Data, Iac, Option, Sub, SubIac };
    void answer(quint8 verb, quint8 option, QByteArray &reply);

    State m_state = State::Data;
    quint8 m_verb = 0;
    bool m_weDo[256] = {};   // options we have agreed to perform
    bool m_theyDo[256] = {}; // options we have asked or allowed them to perform
};

} // namespace telnet
