// Covers every named failure mode of the virtual screen as the `led` object
// meets it through the real serial port: the transfer fails, the port is left
// closed, nothing is shown to the operator, and once the fault is cleared the
// next transfer goes through. Unplugging is reported once as "通讯失败".
#include "ScreenRig.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace {
constexpr double Scale = 0.2; // limits of 200, 200 and 400 ms
const QByteArray threeRows = QByteArray::fromHex("0102030405060708090A0B0C");

void expectNextTransferWorks(ScreenRig &rig) {
    // Let anything the fault held back go out first, as a host would wait for a quiet line.
    QTRY_VERIFY(!rig.line.outputPending());
    rig.line.clearFaults();
    rig.line.clearRecord();
    QVERIFY(rig.send(2, 3, 4, threeRows));
    QCOMPARE(rig.board().messageList, QByteArray::fromHex("01020304"));
    QCOMPARE(rig.board().lastRows.value(2).size(), 3);
    QVERIFY(!rig.portOpen());
}
} // namespace

class FailureModesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { led::setTimeScale(Scale); }
    void cleanup() { led::setTimeScale(1.0); }

    void eachFaultFailsTheTransferAndTheNextOneWorks_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("packetsHeard"); // data packets the screen got before the failure
        QTest::newRow("silent-link") << "silent-link" << 0;
        QTest::newRow("wrong-link") << "wrong-link" << 0;
        QTest::newRow("silent-echo") << "silent-echo" << 0;
        QTest::newRow("wrong-echo") << "wrong-echo" << 0;
        QTest::newRow("silent-ack:2") << "silent-ack:2" << 2;
        QTest::newRow("wrong-ack:2") << "wrong-ack:2" << 2;
        QTest::newRow("late beyond every limit") << "late:1000" << 0;
        QTest::newRow("merged") << "merged" << 0;
        QTest::newRow("garbage") << "garbage" << 0;
    }
    void eachFaultFailsTheTransferAndTheNextOneWorks() {
        QFETCH(QString, fault);
        QFETCH(int, packetsHeard);
        ScreenRig rig;
        QVERIFY2(rig.plugged(), qPrintable(rig.error));
        rig.setFault(fault);
        QVERIFY(!rig.send(2, 3, 4, threeRows));
        QVERIFY(!rig.portOpen());
        QVERIFY(rig.ui.shown.isEmpty());
        int packets = 0;
        for (const Frame &f : rig.line.frames())
            packets += f.kind == Frame::Kind::Packet;
        QCOMPARE(packets, packetsHeard);
        QVERIFY(rig.board().messageList.isEmpty());
        expectNextTransferWorks(rig);
    }

    void aWrongAcknowledgementStopsAtOnceButSilenceRunsIntoTheLimit() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("wrong-ack:1"));
        QElapsedTimer t;
        t.start();
        QVERIFY(!rig.send(2, 3, 4, threeRows));
        QVERIFY2(t.elapsed() < qint64(2000 * Scale), qPrintable(QString::number(t.elapsed())));
        rig.setFault(QStringLiteral("silent-ack:1"));
        t.restart();
        QVERIFY(!rig.send(2, 3, 4, threeRows));
        QVERIFY2(t.elapsed() >= qint64(2000 * Scale) - 1, qPrintable(QString::number(t.elapsed())));
    }

    void escapedFrameWithoutItsAnswerFails() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("silent-param"));
        QuorinFields f{QStringLiteral("1"), 0, 8, QStringLiteral("64"), QStringLiteral("100")};
        QVERIFY(!rig.device.CSetQuorin(f));
        QVERIFY(!rig.portOpen());
        rig.line.clearFaults();
        QVERIFY(rig.device.CSetQuorin(f));
        QCOMPARE(rig.board().escaped.dataPolarity(), 8);
        QCOMPARE(rig.board().escaped.brightness, quint8(100));
    }

    void unplugDuringATransferIsReportedOnceAndClosesThePort() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("unplug-after:2")); // link and header answered, then gone
        QVERIFY(!rig.send(2, 3, 4, threeRows));
        QVERIFY(!rig.portOpen());
        QCOMPARE(rig.ui.messages(), QStringList{QStringLiteral("通讯失败")});
        QCOMPARE(rig.ui.shown.at(0).caption, QStringLiteral("串口"));
        QVERIFY(!rig.line.isPlugged());
        QVERIFY(!QFileInfo(rig.link).isSymLink());
        // Without its link the port number names no port, as the next action hears.
        rig.ui.shown.clear();
        QVERIFY(!rig.device.Link_Build(1));
        QVERIFY(rig.ui.shown.isEmpty()); // the action's failure was told
        rig.device.serieinit(ScreenRig::Port, QStringLiteral("9600"));
        QVERIFY(!rig.device.Link_Build(1));
        QCOMPARE(rig.ui.messages(), QStringList{QStringLiteral("无效端口号")});
        // Plugged in again, the screen answers as before.
        rig.line.clearFaults();
        QVERIFY(rig.line.plugIn(rig.link, &rig.error));
        rig.ui.shown.clear();
        QVERIFY(rig.send(2, 3, 4, threeRows));
        QVERIFY(rig.ui.shown.isEmpty());
    }

    void unplugAtTheFirstFrameFailsTheLinkCheckWithOneMessage() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("unplug"));
        QVERIFY(!rig.device.CSetLight(1));
        QVERIFY(!rig.portOpen());
        QCOMPARE(rig.ui.messages(), QStringList{QStringLiteral("通讯失败")});
        QCOMPARE(rig.line.frames().size(), 1);
    }
};

QTEST_GUILESS_MAIN(FailureModesTest)
#include "tst_failure_modes.moc"
