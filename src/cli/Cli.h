#pragma once
// src/cli, beside src/app over the workflows.
//
// ledctl: the command-line front end over the same workflows the window runs.
// A subcommand turns its arguments into the workflow's fields; the workflow's
// messages go to stderr, a question counts as No unless --yes is given. Exit
// 0 when every stage was acknowledged, 1 when not, 2 for bad usage or input.
#include "workflows/Workflow.h"

#include <QStringList>
#include <functional>

class OperatorUi;
class led;
class QTextStream;

namespace cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Thrown for bad usage or bad input; the text is the one-line reason.
struct UsageError {
    QString reason;
};

struct Context {
    led &device;
    OperatorUi &ui;
    QTextStream &out;
    int port = 1;
    QString baud = QStringLiteral("9600");
    int address = 1;
    int screenNumber = 0; // the registered screen of --screen, 0 without
    QString screenName = QString();
    QTextStream *err = nullptr; // where progress lines go; set by run()
    bool errIsTerminal = false;
    // Prepares the device for a raw transfer: address and port settings.
    void prepare() const;
    // The connection row a workflow gets.
    workflow::Connection connection() const;
    // Prints "acknowledged", "not acknowledged" or, for boards that never
    // answer, "sent (...)"; returns the exit status. The window number and
    // the radio module answer at any address.
    int report(bool acknowledged, bool answersAtAnyAddress = false) const;
    // The same for a workflow's outcome; a refusal prints nothing and gives 2.
    int report(workflow::Outcome outcome, bool answersAtAnyAddress = false) const;
};

// 0 done, 1 not acknowledged, 2 refused.
int exitStatus(workflow::Outcome outcome);

using Handler = std::function<int(Context &, QStringList &args)>;
struct Command {
    QString name;
    QString synopsis;
    Handler run;
};

// Every subcommand group adds itself here.
QList<Command> &registry();
struct Registration {
    explicit Registration(std::initializer_list<Command> commands);
};

// Set by the registry: resolves --screen N|NAME into port, baud and address.
std::function<void(Context &, const QString &)> &screenResolver();

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// Argument helpers that raise UsageError with a clear reason. Numbers are
// decimal: "010" is ten.
int parseInt(const QString &text, const QString &what, int min, int max);
QString takeOption(QStringList &args, const QString &name);
// A decimal option from min to max, as its decimal text; `fallback` when absent.
QString numberOption(QStringList &args, const QString &name, int min, int max,
                     const QString &fallback);
bool takeFlag(QStringList &args, const QString &name);
// The next positional argument; UsageError "<what> is missing" without one.
QString takeArgument(QStringList &args, const QString &what);
void expectNoMore(const QStringList &args);

} // namespace cli
