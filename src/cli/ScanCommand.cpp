// ledctl scan: the bus scan, one line per board found on stdout
// ("ADDRESS<TAB>BAUD"), the progress on stderr; Ctrl+C ends it early with
// what was found so far.
#include "cli/Cli.h"
#include "cli/Handlers.h"
#include "cli/StopSignals.h"
#include "workflows/BusScan.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace cli {

int scanCommand(Context &ctx, Arguments &args) {
    expectNoMore(args);
    busscan::Request request;
    request.port = ctx.port;
    QString why;
    if (!busscan::parseBauds(args.option(QStringLiteral("bauds")), &request.bauds, &why) ||
        !busscan::parseAddresses(args.option(QStringLiteral("addresses")), &request.firstAddress,
                                 &request.lastAddress, &why) ||
        !busscan::parseWait(args.option(QStringLiteral("wait")), &request.waitMs, &why))
        throw UsageError{why};

    bool stopped = false;
    const StopSignals stop([&stopped] { stopped = true; });
    QTextStream *err = ctx.err;
    QElapsedTimer sincePrint;
    busscan::Observer observer;
    // On a terminal one line is rewritten; elsewhere a line a second and the last.
    observer.progress = [&](int done, int total) {
        if (!err) return;
        const bool last = done == total;
        if (!ctx.errIsTerminal && sincePrint.isValid() && sincePrint.elapsed() < 1000 && !last)
            return;
        sincePrint.start();
        *err << (ctx.errIsTerminal ? "\r" : "")
             << QStringLiteral("扫描 %1/%2  %3%")
                    .arg(done)
                    .arg(total)
                    .arg(total ? done * 100 / total : 100)
             << (ctx.errIsTerminal && !last ? "" : "\n");
        err->flush();
    };
    observer.found = [&](const busscan::Board &board) {
        ctx.out << board.address << '\t' << board.baud << '\n';
        ctx.out.flush();
    };
    observer.cancelled = [&stopped] { return stopped; };
    const busscan::Result result = busscan::run(ctx.device, ctx.ui, request, observer);
    switch (result.outcome) {
    case busscan::Outcome::Finished:
    case busscan::Outcome::Cancelled:
        return ExitOk;
    case busscan::Outcome::PortFailed:
        return ExitFailed;
    case busscan::Outcome::Refused:
        break;
    }
    return ExitUsage;
}

} // namespace cli
