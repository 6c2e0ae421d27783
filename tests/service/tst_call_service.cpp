// The call service against virtual screens on ptys: the order and the
// minimum display time of a screen's calls while the line serves the other
// screens in between, the journal across a restart, a screen that never
// answers, and the refusals of the window's checks.
#include "config/CIniFile.h"
#include "config/RegistryFile.h"
#include "protocol/led.h"
#include "service/CallJournal.h"
#include "service/CallService.h"
#include "sim/BoardScene.h"
#include "sim/ScreenRenderer.h"
#include "sim/VirtualLine.h"
#include "support/TempProgramDir.h"

#include <QElapsedTimer>
#include <QtTest>
#include <map>
#include <memory>

using namespace service;

namespace {

struct ScreenDef {
    int port;
    int address;
    QString minDisplayMs; // the section's MinDisplayMs, empty without
};

// A hall: virtual lines linked as ports/COMn, ledfile.ini naming screens on
// them, and what each board was shown, with times.
struct Hall {
    struct Shown {
        qint64 ms;
        int port;
        int address;
        QString text;
    };
    TempProgramDir dir;
    std::map<int, std::unique_ptr<VirtualLine>> lines;
    QMap<int, QList<Frame>> frames; // per port
    QList<Shown> shown;
    QElapsedTimer clock;
    QMap<const VirtualBoard *, qint64> seen;

    Hall() { clock.start(); }

    VirtualLine &addLine(int port, const QList<quint16> &addresses) {
        auto line = std::make_unique<VirtualLine>();
        for (quint16 a : addresses)
            line->addBoard(a);
        QString error;
        if (!line->plugIn(VirtualLine::portLink(dir.path(), port), &error))
            qFatal("%s", qPrintable(error));
        QObject::connect(line.get(), &VirtualLine::frameReceived,
                         [this, port](const Frame &f) { frames[port].append(f); });
        QObject::connect(line.get(), &VirtualLine::exchanged, [this, port](VirtualBoard *b) {
            // A display block after the upper line's picture: the call is on the screen.
            if (!b || b->state().calls[0].shownMs == seen.value(b, 0)) return;
            seen[b] = b->state().calls[0].shownMs;
            shown.append({clock.elapsed(), port, b->address(), b->state().pictures[1].text});
        });
        lines[port] = std::move(line);
        return *lines[port];
    }

    void writeScreens(const QList<ScreenDef> &screens) {
        QList<CIniFile::Write> writes{{RegistryFile::globalSection(), QStringLiteral("SUM"),
                                       QString::number(screens.size())}};
        for (int i = 0; i < screens.size(); ++i) {
            const QString section = RegistryFile::sectionName(i + 1);
            const ScreenDef &s = screens.at(i);
            writes += {{section, QStringLiteral("Pname"), QStringLiteral("窗口%1").arg(i + 1)},
                       {section, QStringLiteral("Pcode"), QString::number(s.port)},
                       {section, QStringLiteral("Pbtl"), QStringLiteral("9600")},
                       {section, QStringLiteral("Padr"), QString::number(s.address)},
                       {section, QStringLiteral("Pchang"), QStringLiteral("128")},
                       {section, QStringLiteral("Pgao"), QStringLiteral("32")}};
            if (!s.minDisplayMs.isEmpty())
                writes.append({section, QStringLiteral("MinDisplayMs"), s.minDisplayMs});
        }
        CIniFile ini;
        ini.SpecifyIni(dir.file(RegistryFile::fileName()));
        QVERIFY(ini.WriteStrings(writes));
    }

    QList<Shown> shownOn(int port, int address) const {
        QList<Shown> on;
        for (const Shown &s : shown)
            if (s.port == port && s.address == address) on.append(s);
        return on;
    }
};

CallRequest upper(const QString &text) {
    CallRequest r;
    r.text = text;
    return r;
}

// Each call is two transfers (the picture, then its display block) of a
// link check, a header and one packet, all to one address, without another
// exchange in between.
void expectWholeCalls(const QList<Frame> &frames, int calls) {
    QCOMPARE(frames.size(), calls * 6);
    for (int i = 0; i < frames.size(); i += 6) {
        const quint16 address = frames.at(i).address;
        for (int k = 0; k < 6; ++k) {
            const Frame &f = frames.at(i + k);
            const Frame::Kind expected = k % 3 == 0   ? Frame::Kind::Link
                                         : k % 3 == 1 ? Frame::Kind::Header
                                                      : Frame::Kind::Packet;
            QCOMPARE(f.kind, expected);
            if (f.kind != Frame::Kind::Packet) QCOMPARE(f.address, address);
        }
    }
}

} // namespace

class TestCallService : public QObject {
    Q_OBJECT
  private slots:
    void init() { led::setTimeScale(0.2); }
    void cleanup() { led::setTimeScale(1.0); }

    void callsKeepTheirOrderAndMinimumDisplayTimeWhileTheLineServesOthers() {
        Hall hall;
        hall.addLine(101, {1, 2});
        hall.addLine(102, {1, 2});
        hall.writeScreens({{101, 1, {}}, {101, 2, {}}, {102, 1, {}}, {102, 2, {}}});
        ServiceOptions options{hall.dir.path(), 150, 600, {}};
        CallService service(options);
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QMap<QString, int> shownTimes;
        QList<Call> shownOrder;
        connect(&service, &CallDesk::callChanged, this, [&](const Call &c) {
            if (c.state != CallState::Shown) return;
            ++shownTimes[c.id];
            shownOrder.append(c);
        });

        QMap<int, QStringList> accepted; // per screen
        for (int i = 0; i < 10; ++i) {
            for (int screen = 1; screen <= 4; ++screen) {
                const QString text = QStringLiteral("%1号窗口%2").arg(screen).arg(i);
                const Accepted a = service.accept(screen, upper(text));
                QVERIFY2(a.status == Accepted::Status::Queued, qPrintable(a.error));
                QCOMPARE(a.call.state, CallState::Queued);
                accepted[screen].append(text);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(shownOrder.size(), 40, 30000);
        for (int n : shownTimes)
            QCOMPARE(n, 1);
        QCOMPARE(shownTimes.size(), 40);

        const QList<std::pair<int, int>> boards{{101, 1}, {101, 2}, {102, 1}, {102, 2}};
        for (int screen = 1; screen <= 4; ++screen) {
            const auto [port, address] = boards.at(screen - 1);
            const QList<Hall::Shown> shown = hall.shownOn(port, address);
            QStringList texts;
            for (const Hall::Shown &s : shown)
                texts.append(s.text);
            QCOMPARE(texts, accepted[screen]); // none lost, none doubled, in order
            for (int i = 1; i < shown.size(); ++i)
                QVERIFY2(shown.at(i).ms - shown.at(i - 1).ms >= 150,
                         qPrintable(QStringLiteral("screen %1 call %2 after %3 ms")
                                        .arg(screen)
                                        .arg(i)
                                        .arg(shown.at(i).ms - shown.at(i - 1).ms)));
        }
        for (int port : {101, 102}) {
            expectWholeCalls(hall.frames[port], 20);
            // The other screen's call went in while a screen waited.
            QList<int> order;
            for (const Hall::Shown &s : std::as_const(hall.shown))
                if (s.port == port) order.append(s.address);
            for (int i = 1; i < order.size(); ++i)
                QVERIFY2(order.at(i) != order.at(i - 1), qPrintable(QString::number(i)));
        }
        QCOMPARE(service.screen(3)->showingUpper, QStringLiteral("3号窗口9"));
        QCOMPARE(service.screen(3)->lastCalls.size(), 10);
        QCOMPARE(service.screen(3)->lastCalls.first().text, QStringLiteral("3号窗口9"));
    }

    void queuedCallsSurviveARestartAndOldOnesExpire() {
        Hall hall;
        hall.addLine(101, {1});
        // The first run's screen holds every call after the first one.
        hall.writeScreens({{101, 1, QStringLiteral("600000")}});
        QDateTime now = QDateTime::currentDateTimeUtc();
        ServiceOptions options{hall.dir.path(), 0, 600, [&now] { return now; }};
        QString first, old, waiting;
        {
            CallService service(options);
            QString error;
            QVERIFY2(service.start(&error), qPrintable(error));
            QSignalSpy changed(&service, &CallDesk::callChanged);
            first = service.accept(1, upper(QStringLiteral("甲"))).call.id;
            QTRY_VERIFY(service.call(first)->state == CallState::Shown);
            now = now.addSecs(-700);
            old = service.accept(1, upper(QStringLiteral("乙"))).call.id;
            now = now.addSecs(700);
            waiting = service.accept(1, upper(QStringLiteral("丙"))).call.id;
            QCOMPARE(service.screen(1)->queued, 2);
        }
        QCOMPARE(hall.shown.size(), 1);
        hall.writeScreens({{101, 1, QStringLiteral("0")}});
        CallService service(options);
        QSignalSpy changed(&service, &CallDesk::callChanged);
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QCOMPARE(service.call(old)->state, CallState::Expired);
        QCOMPARE(service.screen(1)->showingUpper, QStringLiteral("甲"));
        QTRY_VERIFY(service.call(waiting)->state == CallState::Shown);
        QCOMPARE(hall.shown.size(), 2);
        QCOMPARE(hall.shown.last().text, QStringLiteral("丙"));
        QCOMPARE(service.call(first)->state, CallState::Shown);
    }

    void aSilentScreenFailsAfterThreeTriesWhileTheLineGoesOn() {
        Hall hall;
        hall.addLine(101, {2}); // nobody at address 3
        hall.writeScreens({{101, 3, {}}, {101, 2, {}}});
        CallService service({hall.dir.path(), 0, 600, {}});
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QList<Call> finals;
        connect(&service, &CallDesk::callChanged, this, [&](const Call &c) {
            if (isFinal(c.state)) finals.append(c);
        });
        const Call silent = service.accept(1, upper(QStringLiteral("一号"))).call;
        const Call other = service.accept(2, upper(QStringLiteral("二号"))).call;
        QTRY_COMPARE_WITH_TIMEOUT(finals.size(), 2, 20000);
        // The other screen was served during the pause between the tries.
        QCOMPARE(finals.at(0).id, other.id);
        QCOMPARE(finals.at(0).state, CallState::Shown);
        QCOMPARE(finals.at(1).id, silent.id);
        QCOMPARE(finals.at(1).state, CallState::Failed);
        QCOMPARE(finals.at(1).error, QStringLiteral("汉字发送失败"));
        QCOMPARE(service.call(silent.id)->attempts, 3);
        int links = 0;
        for (const Frame &f : std::as_const(hall.frames[101]))
            links += f.kind == Frame::Kind::Link && f.address == 3;
        QCOMPARE(links, 3);
        const QList<LineHealth> health = service.health();
        QCOMPARE(health.size(), 1);
        QVERIFY(!health.first().ok);
        QCOMPARE(health.first().lastError, QStringLiteral("汉字发送失败"));
    }

    void refusedCallsAreNeitherKeptNorSentAndAKnownIdQueuesNothing() {
        Hall hall;
        hall.addLine(101, {1});
        hall.writeScreens({{101, 1, {}}});
        CallService service({hall.dir.path(), 0, 600, {}});
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QSignalSpy changed(&service, &CallDesk::callChanged);

        CallRequest empty = upper(QString());
        empty.id = QStringLiteral("empty");
        Accepted a = service.accept(1, empty);
        QCOMPARE(a.status, Accepted::Status::Refused);
        QCOMPARE(a.error, QStringLiteral("请输入汉字"));
        QVERIFY(!service.call(QStringLiteral("empty")));
        a = service.accept(1, upper(QString(129, QChar(0x6C49))));
        QCOMPARE(a.status, Accepted::Status::Refused);
        QCOMPARE(a.error, QStringLiteral("信息太长：258个字节，最多256个字节"));
        a = service.accept(1, upper(QStringLiteral("☃号")));
        QCOMPARE(a.status, Accepted::Status::Refused);
        QCOMPARE(a.error, QStringLiteral("以下字符无法显示，将以“?”发送：☃"));
        QCOMPARE(service.accept(7, upper(QStringLiteral("七号"))).status,
                 Accepted::Status::NoSuchScreen);
        QCOMPARE(changed.size(), 0);

        CallRequest known = upper(QStringLiteral("八号"));
        known.id = QStringLiteral("caller-1");
        QCOMPARE(service.accept(1, known).status, Accepted::Status::Queued);
        known.text = QStringLiteral("九号");
        a = service.accept(1, known);
        QCOMPARE(a.status, Accepted::Status::Known);
        QCOMPARE(a.call.text, QStringLiteral("八号"));
        CallRequest lossy = upper(QStringLiteral("☃号"));
        lossy.lossy = true;
        const QString lossyId = service.accept(1, lossy).call.id;
        QTRY_VERIFY(service.call(lossyId)->state == CallState::Shown);
        QCOMPARE(service.accept(1, known).status, Accepted::Status::Known);
        expectWholeCalls(hall.frames[101], 2);
        QCOMPARE(hall.shown.size(), 2);
        QCOMPARE(hall.shown.at(0).text, QStringLiteral("八号"));
        QCOMPARE(hall.shown.at(1).text, QStringLiteral("?号"));
    }

    void thePictureIsDrawnFromTheBytesTheScreenWasSent() {
        Hall hall;
        VirtualLine &line = hall.addLine(101, {1});
        hall.writeScreens({{101, 1, {}}});
        CallService service({hall.dir.path(), 0, 600, {}});
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QSignalSpy pictures(&service, &CallDesk::pictureChanged);
        const QImage blank = QImage::fromData(service.picturePng(1), "PNG");
        const QString id = service.accept(1, upper(QStringLiteral("请A001号到1号窗口"))).call.id;
        QTRY_VERIFY(service.call(id)->state == CallState::Shown);
        QTRY_VERIFY(!pictures.isEmpty());
        QCOMPARE(pictures.last().at(0).toInt(), 1);
        const VirtualBoard &board = *line.board(1);
        const QImage shown = render(sceneOf(board.state(), board.nowMs()));
        const QImage mirrored = QImage::fromData(service.picturePng(1), "PNG");
        QCOMPARE(mirrored.size(), QSize(128, 32));
        QVERIFY(mirrored.convertToFormat(QImage::Format_RGB32) !=
                blank.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(mirrored.convertToFormat(QImage::Format_RGB32), shown);
        QVERIFY(service.picturePng(2).isEmpty());
    }

    void screenActionsGoAheadOfWaitingCallsButAfterTheRunningExchange() {
        Hall hall;
        VirtualLine &line = hall.addLine(101, {1, 2});
        hall.writeScreens({{101, 1, {}}, {101, 2, {}}, {101, 4, {}}});
        CallService service({hall.dir.path(), 0, 600, {}});
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        // The first call is on its way when the second one and the actions arrive.
        const QString running = service.accept(1, upper(QStringLiteral("一号"))).call.id;
        const QString waiting = service.accept(2, upper(QStringLiteral("二号"))).call.id;
        QList<ActionResult> results;
        QList<CallState> seen; // the two calls' states when an action was done
        const auto record = [&](const ActionResult &r) {
            results.append(r);
            seen += {service.call(running)->state, service.call(waiting)->state};
        };
        ScreenAction brightness;
        brightness.kind = ScreenAction::Kind::Brightness;
        brightness.value = 200;
        service.act(9, brightness, record);
        service.act(2, brightness, record);
        service.act(3, brightness, record);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, 10000);
        QCOMPARE(results.at(0).status, ActionResult::Status::NoSuchScreen);
        QCOMPARE(results.at(1).status, ActionResult::Status::Done);
        QCOMPARE(seen.mid(2, 2), (QList<CallState>{CallState::Shown, CallState::Queued}));
        QCOMPARE(line.board(2)->state().brightness, 200);
        QCOMPARE(results.at(2).status, ActionResult::Status::NotAcknowledged);
        QVERIFY(!results.at(2).message.isEmpty());
        QTRY_VERIFY(service.call(waiting)->state == CallState::Shown);
    }

    void theJournalKeepsTheLastThousandCallsOfAScreenAndEveryUnfinishedOne() {
        TempProgramDir dir;
        CallJournal journal;
        QString error;
        QVERIFY2(journal.open(dir.path(), &error), qPrintable(error));
        Call c;
        c.accepted = QDateTime::currentDateTimeUtc();
        c.text = QStringLiteral("号");
        for (qint64 n = 1; n <= 1004; ++n) {
            c.sequence = n;
            c.id = QString::number(n);
            c.screen = n == 4 ? 2 : 1;
            c.state = n == 2 ? CallState::Queued : CallState::Shown;
            QVERIFY(journal.insert(c));
        }
        journal.prune(1);
        QVERIFY(!journal.find(QStringLiteral("1")));
        QVERIFY(journal.find(QStringLiteral("2"))); // still to be sent
        QVERIFY(!journal.find(QStringLiteral("3")));
        QVERIFY(journal.find(QStringLiteral("4"))); // another screen's
        QVERIFY(journal.find(QStringLiteral("5")));
        QCOMPARE(journal.lastFinished(1, 2000).size(), 1000);

        // A journal that cannot be opened stops the service from starting.
        TempProgramDir other;
        QVERIFY(QDir(other.path()).mkdir(CallJournal::fileName()));
        CallService service({other.path(), 0, 600, {}});
        QVERIFY(!service.start(&error));
        QVERIFY2(error.contains(QStringLiteral("ledservice.db")), qPrintable(error));
    }

    void screensAreReadAgainWhenLedfileIniIsReplaced() {
        Hall hall;
        hall.addLine(101, {1, 2});
        hall.writeScreens({{101, 1, {}}});
        CallService service({hall.dir.path(), 0, 600, {}});
        QString error;
        QVERIFY2(service.start(&error), qPrintable(error));
        QCOMPARE(service.screens().size(), 1);
        hall.writeScreens({{101, 1, {}}, {101, 2, {}}});
        QTRY_COMPARE(service.screens().size(), 2);
        hall.writeScreens({{101, 1, {}}, {101, 2, {}}, {101, 3, {}}});
        QTRY_COMPARE(service.screens().size(), 3);
        const QString id = service.accept(2, upper(QStringLiteral("二号"))).call.id;
        QTRY_VERIFY(service.call(id)->state == CallState::Shown);
        QCOMPARE(hall.shown.last().address, 2);
    }
};

QTEST_MAIN(TestCallService)
#include "tst_call_service.moc"
