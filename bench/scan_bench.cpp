// Benchmark of the bus scan: `ledctl scan --bauds 9600 --addresses 1-255`
// against a paced ledsim at 9600 baud whose only board sits at address 0, so
// that the broadcast is answered and all 255 addresses stay silent: each costs
// the whole per-address wait (60 ms). Three runs; the bound is 20 s a run.
// Exit status 1 when a run fails or takes longer.
#include "ChildProcesses.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {
using namespace bench;
constexpr int Port = 101;
constexpr double BoundMs = 20000;
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Sim sim;
    if (!dir.isValid() ||
        !sim.start(dir.path(), Port,
                   {QStringLiteral("--address"), QStringLiteral("0"), QStringLiteral("--pace"),
                    QStringLiteral("--baud"), QStringLiteral("9600")})) {
        std::printf("ledsim did not start\n");
        return 1;
    }
    std::printf("ledctl scan of 255 silent addresses at 9600 baud (60 ms wait each), paced "
                "ledsim\n");
    std::vector<double> wall;
    bool ok = true;
    for (int round = 1; round <= 3; ++round) {
        const Run r = runLedctl({QStringLiteral("--dir"), dir.path(), QStringLiteral("--port"),
                                 QString::number(Port), QStringLiteral("scan"),
                                 QStringLiteral("--bauds"), QStringLiteral("9600"),
                                 QStringLiteral("--addresses"), QStringLiteral("1-255")});
        wall.push_back(r.wallMs);
        const bool good = r.code == 0 && r.wallMs < BoundMs;
        ok = ok && good;
        std::printf("    run %d: exit %d, %.0f ms wall (%.1f ms an address), %.0f ms CPU%s\n",
                    round, r.code, r.wallMs, r.wallMs / 255, cpuMs(r.usage),
                    good ? "" : "  <- over the bound or failed");
    }
    std::printf("median %.0f ms (bound %.0f ms)\n", median(wall), BoundMs);
    return ok ? 0 : 1;
}
