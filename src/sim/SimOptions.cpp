#include "sim/SimOptions.h"

namespace {
bool toInt(const QString &text, int min, int max, int *value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 0);
    if (!ok || v < min || v > max) return false;
    *value = v;
    return true;
}
} // namespace

bool SimOptions::parse(const QStringList &args, SimOptions *out, QString *error) {
    SimOptions o;
    auto fail = [&](const QString &why) {
        if (error) *error = why;
        return false;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString *v) {
            if (i + 1 >= args.size()) return false;
            *v = args.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--pace")) {
            o.pace = true;
        } else if (a == QLatin1String("--replace")) {
            o.replace = true;
        } else if (a == QLatin1String("--dir")) {
            if (!value(&o.dir) || o.dir.isEmpty())
                return fail(QStringLiteral("--dir needs a directory"));
        } else if (a == QLatin1String("--log")) {
            if (!value(&o.logFile) || o.logFile.isEmpty())
                return fail(QStringLiteral("--log needs a file"));
        } else if (a == QLatin1String("--port")) {
            if (!value(&v) || !toInt(v, 1, 128, &o.port))
                return fail(QStringLiteral("--port needs a number from 1 to 128"));
        } else if (a == QLatin1String("--baud")) {
            if (!value(&v) || !toInt(v, 300, 4000000, &o.baud))
                return fail(QStringLiteral("--baud needs a rate such as 9600 or 115200"));
        } else if (a == QLatin1String("--address")) {
            if (!value(&v)) return fail(QStringLiteral("--address needs a board address"));
            const QStringList parts = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
            if (parts.isEmpty()) return fail(QStringLiteral("--address needs a board address"));
            for (const QString &p : parts) {
                int address = 0;
                if (!toInt(p, 0, 65535, &address))
                    return fail(QStringLiteral("bad board address: ") + p);
                if (!o.addresses.contains(quint16(address))) o.addresses.append(quint16(address));
            }
        } else if (a == QLatin1String("--fault")) {
            if (!value(&v)) return fail(QStringLiteral("--fault needs a fault name"));
            QString why;
            if (!o.faults.add(v, &why)) return fail(why);
        } else {
            return fail(QStringLiteral("unknown argument: ") + a);
        }
    }
    if (o.addresses.isEmpty()) o.addresses.append(1);
    *out = o;
    return true;
}

QString SimOptions::usage() {
    QString u = QStringLiteral(
        "usage: ledsim [--dir DIR] [--port N] [--address A[,B...]]... [--pace] [--baud RATE]\n"
        "              [--log FILE] [--fault NAME[:ARG]]... [--replace]\n"
        "A virtual screen: links a pseudo-terminal as DIR/ports/COMn (default: port 1 in\n"
        "the program directory), answers as the boards at the given addresses (default 1)\n"
        "do, prints \"ready <link>\" and runs until interrupted.\n"
        "  --pace        bytes no faster than --baud (default 9600, 10 bits a byte)\n"
        "  --log FILE    every received frame and every answer, one line each\n"
        "  --replace     take over a link that still points at a live pty\n"
        "faults:\n");
    for (const QString &f : FaultPlan::synopsis())
        u += QStringLiteral("  ") + f + QLatin1Char('\n');
    return u;
}
