#include "cli/Cli.h"

#include "protocol/OperatorUi.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QTextStream>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

QList<Command> &registry() {
    static QList<Command> commands;
    return commands;
}

Registration::Registration(std::initializer_list<Command> commands) {
    for (const Command &c : commands)
        registry().append(c);
}

void Context::prepare() const {
    device.PAdress = qint16(address);
    device.serieinit(qint16(port), baud);
}

workflow::Connection Context::connection() const {
    return workflow::Connection{port, baud, QString::number(address)};
}

int Context::report(bool acknowledged, bool answersAtAnyAddress) const {
    if (acknowledged && !answersAtAnyAddress && address > led::LastAnsweringAddress)
        out << "sent (not acknowledged at addresses of 512 and more)\n";
    else
        out << (acknowledged ? "acknowledged\n" : "not acknowledged\n");
    out.flush();
    return acknowledged ? ExitOk : ExitFailed;
}

int Context::report(workflow::Outcome outcome, bool answersAtAnyAddress) const {
    if (outcome == workflow::Outcome::Refused) return ExitUsage;
    return report(outcome == workflow::Outcome::Done, answersAtAnyAddress);
}

int exitStatus(workflow::Outcome outcome) {
    switch (outcome) {
    case workflow::Outcome::Done:
        return ExitOk;
    case workflow::Outcome::NotAcknowledged:
        return ExitFailed;
    case workflow::Outcome::Refused:
        break;
    }
    return ExitUsage;
}

int parseInt(const QString &text, const QString &what, int min, int max) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok) throw UsageError{QStringLiteral("%1 is not a number: %2").arg(what, text)};
    if (v < min || v > max)
        throw UsageError{
            QStringLiteral("%1 must be %2 to %3, not %4").arg(what).arg(min).arg(max).arg(text)};
    return int(v);
}

QString takeOption(QStringList &args, const QString &name) {
    const int i = args.indexOf(name);
    if (i < 0) return QString();
    if (i + 1 >= args.size()) throw UsageError{name + QStringLiteral(" needs a value")};
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

QString numberOption(QStringList &args, const QString &name, int min, int max,
                     const QString &fallback) {
    const QString text = takeOption(args, name);
    return text.isEmpty() ? fallback : QString::number(parseInt(text, name.mid(2), min, max));
}

bool takeFlag(QStringList &args, const QString &name) {
    return args.removeAll(name) > 0;
}

QString takeArgument(QStringList &args, const QString &what) {
    if (args.isEmpty()) throw UsageError{what + QStringLiteral(" is missing")};
    return args.takeFirst();
}

void expectNoMore(const QStringList &args) {
    if (!args.isEmpty()) throw UsageError{QStringLiteral("unexpected argument: ") + args.first()};
}

static void usage(QTextStream &err) {
    err << "usage: ledctl [--port N] [--baud RATE] [--address A] [--screen N|NAME] [--dir DIR] "
           "[--yes] [--lossy] COMMAND ...\n"
           "       ledctl COMMAND --help\n";
    for (const Command &c : registry())
        err << "  ledctl " << c.synopsis << "\n";
    err.flush();
}

// Hook for the screen registry: resolves --screen into port, baud and address.
std::function<void(Context &, const QString &)> &screenResolver() {
    static std::function<void(Context &, const QString &)> resolve;
    return resolve;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    led device;
    StreamOperator ui(err);
    device.setOperator(&ui);
    Context ctx{device, ui, out};
    ctx.err = &err;
#ifdef Q_OS_WIN
    ctx.errIsTerminal = _isatty(_fileno(stderr));
#else
    ctx.errIsTerminal = isatty(fileno(stderr));
#endif
    QStringList args = arguments;
    try {
        const QString dir = takeOption(args, QStringLiteral("--dir"));
        if (!dir.isEmpty()) ProgramDir::setOverride(dir);
        const QString screen = takeOption(args, QStringLiteral("--screen"));
        if (!screen.isEmpty()) {
            if (!screenResolver()) throw UsageError{QStringLiteral("--screen is not available")};
            screenResolver()(ctx, screen);
        }
        const QString port = takeOption(args, QStringLiteral("--port"));
        if (!port.isEmpty()) ctx.port = parseInt(port, QStringLiteral("port"), 1, 128);
        const QString baud = takeOption(args, QStringLiteral("--baud"));
        if (!baud.isEmpty()) {
            static const QStringList rates{QStringLiteral("9600"), QStringLiteral("19200"),
                                           QStringLiteral("38400"), QStringLiteral("115200")};
            if (!rates.contains(baud))
                throw UsageError{QStringLiteral("baud must be 9600, 19200, 38400 or 115200")};
            ctx.baud = baud;
        }
        const QString address = takeOption(args, QStringLiteral("--address"));
        if (!address.isEmpty())
            ctx.address = parseInt(address, QStringLiteral("address"), -1, 32767);
        // --lossy answers only the question about characters code page 936
        // cannot show; --yes answers every question.
        ui.answerYes = takeFlag(args, QStringLiteral("--yes"));
        ui.answerSubstitution = takeFlag(args, QStringLiteral("--lossy"));
        if (args.isEmpty() || args.first() == QLatin1String("--help") ||
            args.first() == QLatin1String("help")) {
            usage(err);
            return args.isEmpty() ? ExitUsage : ExitOk;
        }
        const QString name = args.takeFirst();
        for (const Command &c : registry()) {
            if (c.name != name) continue;
            if (args.contains(QStringLiteral("--help"))) {
                err << "usage: ledctl " << c.synopsis << "\n";
                err.flush();
                return ExitOk;
            }
            return c.run(ctx, args);
        }
        throw UsageError{QStringLiteral("unknown command: ") + name};
    } catch (const UsageError &e) {
        err << "ledctl: " << e.reason << "\n";
        err.flush();
        return ExitUsage;
    } catch (const VbError &e) {
        err << "ledctl: " << e.text() << " (error " << e.number() << ")\n";
        err.flush();
        return ExitUsage;
    }
}

} // namespace cli
