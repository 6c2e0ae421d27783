// Benchmark of `ledctl upload font` with a 1 MB file (4096 packets of 256
// bytes, command 5) at 115200 baud to a paced ledsim running as a separate
// process:
//  - line time (all bytes both ways, 10 bits each) against the measured wall
//    time of the ledctl run, with and without the process start-up, which is
//    measured on its own with `ledctl --help`;
//  - peak resident memory of the ledctl run;
//  - CPU of the ledctl run as a share of its wall time.
// Every run starts a fresh ledsim and checks from its --state file that all
// 4096 packets arrived.
#include "ChildProcesses.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {
using namespace bench;
constexpr int Baud = 115200;
constexpr int Port = 103;
constexpr int FileBytes = 1048576;
constexpr int PacketSize = 256; // the default of `upload font`
constexpr int Packets = FileBytes / PacketSize;
constexpr int StartupRuns = 5;

// Targets.
constexpr double MinRatio = 0.97;
constexpr double MaxPeakMb = 60;
constexpr double MaxCpuPercent = 5;

bool writeFont(const QString &path) {
    QByteArray bytes(FileBytes, Qt::Uninitialized);
    for (int i = 0; i < FileBytes; ++i)
        bytes[i] = char((i * 31 + i / PacketSize) & 0xFF);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == FileBytes;
}

// What ledsim's state tells of the command-5 upload, or why it is wrong.
QString checkState(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + path;
    const QJsonObject upload = QJsonDocument::fromJson(file.readAll())
                                   .object()
                                   .value(QStringLiteral("boards"))[0]
                                   .toObject()
                                   .value(QStringLiteral("uploads"))
                                   .toObject()
                                   .value(QStringLiteral("5"))
                                   .toObject();
    const int packets = upload.value(QStringLiteral("packets")).toInt(-1);
    const int bytes = upload.value(QStringLiteral("bytes")).toInt(-1);
    if (packets != Packets || bytes != FileBytes)
        return QStringLiteral("ledsim's state shows uploads[\"5\"] with %1 packets, %2 bytes "
                              "(expected %3, %4)")
            .arg(packets)
            .arg(bytes)
            .arg(Packets)
            .arg(FileBytes);
    return QString();
}

void printErrFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray text = file.readAll().trimmed();
    if (!text.isEmpty()) std::printf("    ledctl said: %s\n", text.right(400).constData());
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: upload_bench [--runs N]\n");
            return 2;
        }
    }
    if (runs < 1) {
        std::fprintf(stderr, "upload_bench: --runs needs a count of 1 or more\n");
        return 2;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString font = dir.filePath(QStringLiteral("font.bin"));
    if (!writeFont(font)) {
        std::printf("error: cannot write %s\n", qPrintable(font));
        return 1;
    }
    const QString errFile = dir.filePath(QStringLiteral("ledctl.err"));

    const qint64 hostBytes = 4 + 7 + qint64(Packets) * (4 + PacketSize + 1);
    const qint64 screenBytes = 1 + 3 + Packets;
    const double lineMs = double(hostBytes + screenBytes) * 10 * 1000 / Baud;
    std::printf("upload font: %d bytes = %d packets of %d, command 5, %d baud, paced ledsim\n",
                FileBytes, Packets, PacketSize, Baud);
    std::printf("line: %lld bytes out + %lld back = %.1f ms\n", static_cast<long long>(hostBytes),
                static_cast<long long>(screenBytes), lineMs);

    std::vector<double> startWall, startCpu;
    for (int i = 0; i < StartupRuns; ++i) {
        const Run s = runLedctl({QStringLiteral("--help")}, errFile);
        if (s.code != 0) {
            std::printf("error: `ledctl --help` exited with %d\n", s.code);
            return 1;
        }
        startWall.push_back(s.wallMs);
        startCpu.push_back(cpuMs(s.usage));
    }
    const double startupMs = median(startWall);
    std::printf("start-up (`ledctl --help`, median of %d): %.1f ms wall, %.1f ms CPU\n",
                StartupRuns, startupMs, median(startCpu));

    const QStringList upload{QStringLiteral("--dir"),
                             dir.path(),
                             QStringLiteral("--port"),
                             QString::number(Port),
                             QStringLiteral("--baud"),
                             QStringLiteral("115200"),
                             QStringLiteral("upload"),
                             QStringLiteral("font"),
                             font};
    std::vector<double> ratios, ratiosNet, peaksMb, cpuPercents;
    for (int k = 1; k <= runs; ++k) {
        const QString state = dir.filePath(QStringLiteral("state-%1.json").arg(k));
        Sim sim;
        if (!sim.start(dir.path(), Port,
                       {QStringLiteral("--pace"), QStringLiteral("--baud"), QString::number(Baud),
                        QStringLiteral("--state"), state})) {
            std::printf("error: ledsim did not start\n");
            return 1;
        }
        const Run r = runLedctl(upload, errFile);
        if (r.code != 0) {
            std::printf("error: run %d: ledctl upload exited with %d\n", k, r.code);
            printErrFile(errFile);
            return 1;
        }
        if (!sim.stop()) {
            std::printf("error: run %d: ledsim did not end\n", k);
            return 1;
        }
        const QString wrong = checkState(state);
        if (!wrong.isEmpty()) {
            std::printf("error: run %d: %s\n", k, qPrintable(wrong));
            return 1;
        }
        const double ratio = lineMs / r.wallMs;
        const double ratioNet = lineMs / (r.wallMs - startupMs);
        const double peakMb = static_cast<double>(r.usage.ru_maxrss) / 1024.0;
        const double cpu = cpuMs(r.usage);
        const double cpuPercent = cpu / r.wallMs * 100;
        ratios.push_back(ratio);
        ratiosNet.push_back(ratioNet);
        peaksMb.push_back(peakMb);
        cpuPercents.push_back(cpuPercent);
        std::printf("run %d: %d packets acknowledged; wall %.1f ms; ratio %.4f (without start-up "
                    "%.4f); peak RSS %.1f MB; CPU %.1f ms = %.2f %% of a core\n",
                    k, Packets, r.wallMs, ratio, ratioNet, peakMb, cpu, cpuPercent);
        std::fflush(stdout);
    }

    const double ratio = median(ratios);
    const double peakMb = median(peaksMb);
    const double cpuPercent = median(cpuPercents);
    const bool met = ratio >= MinRatio && peakMb < MaxPeakMb && cpuPercent < MaxCpuPercent;
    std::printf("median of %d: ratio %.4f (without start-up %.4f, needs >= %.2f): %s; "
                "peak RSS %.1f MB (needs < %.0f MB): %s; CPU %.2f %% of a core (needs < "
                "%.0f %%): %s\n",
                runs, ratio, median(ratiosNet), MinRatio, ratio >= MinRatio ? "ok" : "NOT MET",
                peakMb, MaxPeakMb, peakMb < MaxPeakMb ? "ok" : "NOT MET", cpuPercent, MaxCpuPercent,
                cpuPercent < MaxCpuPercent ? "ok" : "NOT MET");
    std::fflush(stdout);
    return met ? 0 : 1;
}
