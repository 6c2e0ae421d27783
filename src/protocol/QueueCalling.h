#pragma once
// The queue-calling frame without its widgets: store a message as a text
// picture, then send the four-byte display block with the list command. The
// caller sets PAdress and calls serieinit first, and turns the outcome into
// its own messages.
#include <QByteArray>
#include <QString>

class led;

namespace queuecalling {

enum class Action {
    TestUpper,    // "测试上行": picture 1
    TestLower,    // "测试下行": picture 2
    DefaultUpper, // "发送" of the upper line's default text: picture 4
    DefaultLower, // "发送" of the lower line's default text: picture 5
};

struct Request {
    Action action = Action::TestUpper;
    QString text;
    int colour = 0;    // line colour byte
    int pageTime = 30; // display block byte 0
    int effect = 0;    // byte 1, effect code (Combo9 item data)
    int speed = 2;     // byte 2
    int stay = 2;      // byte 3
};

enum class Outcome {
    Sent,          // picture and display block both acknowledged
    Refused,       // bad input (validate() says why); nothing was sent
    PictureFailed, // the screen did not acknowledge the picture; no block sent
    DisplayFailed, // picture stored, display block not acknowledged
};

struct Result {
    Outcome outcome = Outcome::Refused;
    qint16 length = 0; // payload length L of the picture (0 when refused)
};

int pictureNumber(Action action);
// Page time, effect, speed, stay time.
QByteArray displayBlock(const Request &request);
// Why the request cannot be sent, or empty. Characters code page 936 cannot
// represent are not refused here: see textchecks::unrepresentableProblem.
QString validate(const Request &request);
// Encodes with Strtoneima, stores the picture and, when it was acknowledged,
// sends the display block.
Result send(led &device, const Request &request);

} // namespace queuecalling
