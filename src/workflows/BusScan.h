#pragma once
// The bus scan "扫描": which boards answer on a line, at which address and
// baud rate, for a technician who knows neither (a board after a reset). For
// each rate the broadcast link check first (is anything there at all?), then
// a link check per address with a short wait. `ledctl scan` and the screen
// panel's scan dialog both run `run`.
#include <QList>
#include <QString>
#include <functional>

class OperatorUi;
class led;

namespace busscan {

// A board hears and answers the link check at addresses 0 to
// led::LastAnsweringAddress; the address change gives boards 0 to 255, so
// that is where a board after a reset or a change is to be found.
constexpr int DefaultFirstAddress = 0;
constexpr int DefaultLastAddress = 255;
// A board answers a link check within a few byte times; the full time limit
// would make a scan of 256 silent addresses last minutes.
constexpr int DefaultWaitMs = 60;
constexpr int MinWaitMs = 10;
constexpr int MaxWaitMs = 1000;

struct Request {
    int port = 1;
    QList<int> bauds = {9600, 19200, 38400, 115200};
    int firstAddress = DefaultFirstAddress;
    int lastAddress = DefaultLastAddress;
    int waitMs = DefaultWaitMs;
};

// What the fields or options hold, as text: "9600,19200", "0-255", "60".
// Empty texts keep the defaults. False with the reason in Chinese.
bool parseBauds(const QString &text, QList<int> *bauds, QString *why);
bool parseAddresses(const QString &text, int *first, int *last, QString *why);
bool parseWait(const QString &text, int *waitMs, QString *why);
// Why the request cannot run, or empty.
QString validate(const Request &request);

struct Board {
    int address = 0;
    int baud = 9600;
    bool operator==(const Board &o) const { return address == o.address && baud == o.baud; }
};

// How the caller follows the scan; every member may be left empty.
struct Observer {
    // Link checks done of the total (a rate with nothing on it counts whole).
    std::function<void(int done, int total)> progress;
    // A board answered; called at once, before the scan goes on.
    std::function<void(const Board &board)> found;
    // Asked between two link checks; true ends the scan there.
    std::function<bool()> cancelled;
};

enum class Outcome {
    Finished,   // every rate and address was checked
    Cancelled,  // stopped on request; `boards` holds what was found so far
    PortFailed, // the port could not be opened or went away; the operator was told
    Refused,    // bad input; the operator was told why, nothing was sent
};

struct Result {
    Outcome outcome = Outcome::Refused;
    QList<Board> boards;
};

// Holds the line for the whole scan. PAdress is left as it was.
Result run(led &device, OperatorUi &ui, const Request &request, const Observer &observer = {});

} // namespace busscan
