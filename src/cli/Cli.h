#pragma once
// src/cli, beside src/app over the workflows.
//
// ledctl: the command-line front end over the same workflows the window runs.
// A subcommand turns its arguments into the workflow's fields; the workflow's
// messages go to stderr, a question counts as No unless --yes is given. Exit
// 0 when every stage was acknowledged, 1 when not, 2 for bad usage or input.
#include "workflows/Workflow.h"

#include <QCommandLineOption>
#include <QStringList>

class OperatorUi;
class led;
class QTextStream;
class QCommandLineParser;

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
    bool lossy = false; // --lossy
    // --service URL or LEDCOUNTER_SERVICE: call and default go through the
    // call service, for the screen of --screen as the service numbers it.
    QString service = QString();
    QString serviceScreen = QString();
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

// A command's arguments as its parser read them: the options by name and
// the values in their order, taken one by one by the handler.
class Arguments {
  public:
    explicit Arguments(const QCommandLineParser &parser);
    QStringList values;
    // The option's value, empty when not given.
    QString option(const QString &name) const;
    bool isSet(const QString &name) const;
    // For a part of a command that takes fewer options than the whole
    // command: any other option given is an unexpected argument.
    void allowOnly(const QStringList &names) const;

  private:
    const QCommandLineParser &m_parser;
};

using Handler = int (*)(Context &, Arguments &);
struct Command {
    QString name;
    QString arguments; // what follows the name, e.g. "on|off"
    QString purpose;   // one line
    QList<QCommandLineOption> options;
    Handler run;
};

// Every command, in the order --help lists them.
const QList<Command> &commands();

// --screen N|NAME: port, baud and address of a screen of the registry.
void resolveScreen(Context &ctx, const QString &which);

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
// The same over another command table.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err,
        const QList<Command> &table);

// Argument helpers that raise UsageError with a clear reason. Numbers are
// decimal: "010" is ten.
int parseInt(const QString &text, const QString &what, int min, int max);
// A decimal option from min to max, as its decimal text; `fallback` when absent.
QString numberOption(const Arguments &args, const QString &name, int min, int max,
                     const QString &fallback);
// The next value; UsageError "<what> is missing" without one.
QString takeArgument(Arguments &args, const QString &what);
void expectNoMore(const Arguments &args);

} // namespace cli
