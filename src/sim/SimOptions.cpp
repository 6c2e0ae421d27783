#include "sim/SimOptions.h"

#include "sim/BoardState.h"

namespace {
bool toInt(const QString &text, int min, int max, int *value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < min || v > max) return false;
    *value = v;
    return true;
}

// "128x32": a width of 8 to 2048 and a height of 8 to 2048 dots, both multiples of 8.
bool toSize(const QString &text, QSize *size) {
    const QStringList wh = text.trimmed().toLower().split(QLatin1Char('x'));
    int w = 0, h = 0;
    if (wh.size() != 2 || !toInt(wh.at(0), 8, 2048, &w) || !toInt(wh.at(1), 8, 2048, &h))
        return false;
    if (w % 8 || h % 8) return false;
    *size = QSize(w, h);
    return true;
}
} // namespace

QSize SimOptions::sizeOf(int i) const {
    if (sizes.isEmpty()) return QSize(128, 32);
    return sizes.value(i, sizes.first());
}

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
        } else if (a == QLatin1String("--show")) {
            o.show = true;
        } else if (a == QLatin1String("--snapshot")) {
            if (!value(&o.snapshotFile) || o.snapshotFile.isEmpty())
                return fail(QStringLiteral("--snapshot needs a PNG file"));
        } else if (a == QLatin1String("--state")) {
            if (!value(&o.stateFile) || o.stateFile.isEmpty())
                return fail(QStringLiteral("--state needs a file"));
        } else if (a == QLatin1String("--radio")) {
            QString why;
            if (!value(&v) || !o.radio.configure(v, &why))
                return fail(why.isEmpty()
                                ? QStringLiteral("--radio needs none or VERSION[:CHANNEL]")
                                : why);
        } else if (a == QLatin1String("--size")) {
            if (!value(&v)) return fail(QStringLiteral("--size needs WIDTHxHEIGHT, e.g. 128x32"));
            for (const QString &part : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                QSize size;
                if (!toSize(part, &size))
                    return fail(QStringLiteral("--size needs WIDTHxHEIGHT in dots, multiples of 8 "
                                               "from 8 to 2048, not ") +
                                part);
                o.sizes.append(size);
            }
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
                int rate = 0;
                const QStringList at = p.split(QLatin1Char('@'));
                if (at.size() > 2 || !toInt(at.at(0), 0, 65535, &address))
                    return fail(QStringLiteral("bad board address: ") + p);
                if (at.size() == 2 &&
                    (!toInt(at.at(1), 1, 4000000, &rate) || BoardState::codeOfRate(rate) == 0))
                    return fail(QStringLiteral("bad board rate (9600, 19200, 38400 or 115200): ") +
                                p);
                if (o.addresses.contains(quint16(address))) continue;
                o.addresses.append(quint16(address));
                o.rates.append(rate);
            }
        } else if (a == QLatin1String("--fault")) {
            if (!value(&v)) return fail(QStringLiteral("--fault needs a fault name"));
            QString why;
            if (!o.faults.add(v, &why)) return fail(why);
        } else {
            return fail(QStringLiteral("unknown argument: ") + a);
        }
    }
    if (o.addresses.isEmpty()) {
        o.addresses.append(1);
        o.rates.append(0);
    }
    if (o.sizes.size() > 1 && o.sizes.size() != o.addresses.size())
        return fail(
            QStringLiteral("--size gives %1 sizes for %2 boards: give one, or one per board")
                .arg(o.sizes.size())
                .arg(o.addresses.size()));
    *out = o;
    return true;
}

QString SimOptions::usage() {
    QString u = QStringLiteral(
        "usage: ledsim [--dir DIR] [--port N] [--address A[@RATE][,B...]]... [--size WxH[,...]]\n"
        "              [--pace] [--baud RATE] [--show] [--snapshot FILE.png] [--state FILE]\n"
        "              [--radio none|VERSION[:CHANNEL][:long]] [--log FILE]\n"
        "              [--fault NAME[:ARG]]... [--replace]\n"
        "A virtual screen: links a pseudo-terminal as DIR/ports/COMn (default: port 1 in\n"
        "the program directory), answers as the boards at the given addresses (default 1)\n"
        "do, prints \"ready <link>\" and runs until interrupted.\n"
        "  --address A@RATE  the board hears only frames sent at RATE (its baud code);\n"
        "                with --pace the line goes at the rate the host sets\n"
        "  --size WxH    board size in dots (default 128x32), one for all or one per board\n"
        "  --pace        bytes no faster than --baud (default 9600, 10 bits a byte)\n"
        "  --show        a window per board with its LEDs and the last exchange\n"
        "  --snapshot F  board 1's dots as a PNG (one pixel a dot) after every exchange\n"
        "  --state F     every board's state as JSON after every exchange\n"
        "  --radio ...   the radio module at the host's end (default 2.0:22; none: no module)\n"
        "  --log FILE    every received frame and every answer, one line each\n"
        "  --replace     take over a link that still points at a live pty\n"
        "faults:\n");
    for (const QString &f : FaultPlan::synopsis())
        u += QStringLiteral("  ") + f + QLatin1Char('\n');
    return u;
}
