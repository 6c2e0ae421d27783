// Covers the packet frame: link check, command header, data packets and the
// rules by which each answer is judged, against a scripted port.
#include "protocol/TransferProgress.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "support/DeviceRig.h"
#include "support/RecordingOperator.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {
struct Rig {
    led device;
    FakePort *port;
    RecordingOperator ui;
    Rig() {
        auto p = std::make_unique<FakePort>();
        port = p.get();
        device.setPort(std::move(p));
        device.setOperator(&ui);
        device.serieinit(1, QStringLiteral("9600"));
    }
};

struct ProgressLog : TransferProgress {
    QList<int> events; // -1000-max for begin, value for step, -1 for end
    void begin(int maximum) override { events.append(-1000 - maximum); }
    void step(int value) override { events.append(value); }
    void end(bool) override { events.append(-1); }
};
} // namespace

class TransferTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void freshObjectHasItsInitialValues() {
        led d;
        QCOMPARE(d.PWidth, qint16(64));
        QCOMPARE(d.PHeight, qint16(64));
        QCOMPARE(d.PBoard, qint16(1));
        QCOMPARE(d.PQSign, qint16(16));
        QCOMPARE(d.PAdress, qint16(0));
        QCOMPARE(d.table().row(0, 1024), QByteArray(1024, '\0'));
        QCOMPARE(d.table().row(60000, 1024), QByteArray(1024, '\0'));
        QCOMPARE(d.table().allocatedRows(), 0);
    }

    void serieinitClosesAnOpenPortAndKeepsItClosed() {
        Rig r;
        QVERIFY(r.port->open());
        r.device.serieinit(3, QStringLiteral("19200"));
        QVERIFY(!r.port->isOpen());
        QCOMPARE(r.port->portNumber(), 3);
        QCOMPARE(r.port->lineSettings(), QStringLiteral("19200,n,8,1"));
    }

    void jiaoXorsFromTheStartValue() {
        QCOMPARE(led::Jiao(hex("00010001C8"), 0), qint16(0xC8));
        QCOMPARE(led::Jiao(QByteArray(), 0x12), qint16(0x12));
        QCOMPARE(led::Jiao(hex("FF0F"), 0), qint16(0xF0));
        // Longer than a word: every byte lane and the tail count; the high byte stays.
        QCOMPARE(led::Jiao(hex("0102030405060708090A0B0C0D0E0F1011"), 0x100), qint16(0x101));
    }

    void brightnessExampleGoesOutAsTheFrameSays() {
        Rig r;
        r.port->onWrite = answerLikeBoard;
        r.device.PAdress = 1;
        r.device.table().set(0, 0, 200);
        qint32 counter = 1;
        QVERIFY(r.device.senddata(7, counter, 1));
        QCOMPARE(r.port->writes, (QList<QByteArray>{hex("AA550001"), hex("04000001070001"),
                                                    hex("00010001C8"), hex("C8")}));
        QVERIFY(!r.port->isOpen());
    }

    void wrongEchoIsConsumedAndALaterRightOneSucceeds() {
        Rig r;
        r.device.PAdress = 1;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 7) {
                p.deliver(hex("070002"));
                p.deliver(hex("070001"), 10);
            } else {
                answerLikeBoard(p, w);
            }
        };
        qint32 counter = 1;
        QVERIFY(r.device.senddata(7, counter, 1));
    }

    void onlyWrongEchoesFailAfterTheLimit() {
        Rig r;
        r.device.PAdress = 1;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 7)
                p.deliver(hex("070002"));
            else
                answerLikeBoard(p, w);
        };
        qint32 counter = 1;
        QVERIFY(!r.device.senddata(7, counter, 1));
        QCOMPARE(r.port->writes.size(), 2); // no data packet after a failed header
        QVERIFY(!r.port->isOpen());
    }

    void twoBytesArrivingTogetherAreNeverJudged() {
        Rig r;
        r.device.PAdress = 1;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1)
                p.deliver(w + w); // the right byte, twice
            else
                answerLikeBoard(p, w);
        };
        QElapsedTimer t;
        t.start();
        qint32 counter = 1;
        QVERIFY(!r.device.senddata(7, counter, 1));
        // It ran into the 2000 ms packet limit (scaled) rather than failing at once.
        QVERIFY(t.elapsed() >= qint64(2000 * led::timeScale()) - 1);
    }

    void wrongAcknowledgementStopsAtOnceAndNoLaterPacketIsWritten() {
        Rig r;
        r.device.PAdress = 1;
        int packets = 0;
        r.port->onWrite = [&](FakePort &p, const QByteArray &w) {
            if (w.size() == 1 && ++packets == 2)
                p.deliver(QByteArray(1, char(w[0] ^ 1)));
            else
                answerLikeBoard(p, w);
        };
        qint32 counter = 5;
        QElapsedTimer t;
        t.start();
        QVERIFY(!r.device.senddata(2, counter, 3));
        QVERIFY(t.elapsed() < qint64(2000 * led::timeScale()));
        // link, header, then packets 1 and 2 with their checksums; nothing after.
        QCOMPARE(r.port->writes.size(), 2 + 2 * 2);
        QCOMPARE(r.port->writes.at(4).left(2), hex("0002"));
    }

    // 511 is the last board whose answers are awaited; from 512 on all is written blind.
    void answersAreAwaitedUpTo511_data() {
        QTest::addColumn<qint16>("address");
        QTest::addColumn<bool>("linkAnswered");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::newRow("511 silent")
            << qint16(511) << false << false << QList<QByteArray>{hex("AA5501FF")};
        QTest::newRow("511 no echo") << qint16(511) << true << false
                                     << QList<QByteArray>{hex("AA5501FF"), hex("040001FF070001")};
        QTest::newRow("512 silent") << qint16(512) << false << true
                                    << QList<QByteArray>{hex("AA550200"), hex("04000200070001"),
                                                         hex("0001000111"), hex("11")};
        QTest::newRow("600 silent") << qint16(600) << false << true
                                    << QList<QByteArray>{hex("AA550258"), hex("04000258070001"),
                                                         hex("0001000111"), hex("11")};
    }
    void answersAreAwaitedUpTo511() {
        QFETCH(qint16, address);
        QFETCH(bool, linkAnswered);
        Rig r;
        r.device.PAdress = address;
        if (linkAnswered)
            r.port->onWrite = [](FakePort &p, const QByteArray &w) {
                if (w.size() == 4) p.deliver(hex("A5"));
            };
        r.device.table().set(0, 0, 0x11);
        qint32 counter = 1;
        QTEST(r.device.senddata(7, counter, 1), "succeeds");
        QTEST(r.port->writes, "writes");
    }

    // An echo just inside the (scaled) header limit counts, one just outside does not.
    void headerEchoLimit_data() {
        QTest::addColumn<double>("delayShare");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("inside") << 0.75 << true;
        QTest::newRow("outside") << 1.3 << false;
    }
    void headerEchoLimit() {
        QFETCH(double, delayShare);
        Rig r;
        r.device.PAdress = 1;
        const int delay = int(led::EchoLimitMs * led::timeScale() * delayShare);
        r.port->onWrite = [delay](FakePort &p, const QByteArray &w) {
            if (w.size() == 7)
                p.deliver(w.mid(4, 3), delay);
            else
                answerLikeBoard(p, w);
        };
        qint32 counter = 1;
        QTEST(r.device.senddata(7, counter, 1), "succeeds");
    }

    void linkCheckToMinusOneWritesFFFF() {
        Rig r;
        r.port->onWrite = answerLikeBoard;
        QVERIFY(r.device.Link_Build(-1));
        QCOMPARE(r.port->writes.value(0), hex("AA55FFFF"));
        QVERIFY(!r.port->isOpen());
    }

    void linkCheckSkipsOtherBytesUntilA5() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &) {
            p.deliver(hex("00"));
            p.deliver(hex("A5"), 5);
        };
        QVERIFY(r.device.Link_Build(1));
    }

    void commandAbove16ReducesTheCounterAndWritesItBack() {
        Rig r;
        r.port->onWrite = answerLikeBoard;
        r.device.PAdress = 1;
        qint32 counter = 0x0301;
        QVERIFY(r.device.senddata(21, counter, 2));
        QCOMPARE(counter, 1);
        QCOMPARE(r.port->writes.at(1), hex("04000001150301"));
        QCOMPARE(r.port->writes.size(), 4); // link, header, one packet, its checksum
    }

    void zeroPacketsSucceedOnTheEchoAlone() {
        Rig r;
        r.port->onWrite = answerLikeBoard;
        r.device.PAdress = 1;
        qint32 counter = 0;
        QVERIFY(r.device.senddata(2, counter, 0));
        QCOMPARE(r.port->writes.size(), 2);
    }

    void limitsAreRaisedToTheCallerBeforeAnythingIsWritten() {
        Rig r;
        qint32 counter = 1;
        try {
            r.device.senddata(7, counter, 1025);
            QFAIL("a packet size of 1025 was accepted");
        } catch (const VbError &e) {
            QCOMPARE(e.number(), 9);
        }
        counter = 32769;
        try {
            r.device.senddata(5, counter, 528);
            QFAIL("32769 packets were accepted");
        } catch (const VbError &e) {
            QCOMPARE(e.number(), 6);
        }
        QVERIFY(r.port->writes.isEmpty());
    }

    void uploadCommandsDriveTheProgressHook() {
        Rig r;
        ProgressLog log;
        r.device.setProgress(&log);
        r.port->onWrite = answerLikeBoard;
        r.device.PAdress = 1;
        qint32 counter = 3;
        QVERIFY(r.device.senddata(5, counter, 8));
        QCOMPARE(log.events, (QList<int>{-1003, 0, 1, 2, -1}));
        log.events.clear();
        counter = 1;
        QVERIFY(r.device.senddata(7, counter, 1));
        QVERIFY(log.events.isEmpty());
    }

    void progressEndsAlsoWhenTheTransferFailsHalfWay() {
        Rig r;
        ProgressLog log;
        r.device.setProgress(&log);
        r.device.PAdress = 1;
        int packets = 0;
        r.port->onWrite = [&](FakePort &p, const QByteArray &w) {
            if (w.size() == 1 && ++packets == 2) return; // silence on packet 2
            answerLikeBoard(p, w);
        };
        qint32 counter = 4;
        QVERIFY(!r.device.senddata(14, counter, 8));
        QCOMPARE(log.events, (QList<int>{-1004, 0, 1, -1}));
    }

    void openFailuresShowTheSerialMessages() {
        Rig r;
        r.device.setPortWait(100);
        r.port->failOpenWith = PortFailure::NoSuchPort;
        QVERIFY(!r.device.Link_Build(1));
        QCOMPARE(r.port->opens, 1); // a missing port is not waited for
        QVERIFY(!r.device.Link_Build(1));
        QCOMPARE(r.ui.shown.size(), 1); // told once per action
        r.device.serieinit(1, QStringLiteral("9600"));
        r.port->failOpenWith = PortFailure::InUse;
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!r.device.Link_Build(1));
        QVERIFY(waited.elapsed() >= 100);
        QVERIFY(r.port->opens > 3); // tried again while waiting
        r.device.serieinit(1, QStringLiteral("9600"));
        r.port->failOpenWith = PortFailure::Other;
        QVERIFY(!r.device.Link_Build(1));
        QCOMPARE(r.ui.messages(),
                 (QStringList{QStringLiteral("无效端口号"), QStringLiteral("串口已经打开"),
                              QStringLiteral("通讯失败")}));
        for (const auto &s : r.ui.shown)
            QCOMPARE(s.caption, QStringLiteral("串口"));
    }

    void unplugDuringAWaitIsReportedOnceAndFails() {
        Rig r;
        r.device.PAdress = 1;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 7)
                p.unplug();
            else
                answerLikeBoard(p, w);
        };
        qint32 counter = 1;
        QVERIFY(!r.device.senddata(7, counter, 1));
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("通讯失败")});
        // The next transfer works again.
        r.port->onWrite = answerLikeBoard;
        counter = 1;
        QVERIFY(r.device.senddata(7, counter, 1));
    }

    void untouchedRowsGoOutAsZerosAndWrittenBytesStay() {
        Rig r;
        r.port->onWrite = answerLikeBoard;
        r.device.PAdress = 1;
        r.device.table().set(0, 2, 0x7E);
        qint32 counter = 2;
        QVERIFY(r.device.senddata(2, counter, 4));
        QCOMPARE(r.port->writes.at(2), hex("00010004 00007E00"));
        QCOMPARE(r.port->writes.at(4), hex("00020004 00000000"));
        QCOMPARE(r.device.table().allocatedRows(), 1);
    }
};

QTEST_GUILESS_MAIN(TransferTest)
#include "tst_transfer.moc"
