#pragma once
// The queue-calling frame "发送叫号信息": store a message as a text picture,
// then send the four-byte display block with the list command. The buttons
// "发送", "测试上行", "测试下行" and `ledctl call|default` all run `run`.
#include "workflows/Workflow.h"

#include <QByteArray>
#include <QString>

class OperatorUi;
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
// sends the display block. The caller has set PAdress and the port.
Result send(led &device, const Request &request);

// What the frame's fields hold.
struct Fields {
    Action action = Action::TestUpper;
    QString text;                            // Text22, Text23 or Text6
    int colour = 0;                          // line colour byte of the colour lists
    QString pageTime = QStringLiteral("30"); // Text17
    QString speed = QStringLiteral("2");     // Text14
    QString stay = QStringLiteral("2");      // Text16
    int effect = 0;                          // item data of Combo9
};

struct Run {
    workflow::Outcome outcome = workflow::Outcome::Refused;
    Outcome detail = Outcome::Refused;
    bool queueTicked = false; // the checks passed and the line is a calling line: tick 排队
    int width = -1;           // dots for Text9 after the upper default text; -1: leave it
};

// One button's action: checks, the question about characters the screen
// cannot show, the transfer and the operator's message.
Run run(led &device, OperatorUi &ui, const workflow::Connection &connection, const Fields &fields);

} // namespace queuecalling
