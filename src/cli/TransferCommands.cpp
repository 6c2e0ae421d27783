// ledctl ports, link and send: the lines and the bare frame, for checking a
// line by hand.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "protocol/PortLocator.h"
#include "protocol/PortScan.h"
#include "protocol/led.h"

#include <QTextStream>
#include <algorithm>

namespace cli {
// The window's port list, each port with what it opens; a port that is taken
// or fails says so in a third column.
int portsCommand(Context &ctx, Arguments &args) {
    expectNoMore(args);
    for (const PortScanEntry &e : scanPorts(ctx.device.MSComm1())) {
        ctx.out << e.number << '\t' << PortLocator::describe(e.number);
        if (!PortLocator::networkAddress(e.number).isValid()) {
            const QString status = e.text.mid(QString::number(e.number).size()).trimmed();
            if (!status.isEmpty()) ctx.out << '\t' << status;
        }
        ctx.out << '\n';
    }
    ctx.out.flush();
    return ExitOk;
}

int linkCommand(Context &ctx, Arguments &args) {
    expectNoMore(args);
    ctx.prepare();
    const bool ok = ctx.device.Link_Build(qint16(ctx.address));
    ctx.out << (ok ? "link ok\n" : "link failed\n");
    return ok ? ExitOk : ExitFailed;
}

int sendCommand(Context &ctx, Arguments &args) {
    if (args.values.size() < 3)
        throw UsageError{QStringLiteral("send needs COMMAND COUNTER SIZE [HEX...]")};
    const int command = parseInt(args.values.takeFirst(), QStringLiteral("command"), 0, 255);
    const int counter = parseInt(args.values.takeFirst(), QStringLiteral("counter"), 0, 65535);
    const int size = parseInt(args.values.takeFirst(), QStringLiteral("size"), 0, 1024);
    QByteArray bytes;
    for (const QString &h : args.values) {
        const QString digits = QString(h).remove(QLatin1Char(' '));
        if (digits.isEmpty() || digits.size() % 2 != 0 ||
            !std::all_of(digits.begin(), digits.end(), [](QChar c) {
                return c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c);
            }))
            throw UsageError{QStringLiteral("not hex bytes: ") + h};
        bytes.append(QByteArray::fromHex(digits.toLatin1()));
    }
    const int packets = command::isPicture(command) ? counter % 256 : counter;
    if (size == 0 && !bytes.isEmpty()) throw UsageError{QStringLiteral("bytes given for size 0")};
    if (size > 0 && bytes.size() > qint64(packets) * size)
        throw UsageError{QStringLiteral("more bytes than %1 packets of %2").arg(packets).arg(size)};
    for (int i = 0; i < bytes.size(); ++i)
        ctx.device.table().set(i / qMax(1, size), i % qMax(1, size), quint8(bytes.at(i)));
    ctx.prepare();
    qint32 pc = counter;
    const bool ok = ctx.device.senddata(qint16(command), pc, size);
    ctx.out << (ok ? "acknowledged\n" : "not acknowledged\n");
    return ok ? ExitOk : ExitFailed;
}

} // namespace cli
