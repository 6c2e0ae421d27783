// Benchmark of the serial path against ledsim running as a separate process:
//  (a) transfer efficiency: 200 packets of 528 bytes (command 5) at 115200 baud
//      to a paced ledsim; line time (all bytes both ways, 10 bits each) against
//      the measured time of the transfer;
//  (b) CPU used by `ledctl link` while the screen stays silent for the whole
//      1000 ms wait, with the process start-up measured on its own;
//  (c) peak resident memory of `ledctl link`.
#include "ChildProcesses.h"
#include "protocol/ProgramDir.h"
#include "protocol/led.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {
using namespace bench;
constexpr int Baud = 115200;
constexpr int Packets = 200;
constexpr int PacketSize = 528;

bool transferEfficiency(const QString &dir) {
    std::printf(
        "(a) transfer efficiency: %d packets of %d bytes, command 5, %d baud, paced ledsim\n",
        Packets, PacketSize, Baud);
    Sim sim;
    if (!sim.start(dir, 101,
                   {QStringLiteral("--pace"), QStringLiteral("--baud"), QString::number(Baud)})) {
        std::printf("    ledsim did not start\n");
        return false;
    }
    ProgramDir::setOverride(dir);
    led device;
    device.PAdress = 1;
    for (int k = 0; k < Packets; ++k)
        for (int i = 0; i < PacketSize; ++i)
            device.table().set(k, i, quint8((k * 7 + i) & 0xFF));
    const qint64 hostBytes = 4 + 7 + qint64(Packets) * (4 + PacketSize + 1);
    const qint64 screenBytes = 1 + 3 + Packets;
    const double lineMs = double(hostBytes + screenBytes) * 10 * 1000 / Baud;
    bool allOk = true;
    double worst = 1;
    for (int round = 1; round <= 3; ++round) {
        device.serieinit(101, QString::number(Baud));
        qint32 counter = Packets;
        QElapsedTimer t;
        t.start();
        const bool ok = device.senddata(Command::FontUpload, counter, PacketSize);
        const double measuredMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        const double ratio = lineMs / measuredMs;
        worst = std::min(worst, ratio);
        allOk = allOk && ok;
        std::printf(
            "    run %d: %s, bytes %lld out + %lld back, line time %.1f ms, measured %.1f ms, "
            "ratio %.3f\n",
            round, ok ? "acknowledged" : "FAILED", static_cast<long long>(hostBytes),
            static_cast<long long>(screenBytes), lineMs, measuredMs, ratio);
    }
    std::printf("    worst ratio %.3f (needs >= 0.95): %s\n", worst,
                allOk && worst >= 0.95 ? "ok" : "NOT MET");
    return allOk && worst >= 0.95;
}

bool ledctlCost(const QString &dir) {
    std::printf(
        "(b) CPU of `ledctl link` while the screen stays silent (ledsim --fault silent-link)\n");
    Sim sim;
    if (!sim.start(dir, 102, {QStringLiteral("--fault"), QStringLiteral("silent-link")})) {
        std::printf("    ledsim did not start\n");
        return false;
    }
    const QStringList silent{QStringLiteral("--dir"), dir, QStringLiteral("--port"),
                             QStringLiteral("102"), QStringLiteral("link")};
    // Port 100 names no port: ledctl starts, fails to open, ends. That is its start-up cost.
    const QStringList startOnly{QStringLiteral("--dir"), dir, QStringLiteral("--port"),
                                QStringLiteral("100"), QStringLiteral("link")};
    std::vector<double> silentCpu, silentWall, startCpu, startWall;
    long peakKb = 0, startPeakKb = 0;
    for (int i = 0; i < 5; ++i) {
        const Run s = runLedctl(startOnly);
        startCpu.push_back(cpuMs(s.usage));
        startWall.push_back(s.wallMs);
        startPeakKb = std::max(startPeakKb, s.usage.ru_maxrss);
        const Run r = runLedctl(silent);
        if (r.code != 1) std::printf("    unexpected exit code %d of ledctl link\n", r.code);
        silentCpu.push_back(cpuMs(r.usage));
        silentWall.push_back(r.wallMs);
        peakKb = std::max(peakKb, r.usage.ru_maxrss);
    }
    const double total = median(silentCpu);
    const double start = median(startCpu);
    const double wait = std::max(0.0, total - start);
    std::printf("    whole run (median of 5): %.1f ms CPU in %.0f ms wall\n", total,
                median(silentWall));
    std::printf("    start-up and exit alone (median of 5): %.1f ms CPU in %.0f ms wall\n", start,
                median(startWall));
    std::printf("    the 1000 ms wait: %.1f ms CPU = %.2f %% of a core (needs < 2 %%)\n", wait,
                wait / 1000 * 100);

    // The same wait measured inside one process, without any start-up.
    ProgramDir::setOverride(dir);
    led device;
    device.serieinit(102, QStringLiteral("9600"));
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer t;
    t.start();
    const bool linked = device.Link_Build(1);
    const double waitedMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    getrusage(RUSAGE_SELF, &after);
    const double inProcess = cpuMs(after) - cpuMs(before);
    std::printf(
        "    in-process Link_Build against the silent screen: %s after %.0f ms, %.2f ms CPU = "
        "%.2f %% of a core\n",
        linked ? "answered?!" : "no answer", waitedMs, inProcess, inProcess / waitedMs * 100);

    std::printf(
        "(c) peak resident memory of `ledctl link`: %.1f MB (start-up only: %.1f MB; needs < "
        "40 MB): %s\n",
        static_cast<double>(peakKb) / 1024.0, static_cast<double>(startPeakKb) / 1024.0,
        peakKb < 40 * 1024 ? "ok" : "NOT MET");
    return wait / 1000 < 0.02 && peakKb < 40 * 1024;
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const bool a = transferEfficiency(dir.path());
    const bool bc = ledctlCost(dir.path());
    std::fflush(stdout);
    return a && bc ? 0 : 1;
}
