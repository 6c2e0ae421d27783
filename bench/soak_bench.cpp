// Soak of the call service: one long-lived `ledctl serve` over two virtual
// lines (ledsim without pacing, two boards each), calls posted one after the
// other with no minimum display time until the screens have answered at least
// 10,000 exchanges after warm-up (counted from the ledsim logs). Bounds, each
// checked, the program exits 1 when one is broken:
//  - resident memory (VmRSS) grows by less than 1 MB from the end of warm-up
//    to the end of the run;
//  - open descriptors do not grow;
//  - per-call time does not drift: the service's CPU time (summed over its
//    threads) per call over the calls of the last 1000 exchanges is within
//    1.2x that over the first 1000. Every call is the same handful of
//    exchanges, so this is the per-exchange cost too. CPU rather than wall
//    time: on a shared machine the wall-time median of a few hundred calls
//    moves by a factor of two with the load of other programs, while the CPU
//    a call costs moves by a few per cent; 1.2x leaves that room and still
//    catches a cost that grows with the calls served (a list scanned per
//    call, a journal read back whole). Medians, and a window above the
//    bound is measured again over the next 1000 exchanges (twice at most):
//    a burst of load passes, a growing cost stays. Wall-time medians are
//    printed too.
#include "ChildProcesses.h"
#include "support/HallRegistry.h"
#include "support/HttpExchange.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int Screens = 4;
constexpr int FirstPort = 101;
constexpr int WarmUpCalls = 300;
constexpr qint64 Exchanges = 10000;
constexpr qint64 Window = 1000; // exchanges at each end whose calls' times are compared
constexpr double DriftBound = 1.2;
constexpr qint64 GrowthBoundKb = 1024;

qint64 rssKb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// CPU time the process has used, in ns, summed over its threads.
qint64 cpuNs(qint64 pid) {
    qint64 sum = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (f.open(QIODevice::ReadOnly)) sum += f.readAll().split(' ').first().toLongLong();
    }
    return sum;
}

qint64 openFds(qint64 pid) {
    return QDir(QStringLiteral("/proc/%1/fd").arg(pid))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

// Exchanges the screens answered so far: one "answer" line each in the logs.
qint64 answers(const QStringList &logs) {
    qint64 n = 0;
    for (const QString &path : logs) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return -1;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("answer ")) ++n;
    }
    return n;
}

// The /v1/events stream, read on this thread between posts.
class Events {
  public:
    bool open(quint16 port) {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(5000)) return false;
        m_socket.write(
            "GET /v1/events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
        while (!m_buffer.contains("\r\n\r\n"))
            if (!more()) return false;
        m_buffer.remove(0, m_buffer.indexOf("\r\n\r\n") + 4);
        return true;
    }
    // Waits for the call's end; its state, or empty when none came in time.
    QString endOf(const QString &id) {
        for (;;) {
            qsizetype end;
            while ((end = m_buffer.indexOf("\n\n")) >= 0) {
                const QByteArray block = m_buffer.left(end);
                m_buffer.remove(0, end + 2);
                const qsizetype at = block.indexOf("data: ");
                if (!block.startsWith("event: call") || at < 0) continue;
                const QJsonObject o =
                    QJsonDocument::fromJson(block.mid(at + 6).split('\n').first()).object();
                const QString state = o.value(QStringLiteral("state")).toString();
                if (o.value(QStringLiteral("id")).toString() == id &&
                    (state == QLatin1String("shown") || state == QLatin1String("failed")))
                    return state;
            }
            if (!more()) return QString();
        }
    }

  private:
    bool more() {
        if (!m_socket.waitForReadyRead(10000)) return false;
        m_buffer += m_socket.readAll();
        return true;
    }
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

double medianMs(std::vector<double> v) {
    return v.empty() ? 0 : bench::median(std::move(v));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!writeHallRegistry(dir.path(), Screens, FirstPort, QStringLiteral("115200"))) return 1;
    bench::Sim lines[2];
    QStringList logs;
    for (int i = 0; i < 2; ++i) {
        logs << dir.filePath(QStringLiteral("line%1.log").arg(i));
        if (!lines[i].start(dir.path(), FirstPort + i,
                            {QStringLiteral("--address"), QStringLiteral("1,2"),
                             QStringLiteral("--log"), logs.last()})) {
            std::printf("ledsim did not start\n");
            return 1;
        }
    }
    bench::Service service;
    if (!service.start(dir.path())) {
        std::printf("ledctl serve did not start listening\n");
        return 1;
    }
    const quint16 port = service.port;
    const qint64 pid = service.process.processId();
    Events events;
    if (!events.open(port)) {
        std::printf("no event stream\n");
        return 1;
    }

    // A longer run, to see where memory settles: soak_bench EXCHANGES.
    qint64 target = argc > 1 ? QByteArray(argv[1]).toLongLong() : Exchanges;
    int calls = 0, failed = 0, window = 0;
    std::vector<double> callMs;
    std::vector<qint64> cpuBefore; // the service's CPU before each measured call, and at the end
    qint64 startRss = 0, startFds = 0, startExchanges = 0, exchanges = 0;
    QElapsedTimer measured;
    // Median, not mean: a checkpoint of the journal or a preempted thread
    // lands on single calls.
    const auto cpuOver = [&](size_t from, size_t to) {
        std::vector<double> ms;
        for (size_t i = from; i < to; ++i)
            ms.push_back(static_cast<double>(cpuBefore.at(i + 1) - cpuBefore.at(i)) / 1e6);
        return medianMs(ms);
    };
    // The load of other programs can lift one window's figure; a cost that
    // grows with the calls served shows again in the next 1000 exchanges.
    const auto drifted = [&] {
        const size_t w = size_t(window), n = cpuBefore.size() - 1;
        return n < 2 * w || cpuOver(n - w, n) > cpuOver(0, w) * DriftBound;
    };
    int confirmations = 0;
    for (;;) {
        if (calls == WarmUpCalls) {
            startExchanges = answers(logs);
            // Every call is the same handful of exchanges: the calls that make the
            // first and last 1000 exchanges.
            window =
                int((Window * WarmUpCalls + startExchanges - 1) / qMax<qint64>(1, startExchanges));
            startRss = rssKb(pid);
            startFds = openFds(pid);
            measured.start();
        }
        if (calls >= WarmUpCalls && calls % 100 == 0) {
            exchanges = answers(logs) - startExchanges;
            if (exchanges >= target) {
                cpuBefore.push_back(cpuNs(pid));
                const bool again = drifted() && confirmations < 2;
                cpuBefore.pop_back();
                if (!again) break;
                ++confirmations;
                target = exchanges + Window;
                std::printf("  per-call CPU above the bound at %lld exchanges: measuring 1000 "
                            "more\n",
                            static_cast<long long>(exchanges));
            }
            if (argc > 1 && calls % 500 == 0 && callMs.size() >= 500)
                std::printf("  %lld exchanges: VmRSS %lld kB, last 500 calls' median %.3f ms\n",
                            static_cast<long long>(exchanges), static_cast<long long>(rssKb(pid)),
                            medianMs({callMs.end() - 500, callMs.end()}));
        }
        const int screen = 1 + calls % Screens;
        const QJsonObject body{
            {QStringLiteral("line"),
             (calls / Screens) % 2 ? QStringLiteral("lower") : QStringLiteral("upper")},
            {QStringLiteral("text"), QStringLiteral("请A%1号到%2号窗口")
                                         .arg(calls % 1000, 3, 10, QLatin1Char('0'))
                                         .arg(screen)},
            {QStringLiteral("minDisplayMs"), 0}};
        if (calls >= WarmUpCalls) cpuBefore.push_back(cpuNs(pid));
        QElapsedTimer t;
        t.start();
        const HttpAnswer posted =
            httpRequest(port, "POST", "/v1/screens/" + QByteArray::number(screen) + "/calls",
                        QJsonDocument(body).toJson(QJsonDocument::Compact));
        const QString state =
            posted.status == 202
                ? events.endOf(posted.json().value(QStringLiteral("id")).toString())
                : QString();
        if (state.isEmpty()) {
            std::printf("call %d: no end (POST answered %d)\n", calls, posted.status);
            return 1;
        }
        if (state != QLatin1String("shown")) ++failed;
        if (calls >= WarmUpCalls) callMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        ++calls;
    }
    const double seconds = static_cast<double>(measured.nsecsElapsed()) / 1e9;
    cpuBefore.push_back(cpuNs(pid));
    const qint64 endRss = rssKb(pid), endFds = openFds(pid);
    service.process.terminate();
    service.process.waitForFinished(10000);

    const int n = int(callMs.size());
    const int w = std::min(window, n);
    const double first = medianMs({callMs.begin(), callMs.begin() + w});
    const double last = medianMs({callMs.end() - w, callMs.end()});
    const double firstCpu = cpuOver(0, size_t(w)), lastCpu = cpuOver(size_t(n - w), size_t(n));
    const double perExchange = seconds * 1e3 / static_cast<double>(exchanges);
    const bool memoryOk = endRss - startRss < GrowthBoundKb;
    const bool fdsOk = endFds <= startFds;
    const bool driftOk = window > 0 && !drifted();
    std::printf("soak: %d calls after %d warm-up calls, %lld exchanges in %.1f s "
                "(%.3f ms an exchange), %d failed\n",
                n, WarmUpCalls, static_cast<long long>(exchanges), seconds, perExchange, failed);
    std::printf("  VmRSS after warm-up %lld kB, at the end %lld kB: growth %lld kB "
                "(bound < %lld): %s\n",
                static_cast<long long>(startRss), static_cast<long long>(endRss),
                static_cast<long long>(endRss - startRss), static_cast<long long>(GrowthBoundKb),
                memoryOk ? "ok" : "BROKEN");
    std::printf("  open fds after warm-up %lld, at the end %lld: %s\n",
                static_cast<long long>(startFds), static_cast<long long>(endFds),
                fdsOk ? "ok" : "BROKEN");
    std::printf("  per call (%lld exchanges = %d calls at each end): service CPU median first "
                "%.3f ms, last %.3f ms, ratio %.3f (bound %.2f): %s\n",
                static_cast<long long>(Window), window, firstCpu, lastCpu,
                firstCpu > 0 ? lastCpu / firstCpu : 0.0, DriftBound, driftOk ? "ok" : "BROKEN");
    std::printf("  per call, POST to shown (wall, not bounded): median of the first %.3f ms, "
                "of the last %.3f ms, ratio %.3f\n",
                first, last, first > 0 ? last / first : 0.0);
    std::fflush(stdout);
    return memoryOk && fdsOk && driftOk && failed == 0 ? 0 : 1;
}
