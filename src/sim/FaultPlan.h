#pragma once
// Named failure modes of a virtual screen, switched on per run (ledsim
// --fault NAME[:ARG]) or from tests. Several may be on at once.
#include <QString>
#include <QStringList>

struct FaultPlan {
    bool silentLink = false;       // silent-link: no A5 to the link check
    bool wrongLink = false;        // wrong-link: 5A instead of A5
    bool silentEcho = false;       // silent-echo: no header echo
    bool wrongEcho = false;        // wrong-echo: the echo's last byte altered
    bool silentParameters = false; // silent-param: no 1A to the escaped frame
    bool wrongParameters = false;  // wrong-param: 1B instead of 1A
    bool silentRadio = false;      // silent-radio: the radio module does not answer
    bool wrongRadio = false;       // wrong-radio: 20 characters to the query, 7 bytes to a setting
    int silentAckAt = 0;           // silent-ack:K: no answer to data packet K (from 1)
    int wrongAckAt = 0;            // wrong-ack:K: a wrong checksum back for packet K
    int lateMs = 0;                // late:MS: every answer goes out MS later
    int splitGapMs = 0;            // split[:MS]: one write per answer byte, MS apart (3)
    bool merged = false;           // merged: a stray byte written together with each answer
    int garbageBytes = 0;          // garbage[:N]: N bytes written just before each answer (1)
    int unplugAfter = -1;          // unplug-after:K / unplug: the pty goes away after frame K

    // Adds one fault by name; false with a reason for an unknown name or bad argument.
    bool add(const QString &spec, QString *error = nullptr);
    bool any() const;
    // The names of the faults that are on, as add() takes them.
    QStringList names() const;
    // Synopsis of every fault name for the usage text.
    static QStringList synopsis();
};
