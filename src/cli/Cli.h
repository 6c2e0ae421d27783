#pragma once
// ledctl: the command-line front end over the same `led` object the window
// uses. Exit 0 when every stage was acknowledged, 1 when not, 2 for bad
// usage or bad input.
#include <QStringList>
#include <functional>

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
    QTextStream &out;
    int port = 1;
    QString baud = QStringLiteral("9600");
    int address = 1;
    bool lossy = false;
    // Prepares the device for a command: address and port settings.
    void prepare() const;
};

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

// Argument helpers that raise UsageError with a clear reason.
int parseInt(const QString &text, const QString &what, int min, int max);
QString takeOption(QStringList &args, const QString &name);
bool takeFlag(QStringList &args, const QString &name);
void expectNoMore(const QStringList &args);

} // namespace cli
