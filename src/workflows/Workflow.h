#pragma once
// src/workflows, above protocol, encoding and config and below app and cli.
// The workflow layer: one operator action per source, written once and run by
// the window's panels and by ledctl alike. A workflow takes what the panel's
// fields hold, runs its steps against `led`, the registry and the store files,
// talks to the operator only through OperatorUi and returns an outcome. No
// widgets here: QtCore and QtGui only.
#include <QString>
#include <functional>

class OperatorUi;
class led;

namespace workflow {

// How an action ended; ledctl maps it to its exit status 0, 1 and 2.
enum class Outcome {
    Done,            // every stage was acknowledged (or nothing had to be sent)
    NotAcknowledged, // the screen did not acknowledge a stage, or the registry
                     // could not record what the screen took
    Refused,         // bad input: nothing was sent, the operator was told why
};

// The connection row: port number, baud-rate text, board address text.
struct Connection {
    int port = 1;
    QString baud = QStringLiteral("9600");
    QString address = QStringLiteral("1");
};

// PAdress from the address text, then the port settings. A strict set-up
// raises VbError 13 (not a number, also when empty) or 6 (outside 16 bits);
// a lenient one keeps the previous PAdress and goes on.
void connect(led &device, const Connection &connection, bool strictAddress = true);

// Runs the steps under the error trap: a VbError ends them, its number goes
// to the operator's status panel, and the action counts as refused.
Outcome trapped(OperatorUi &ui, const std::function<Outcome()> &steps);

// A number field bound for a byte: its leading number rounded half to even;
// far-out values stay far out, so a byte check refuses them instead of
// seeing a wrapped-around value.
int fieldNumber(const QString &text);
// Characters code page 936 cannot show are never replaced silently: the
// question names them; true when there are none or the operator said Yes.
bool lossyTextAgreed(OperatorUi &ui, const QString &text, const QString &caption);

// The action's failure message, left out when the device has told the
// operator already that the port failed: an action ends with one message.
void tellFailure(const led &device, OperatorUi &ui, const QString &text,
                 const QString &caption = QString());
// `success` when ok, else the failure as tellFailure tells it.
void tellResult(const led &device, OperatorUi &ui, bool ok, const QString &success,
                const QString &failure, const QString &caption = QString());

inline Outcome acknowledged(bool ok) {
    return ok ? Outcome::Done : Outcome::NotAcknowledged;
}

} // namespace workflow
