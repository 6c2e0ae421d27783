// Benchmark of the call service as a hall runs it: `ledctl serve` over two
// virtual lines (ledsim --pace at 115200 baud, two boards each), 1000 calls
// posted to its HTTP API as fast as one client can, every state change read
// from /v1/events. Reports the line utilisation while calls wait, the time
// from POST to 202 (median, 99th percentile), calls per second per line, the
// service's peak RSS and its CPU while idle.
#include "ChildProcesses.h"
#include "support/HallRegistry.h"
#include "support/HttpExchange.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <map>
#include <unistd.h>

namespace {

constexpr int Calls = 1000;
constexpr int Screens = 4;
constexpr int FirstPort = 101;

struct Event {
    qint64 ns;
    QString id;
    QString state;
    int screen;
};

// Reads /v1/events on its own thread until told to stop.
class EventReader : public QThread {
  public:
    explicit EventReader(quint16 port, QElapsedTimer *clock) : m_port(port), m_clock(clock) {}
    std::atomic<bool> stop{false};
    std::atomic<int> shown{0};
    std::atomic<bool> connected{false};
    QList<Event> events() {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }

  protected:
    void run() override {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        if (!socket.waitForConnected(5000)) return;
        socket.write(
            "GET /v1/events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
        QByteArray buffer;
        while (!stop) {
            if (!socket.waitForReadyRead(100)) {
                if (socket.state() != QAbstractSocket::ConnectedState) return;
                continue;
            }
            buffer += socket.readAll();
            if (!connected && buffer.contains("\r\n\r\n")) {
                buffer.remove(0, buffer.indexOf("\r\n\r\n") + 4);
                connected = true;
            }
            qsizetype end;
            while (connected && (end = buffer.indexOf("\n\n")) >= 0) {
                const QByteArray block = buffer.left(end);
                buffer.remove(0, end + 2);
                const qsizetype at = block.indexOf("data: ");
                if (!block.contains("event: call") || at < 0) continue;
                const QJsonObject o =
                    QJsonDocument::fromJson(block.mid(at + 6).split('\n').first()).object();
                Event e{m_clock->nsecsElapsed(), o.value(QStringLiteral("id")).toString(),
                        o.value(QStringLiteral("state")).toString(),
                        o.value(QStringLiteral("screen")).toInt()};
                if (e.state == QLatin1String("shown") || e.state == QLatin1String("failed"))
                    ++shown;
                QMutexLocker lock(&m_mutex);
                m_events << e;
            }
        }
    }

  private:
    quint16 m_port;
    QElapsedTimer *m_clock;
    QMutex m_mutex;
    QList<Event> m_events;
};

QByteArray procField(qint64 pid, const char *file, const QByteArray &key) {
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed();
    return {};
}

double cpuSecondsOf(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    // utime and stime, fields 14 and 15 of the whole line.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size()))));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!writeHallRegistry(dir.path(), Screens, FirstPort, QStringLiteral("115200"))) return 1;
    bench::Sim lines[2];
    for (int i = 0; i < 2; ++i)
        if (!lines[i].start(dir.path(), FirstPort + i,
                            {QStringLiteral("--address"), QStringLiteral("1,2"),
                             QStringLiteral("--pace"), QStringLiteral("--baud"),
                             QStringLiteral("115200")})) {
            std::printf("ledsim did not start\n");
            return 1;
        }
    bench::Service service;
    if (!service.start(dir.path(), {QStringLiteral("--min-display"), QStringLiteral("0")})) {
        std::printf("ledctl serve did not start listening\n");
        return 1;
    }
    const quint16 port = service.port;

    QElapsedTimer clock;
    clock.start();
    EventReader reader(port, &clock);
    reader.start();
    QElapsedTimer waitConnected;
    waitConnected.start();
    while (!reader.connected && waitConnected.elapsed() < 5000)
        QThread::msleep(5);

    std::vector<double> acceptMs;
    int refused = 0;
    for (int i = 0; i < Calls; ++i) {
        const int screen = 1 + i % Screens;
        const QJsonObject body{
            {QStringLiteral("line"),
             (i / Screens) % 2 ? QStringLiteral("lower") : QStringLiteral("upper")},
            {QStringLiteral("text"),
             QStringLiteral("请A%1号到%2号窗口").arg(i, 3, 10, QLatin1Char('0')).arg(screen)}};
        QElapsedTimer t;
        t.start();
        const int status =
            httpRequest(port, "POST", "/v1/screens/" + QByteArray::number(screen) + "/calls",
                        QJsonDocument(body).toJson(QJsonDocument::Compact))
                .status;
        acceptMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (status != 202) ++refused;
    }
    QElapsedTimer drain;
    drain.start();
    while (reader.shown < Calls - refused && drain.elapsed() < 600000)
        QThread::msleep(20);
    const QList<Event> events = reader.events();

    // Per line: the union of [sending, end] intervals against the span from the
    // first sending to the last end.
    double utilisation[2] = {0, 0}, perSecond[2] = {0, 0};
    for (int l = 0; l < 2; ++l) {
        std::map<QString, qint64> started;
        qint64 first = -1, last = -1, busy = 0, busyUntil = -1;
        int done = 0;
        for (const Event &e : events) {
            if ((e.screen - 1) / 2 != l) continue;
            if (e.state == QLatin1String("sending")) {
                started[e.id] = e.ns;
                if (first < 0) first = e.ns;
            } else if ((e.state == QLatin1String("shown") || e.state == QLatin1String("failed")) &&
                       started.count(e.id)) {
                const qint64 from = std::max(started[e.id], busyUntil);
                if (e.ns > from) busy += e.ns - from;
                busyUntil = std::max(busyUntil, e.ns);
                last = e.ns;
                ++done;
            }
        }
        if (last > first && first >= 0) {
            utilisation[l] = static_cast<double>(busy) / static_cast<double>(last - first);
            perSecond[l] = done / (static_cast<double>(last - first) / 1e9);
        }
    }
    const QByteArray rss = procField(service.process.processId(), "status", "VmHWM:");
    const double cpuBefore = cpuSecondsOf(service.process.processId());
    QElapsedTimer idle;
    idle.start();
    QThread::sleep(10); // the idle span being measured
    const double idleCpu = (cpuSecondsOf(service.process.processId()) - cpuBefore) /
                           (static_cast<double>(idle.nsecsElapsed()) / 1e9);
    reader.stop = true;
    reader.wait();
    service.process.terminate();
    service.process.waitForFinished(10000);

    std::printf("calls posted %d, refused %d, ended (shown or failed) %d\n", Calls, refused,
                int(reader.shown));
    std::printf("POST -> 202: median %.2f ms, p99 %.2f ms\n", percentile(acceptMs, 0.5),
                percentile(acceptMs, 0.99));
    for (int l = 0; l < 2; ++l)
        std::printf("line %d: utilisation %.3f, %.1f calls/s\n", FirstPort + l, utilisation[l],
                    perSecond[l]);
    std::printf("service peak RSS %s, CPU while idle %.2f%% of a core\n", rss.constData(),
                idleCpu * 100);
    return reader.shown == Calls - refused && refused == 0 ? 0 : 1;
}
