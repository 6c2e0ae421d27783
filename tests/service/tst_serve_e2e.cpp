// `ledctl serve` as a hall runs it: the service in its own process, four
// screens on two virtual lines in this one. Callers post from many threads,
// the service is killed and started again, ledctl runs beside it; the boards
// say what arrived and when.
#include "sim/VirtualLine.h"
#include "support/HallRegistry.h"
#include "support/HttpExchange.h"
#include "support/TempProgramDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <QtTest>

#include <atomic>
#include <map>
#include <thread>

namespace {

constexpr int FirstPort = 101;
constexpr int Screens = 4;

QString binary(const char *name) {
    return QStringLiteral(LEDCOUNTER_BIN_DIR "/") + QLatin1String(name);
}

// What a board received, in order: one entry each time a calling line's
// picture text changed, with the moment it arrived.
struct Arrival {
    qint64 ms;
    QString text;
};

class Hall {
  public:
    TempProgramDir dir;
    VirtualLine lines[2];
    QProcess service;
    quint16 port = 0;
    QElapsedTimer clock;
    std::map<int, QList<Arrival>> arrivals; // by screen number

    Hall() {
        clock.start();
        writeHallRegistry(dir.path(), Screens, FirstPort, QStringLiteral("115200"));
        for (int l = 0; l < 2; ++l) {
            for (quint16 a : {quint16(1), quint16(2)})
                lines[l].addBoard(a);
            lines[l].plugIn(VirtualLine::portLink(dir.path(), FirstPort + l));
            QObject::connect(&lines[l], &VirtualLine::exchanged, [this, l](VirtualBoard *b) {
                if (!b) return;
                const int screen = l * 2 + b->address();
                const auto &pictures = b->state().pictures;
                const QString text =
                    pictures.value(1).text + QLatin1Char('|') + pictures.value(2).text;
                QList<Arrival> &seen = arrivals[screen];
                const QString before = seen.isEmpty() ? QStringLiteral("|") : seen.last().text;
                if (text != before) seen << Arrival{clock.elapsed(), text};
            });
        }
    }
    ~Hall() { stop(); }

    bool start(const QStringList &extra = {}) {
        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start(binary("ledctl"),
                      QStringList{QStringLiteral("--dir"), dir.path(), QStringLiteral("serve"),
                                  QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                          extra);
        QByteArray line;
        QElapsedTimer waited;
        waited.start();
        while (!line.startsWith("listening on ") && waited.elapsed() < 20000) {
            if (service.canReadLine())
                line = service.readLine().trimmed();
            else if (!QTest::qWaitFor([this] { return service.canReadLine(); }, 20000))
                break;
        }
        port = quint16(QUrl(QString::fromUtf8(line.mid(13))).port());
        return line.startsWith("listening on ") && port > 0;
    }
    void stop() {
        if (service.state() == QProcess::NotRunning) return;
        service.terminate();
        if (!QTest::qWaitFor([this] { return service.state() == QProcess::NotRunning; }, 10000))
            service.kill();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

    QString post(int screen, const QString &line, const QString &text, int minDisplayMs) const {
        const QJsonObject body{{QStringLiteral("line"), line},
                               {QStringLiteral("text"), text},
                               {QStringLiteral("minDisplayMs"), minDisplayMs}};
        const HttpAnswer a =
            httpRequest(port, "POST", "/v1/screens/" + QByteArray::number(screen) + "/calls",
                        QJsonDocument(body).toJson(QJsonDocument::Compact));
        return a.status == 202 ? a.json().value(QStringLiteral("id")).toString() : QString();
    }
    // For requests answered only after a board answered: the boards answer
    // from this thread's event loop meanwhile.
    HttpAnswer requestWhileBoardsAnswer(const QByteArray &method, const QByteArray &path) {
        HttpAnswer answer;
        std::atomic<bool> done{false};
        std::thread caller([&] {
            answer = httpRequest(port, method, path);
            done = true;
        });
        const bool answered = QTest::qWaitFor([&] { return done.load(); }, 20000);
        caller.join();
        if (!answered) answer.status = -1;
        return answer;
    }
    QString state(const QString &id) const {
        return httpRequest(port, "GET", "/v1/calls/" + id.toUtf8())
            .json()
            .value(QStringLiteral("state"))
            .toString();
    }
    // Waits, with this thread's event loop running the boards, until every
    // call has left the queue; true when all were shown.
    bool allShown(const QStringList &ids, int timeoutMs) {
        QStringList open = ids;
        return QTest::qWaitFor(
            [&] {
                open.removeIf(
                    [&](const QString &id) { return state(id) == QLatin1String("shown"); });
                return open.isEmpty();
            },
            timeoutMs);
    }
    QStringList texts(int screen) const {
        QStringList t;
        const auto it = arrivals.find(screen);
        if (it != arrivals.end())
            for (const Arrival &a : it->second)
                t << a.text;
        return t;
    }
};

} // namespace

class ServeEndToEnd : public QObject {
    Q_OBJECT
  private slots:
    void hundredCallsFromTenThreadsAreShownOnceInOrderAndLongEnough();
    void everyAcceptedCallIsShownAfterTheServiceWasKilled();
    void ledctlThroughTheServiceAndPlainLedctlBesideItAllSucceed();
};

void ServeEndToEnd::hundredCallsFromTenThreadsAreShownOnceInOrderAndLongEnough() {
    Hall hall;
    QVERIFY(hall.start());
    constexpr int MinDisplayMs = 150;
    // Thread t calls screen 1 + t % 4, ten calls one after another, upper line only.
    QList<QStringList> ids(10);
    QList<QStringList> sent(10);
    std::atomic<int> posted{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 10; ++t)
        callers.emplace_back([&hall, &ids, &sent, &posted, t] {
            for (int k = 0; k < 10; ++k) {
                const QString text =
                    QStringLiteral("请%1号到%2号窗口").arg(t * 10 + k).arg(t % 4 + 1);
                ids[t] << hall.post(t % 4 + 1, QStringLiteral("upper"), text, MinDisplayMs);
                sent[t] << text;
                ++posted;
            }
        });
    // The boards answer from this thread's event loop while the callers post.
    const bool allPosted = QTest::qWaitFor([&] { return posted == 100; }, 30000);
    for (std::thread &c : callers)
        c.join();
    QVERIFY(allPosted);
    QStringList all;
    for (const QStringList &i : ids) {
        QVERIFY(!i.contains(QString()));
        all += i;
    }
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 100);
    QVERIFY(hall.allShown(all, 60000));

    for (int screen = 1; screen <= Screens; ++screen) {
        // Every call arrived once, each caller's calls in the order posted.
        const QStringList arrived = hall.texts(screen);
        QStringList expected;
        for (int t = screen - 1; t < 10; t += 4)
            expected += sent[t];
        QCOMPARE(arrived.size(), expected.size());
        for (int t = screen - 1; t < 10; t += 4) {
            qsizetype last = -1;
            for (const QString &text : sent[t]) {
                const qsizetype at = arrived.indexOf(text + QLatin1Char('|'));
                QVERIFY2(at > last, qPrintable(text));
                last = at;
            }
        }
        // Each call stayed at least its minimum display time before the next.
        const QList<Arrival> &times = hall.arrivals[screen];
        for (qsizetype i = 1; i < times.size(); ++i)
            QVERIFY2(times.at(i).ms - times.at(i - 1).ms >= MinDisplayMs,
                     qPrintable(QStringLiteral("screen %1: %2 ms")
                                    .arg(screen)
                                    .arg(times.at(i).ms - times.at(i - 1).ms)));
    }
    // Two exchanges at once on a line would have garbled frames.
    for (const VirtualLine &line : hall.lines)
        QCOMPARE(line.parser().strayBytes(), 0);
}

void ServeEndToEnd::everyAcceptedCallIsShownAfterTheServiceWasKilled() {
    Hall hall;
    QVERIFY(hall.start());
    QStringList ids;
    for (int k = 0; k < 4; ++k)
        ids << hall.post(1, QStringLiteral("upper"), QStringLiteral("请B%1号").arg(k), 1000);
    QVERIFY(!ids.contains(QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!hall.texts(1).isEmpty(), 10000);
    hall.service.kill();
    QVERIFY(hall.service.waitForFinished(5000));
    QVERIFY(hall.start());
    QVERIFY(hall.allShown(ids, 30000));
    const QStringList arrived = hall.texts(1);
    for (int k = 0; k < 4; ++k)
        QVERIFY(arrived.contains(QStringLiteral("请B%1号|").arg(k)));
    QCOMPARE(arrived.last(), QStringLiteral("请B3号|"));
}

void ServeEndToEnd::ledctlThroughTheServiceAndPlainLedctlBesideItAllSucceed() {
    Hall hall;
    QTemporaryDir wavs;
    QVERIFY(hall.start({QStringLiteral("--voice"), QStringLiteral("--voice-wav"), wavs.path()}));
    QProcess viaService, plain2, plain3;
    viaService.start(binary("ledctl"),
                     {QStringLiteral("--dir"), hall.dir.path(), QStringLiteral("--service"),
                      hall.url(), QStringLiteral("--screen"), QStringLiteral("1"),
                      QStringLiteral("call"), QStringLiteral("upper"), QStringLiteral("请C1号")});
    plain2.start(binary("ledctl"),
                 {QStringLiteral("--dir"), hall.dir.path(), QStringLiteral("--screen"),
                  QStringLiteral("2"), QStringLiteral("call"), QStringLiteral("upper"),
                  QStringLiteral("请C2号")});
    plain3.start(binary("ledctl"),
                 {QStringLiteral("--dir"), hall.dir.path(), QStringLiteral("--screen"),
                  QStringLiteral("3"), QStringLiteral("call"), QStringLiteral("lower"),
                  QStringLiteral("请C3号")});
    for (QProcess *p : {&viaService, &plain2, &plain3}) {
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 30000);
        QCOMPARE(p->exitCode(), 0);
    }
    QVERIFY(!viaService.readAllStandardOutput().trimmed().isEmpty()); // the call's id
    QCOMPARE(hall.texts(1).last(), QStringLiteral("请C1号|"));
    QCOMPARE(hall.texts(2).last(), QStringLiteral("请C2号|"));
    QCOMPARE(hall.texts(3).last(), QStringLiteral("|请C3号"));
    // A screen action is answered when the screen acknowledged it.
    QVERIFY(hall.lines[0].board(2)->state().clock.isEmpty());
    QCOMPARE(hall.requestWhileBoardsAnswer("POST", "/v1/screens/2/clock").status, 200);
    QVERIFY(!hall.lines[0].board(2)->state().clock.isEmpty());
    // The call through the service was announced once.
    QTRY_COMPARE_WITH_TIMEOUT(QDir(wavs.path()).entryList(QDir::Files).size(), 1, 20000);
    // SIGTERM ends the service cleanly.
    hall.stop();
    QCOMPARE(hall.service.exitStatus(), QProcess::NormalExit);
    QCOMPARE(hall.service.exitCode(), 0);
}

QTEST_MAIN(ServeEndToEnd)
#include "tst_serve_e2e.moc"
