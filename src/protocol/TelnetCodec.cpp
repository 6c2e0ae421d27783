#include "protocol/TelnetCodec.h"

#include <algorithm>

namespace telnet {
namespace {

QByteArray bytes(std::initializer_list<quint8> list) {
    QByteArray b;
    b.reserve(qsizetype(list.size()));
    for (quint8 c : list)
        b.append(char(c));
    return b;
}

bool weMay(quint8 option) {
    return option == Binary || option == SuppressGoAhead || option == ComPort;
}
bool theyMay(quint8 option) {
    return option == Binary || option == SuppressGoAhead;
}

QByteArray subCommand(quint8 command, const QByteArray &value) {
    QByteArray b = bytes({IAC, SB, ComPort, command});
    b.append(escape(value));
    b.append(bytes({IAC, SE}));
    return b;
}

} // namespace

QByteArray escape(const QByteArray &data) {
    const auto n = std::count(data.cbegin(), data.cend(), char(IAC));
    if (n == 0) return data;
    QByteArray out;
    out.reserve(data.size() + n);
    for (char c : data) {
        out.append(c);
        if (c == char(IAC)) out.append(c);
    }
    return out;
}

QByteArray lineSettings(quint32 baud) {
    const QByteArray rate =
        bytes({quint8(baud >> 24), quint8(baud >> 16), quint8(baud >> 8), quint8(baud)});
    return subCommand(SetBaudRate, rate) + subCommand(SetDataSize, bytes({8})) +
           subCommand(SetParity, bytes({ParityNone})) + subCommand(SetStopSize, bytes({1}));
}

QByteArray Decoder::start() {
    *this = Decoder();
    // What we ask for counts as agreed, so the far end's consent is not answered again.
    m_weDo[ComPort] = m_weDo[Binary] = m_weDo[SuppressGoAhead] = true;
    m_theyDo[Binary] = m_theyDo[SuppressGoAhead] = true;
    return bytes({IAC, WILL, ComPort, IAC, WILL, Binary, IAC, DO, Binary, IAC, WILL,
                  SuppressGoAhead, IAC, DO, SuppressGoAhead});
}

void Decoder::answer(quint8 verb, quint8 option, QByteArray &reply) {
    // Only a change of state is answered, so two ends never loop (RFC 854).
    switch (verb) {
    case DO:
        if (!weMay(option)) {
            reply.append(bytes({IAC, WONT, option}));
        } else if (!m_weDo[option]) {
            m_weDo[option] = true;
            reply.append(bytes({IAC, WILL, option}));
        }
        break;
    case DONT:
        if (m_weDo[option]) {
            m_weDo[option] = false;
            reply.append(bytes({IAC, WONT, option}));
        }
        break;
    case WILL:
        if (!theyMay(option)) {
            reply.append(bytes({IAC, DONT, option}));
        } else if (!m_theyDo[option]) {
            m_theyDo[option] = true;
            reply.append(bytes({IAC, DO, option}));
        }
        break;
    case WONT:
        if (m_theyDo[option]) {
            m_theyDo[option] = false;
            reply.append(bytes({IAC, DONT, option}));
        }
        break;
    default:
        break;
    }
}

QByteArray Decoder::feed(const QByteArray &wire, QByteArray &reply) {
    QByteArray data;
    data.reserve(wire.size());
    for (char ch : wire) {
        const quint8 c = quint8(ch);
        switch (m_state) {
        case State::Data:
            if (c == IAC)
                m_state = State::Iac;
            else
                data.append(ch);
            break;
        case State::Iac:
            if (c == IAC) {
                data.append(ch);
                m_state = State::Data;
            } else if (c >= WILL) {
                m_verb = c;
                m_state = State::Option;
            } else if (c == SB) {
                m_state = State::Sub;
            } else {
                m_state = State::Data; // NOP, GA, AYT and the like carry nothing
            }
            break;
        case State::Option:
            answer(m_verb, c, reply);
            m_state = State::Data;
            break;
        case State::Sub:
            // The server's notifications and the echoes of our settings are
            // not waited for: they are skipped.
            if (c == IAC) m_state = State::SubIac;
            break;
        case State::SubIac:
            m_state = c == SE ? State::Data : State::Sub;
            break;
        }
    }
    return data;
}

} // namespace telnet
