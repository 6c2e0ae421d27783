#include "cli/Cli.h"

#include "protocol/OperatorUi.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

Arguments::Arguments(const QCommandLineParser &parser)
    : values(parser.positionalArguments()), m_parser(parser) {}

QString Arguments::option(const QString &name) const {
    return m_parser.value(name);
}

bool Arguments::isSet(const QString &name) const {
    return m_parser.isSet(name);
}

void Arguments::allowOnly(const QStringList &names) const {
    for (const QString &name : m_parser.optionNames())
        if (!names.contains(name))
            throw UsageError{QStringLiteral("unexpected argument: --") + name};
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

QString numberOption(const Arguments &args, const QString &name, int min, int max,
                     const QString &fallback) {
    const QString text = args.option(name);
    return text.isEmpty() ? fallback : QString::number(parseInt(text, name, min, max));
}

QString takeArgument(Arguments &args, const QString &what) {
    if (args.values.isEmpty()) throw UsageError{what + QStringLiteral(" is missing")};
    return args.values.takeFirst();
}

void expectNoMore(const Arguments &args) {
    if (!args.values.isEmpty())
        throw UsageError{QStringLiteral("unexpected argument: ") + args.values.first()};
}

namespace {

// The global options may stand anywhere on the line.
QString takeOption(QStringList &args, const QString &name) {
    const qsizetype i = args.indexOf(name);
    if (i < 0) return QString();
    if (i + 1 >= args.size()) throw UsageError{name + QStringLiteral(" needs a value")};
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

bool takeFlag(QStringList &args, const QString &name) {
    return args.removeAll(name) > 0;
}

void usage(QTextStream &err, const QList<Command> &table) {
    err << "usage: ledctl [--port N] [--port-wait MS] [--baud RATE] [--address A] [--screen "
           "N|NAME] [--dir DIR] "
           "[--service URL] [--yes] [--lossy] COMMAND ...\n"
           "       ledctl COMMAND --help\n"
           "commands:\n";
    qsizetype width = 0;
    for (const Command &c : table)
        width = qMax(width, c.name.size());
    for (const Command &c : table)
        err << "  " << c.name.leftJustified(width + 2) << c.purpose << "\n";
    err.flush();
}

QString optionSynopsis(const QCommandLineOption &o) {
    QString text = QStringLiteral("--") + o.names().constFirst();
    if (!o.valueName().isEmpty()) text += QLatin1Char(' ') + o.valueName();
    return text;
}

void commandUsage(QTextStream &err, const Command &c) {
    err << "usage: ledctl " << c.name;
    if (!c.options.isEmpty()) err << " [options]";
    if (!c.arguments.isEmpty()) err << ' ' << c.arguments;
    err << "\n" << c.purpose << "\n";
    qsizetype width = 0;
    for (const QCommandLineOption &o : c.options)
        width = qMax(width, optionSynopsis(o).size());
    for (const QCommandLineOption &o : c.options)
        err << "  " << optionSynopsis(o).leftJustified(width + 2) << o.description() << "\n";
    err.flush();
}

// QCommandLineParser reads "-5" as an option. Here only "--" starts one, so
// negative numbers and texts that start with a dash stay values: they reach
// the parser after "--". An unknown option, or a second value for one, is an
// unexpected argument.
QStringList arranged(const Command &c, const QStringList &args) {
    QStringList options{c.name}, values, given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            values << a;
            continue;
        }
        const QString name = a.mid(2).section(QLatin1Char('='), 0, 0);
        const auto o =
            std::find_if(c.options.begin(), c.options.end(),
                         [&](const QCommandLineOption &opt) { return opt.names().contains(name); });
        if (name.isEmpty() || o == c.options.end())
            throw UsageError{QStringLiteral("unexpected argument: ") + a};
        options << a;
        if (o->valueName().isEmpty()) continue;
        if (given.contains(name)) throw UsageError{QStringLiteral("unexpected argument: ") + a};
        given << name;
        if (a.contains(QLatin1Char('='))) continue;
        if (i + 1 >= args.size()) throw UsageError{a + QStringLiteral(" needs a value")};
        options << args.at(++i);
    }
    return options << QStringLiteral("--") << values;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    return run(arguments, out, err, commands());
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err,
        const QList<Command> &table) {
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
        const QString port = takeOption(args, QStringLiteral("--port"));
        const QString portWait = takeOption(args, QStringLiteral("--port-wait"));
        const QString baud = takeOption(args, QStringLiteral("--baud"));
        const QString address = takeOption(args, QStringLiteral("--address"));
        const QString service = takeOption(args, QStringLiteral("--service"));
        // --lossy answers only the question about characters code page 936
        // cannot show; --yes answers every question.
        ui.answerYes = takeFlag(args, QStringLiteral("--yes"));
        ui.answerSubstitution = takeFlag(args, QStringLiteral("--lossy"));
        ctx.lossy = ui.answerSubstitution;
        // The environment's service serves call and default; the option asks
        // for it, so any other command with it is a mistake.
        const QString command = args.value(0);
        const bool throughService =
            command == QLatin1String("call") || command == QLatin1String("default");
        if (!service.isEmpty() && !throughService && !args.contains(QStringLiteral("--help")) &&
            !command.isEmpty() && command != QLatin1String("--help") &&
            command != QLatin1String("help"))
            throw UsageError{QStringLiteral("--service goes with call and default only")};
        ctx.service = service.isEmpty() && throughService
                          ? qEnvironmentVariable("LEDCOUNTER_SERVICE").trimmed()
                          : service;
        if (!ctx.service.isEmpty()) {
            // The service owns the lines: the screen is the service's.
            if (!port.isEmpty() || !portWait.isEmpty() || !baud.isEmpty() || !address.isEmpty())
                throw UsageError{QStringLiteral(
                    "--port, --port-wait, --baud and --address do not go with --service")};
            ctx.serviceScreen = screen;
        } else if (!screen.isEmpty()) {
            resolveScreen(ctx, screen);
        }
        if (!port.isEmpty()) ctx.port = parseInt(port, QStringLiteral("port"), 1, 128);
        if (!portWait.isEmpty())
            device.setPortWait(parseInt(portWait, QStringLiteral("port-wait"), 0, 3600000));
        if (!baud.isEmpty()) {
            static const QStringList rates{QStringLiteral("9600"), QStringLiteral("19200"),
                                           QStringLiteral("38400"), QStringLiteral("115200")};
            if (!rates.contains(baud))
                throw UsageError{QStringLiteral("baud must be 9600, 19200, 38400 or 115200")};
            ctx.baud = baud;
        }
        if (!address.isEmpty())
            ctx.address = parseInt(address, QStringLiteral("address"), -1, 32767);
        if (args.isEmpty() || args.first() == QLatin1String("--help") ||
            args.first() == QLatin1String("help")) {
            usage(err, table);
            return args.isEmpty() ? ExitUsage : ExitOk;
        }
        const QString name = args.takeFirst();
        for (const Command &c : table) {
            if (c.name != name) continue;
            if (args.contains(QStringLiteral("--help"))) {
                commandUsage(err, c);
                return ExitOk;
            }
            QCommandLineParser parser;
            parser.addOptions(c.options);
            if (!parser.parse(arranged(c, args))) throw UsageError{parser.errorText()};
            Arguments given(parser);
            return c.run(ctx, given);
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
