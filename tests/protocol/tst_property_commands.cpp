// Covers the display property commands on a scripted port: the parameter
// block each command writes (and the bytes it leaves), the overflow errors
// raised before anything is written, and the property read: the bare
// request, the exact-count rule for its 38-byte answer, the property string,
// and the port closed afterwards.
#include "protocol/led.h"
#include "support/DeviceRig.h"
#include "support/ErrorNumber.h"

#include <QtTest>

namespace {
using Rig = DeviceRig;

// The data packet of the last transfer (the write before the checksum).
QByteArray lastPacket(const Rig &r) {
    return r.port->writes.value(r.port->writes.size() - 2);
}

// A board answering the property request with `answers`, each after the last.
void answerProperties(Rig &r, const QList<QByteArray> &answers) {
    r.port->onWrite = [answers](FakePort &p, const QByteArray &w) {
        if (w == hex("04000001000000")) {
            int delay = 0;
            for (const QByteArray &a : answers)
                p.deliver(a, delay += 50);
        } else {
            answerLikeBoard(p, w);
        }
    };
}

// A 38-byte answer: 00 00 00, the board address, parameter bytes 1..14 from
// byte 8, "LEDSIM0001" and version 2.15.
QByteArray answer38() {
    return hex("000000 0001 0000 AA") + hex("55A55A 02 47 03 20 01 09 01 00 50 00 4C") +
           hex("000000") + QByteArray("LEDSIM0001") + hex("020F 00");
}
} // namespace

class PropertyCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theBlockCarriesTheMembers_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("packet");
        // PBoard 2, PScan 7 + PColorSign 64 = 71, PQSign 3, PColRule 32, PCol_F 1,
        // POE 4 + PDataSign 8 + PClock_Show 64: byte 12 = 80, byte 14 = 76.
        QTest::newRow("80 x 16")
            << 80 << 16 << hex("00010012 AA55A55A 02 47 03 20 01 09 01 00 50 00 4C 000000");
        QTest::newRow("2048 x 64")
            << 2048 << 64 << hex("00010012 AA55A55A 02 47 03 20 01 FF 07 00 50 00 4C 000000");
    }

    void theBlockCarriesTheMembers() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, packet);
        Rig r;
        r.device.PBoard = 2;
        r.device.PScan = 7;
        r.device.PColorSign = 64;
        r.device.PQSign = 3;
        r.device.PColRule = 32;
        r.device.PCol_F = 1;
        r.device.PWidth = qint16(width);
        r.device.PHeight = qint16(height);
        r.device.POE = 4;
        r.device.PDataSign = 8;
        r.device.PClock_Show = 64;
        QVERIFY(r.device.Cxgshuxing());
        QCOMPARE(r.port->writes.at(1), hex("04000001000001"));
        QCOMPARE(lastPacket(r), packet);
    }

    void eachCommandLeavesTheBytesItDoesNotOwn() {
        Rig r;
        // A list of 14 bytes fills bytes 11 and 13 of row 0 first.
        QVERIFY(r.device.Csendlist(hex("0102030405060708090A0B0C0D0E"), 14));
        QVERIFY(r.device.Cseting(19, 9));
        QCOMPARE(lastPacket(r), hex("00010012 0102030405060708090A0B0C0D0E 00 00 09 13"));
        QVERIFY(r.device.Cxgshuxing());
        QCOMPARE(lastPacket(r), hex("00010012 AA55A55A 01 00 10 00 00 07 07 0C 10 0E 00 00 09 13"));
    }

    void valuesOutsideAByteRaiseBeforeAnythingIsWritten_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("address");
        QTest::newRow("width 4") << 4 << 1;
        QTest::newRow("width 2056") << 2056 << 1;
        QTest::newRow("new address 300") << 80 << 300;
    }

    void valuesOutsideAByteRaiseBeforeAnythingIsWritten() {
        QFETCH(int, width);
        QFETCH(int, address);
        Rig r;
        r.device.PWidth = qint16(width);
        const int error = errorNumberOf([&] {
            if (address == 1)
                r.device.Cxgshuxing();
            else
                r.device.Cseting(239, qint16(address));
        });
        QCOMPARE(error, 6);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.device.table().row(0, 18), QByteArray(18, '\0'));
    }

    void thePropertyReadGivesTheStringAndClosesThePort() {
        Rig r;
        answerProperties(r, {answer38()});
        QCOMPARE(r.device.Chqshuxing(), QStringLiteral("38,85,165,90,2,71,3,32,1,9,1,0,80,0,76,"
                                                       "76,69,68,83,73,77,48,48,48,49,2,15"));
        QCOMPARE(r.port->writes, (QList<QByteArray>{hex("AA550001"), hex("04000001000000")}));
        QVERIFY(!r.port->isOpen());
    }

    void onlyExactlyThirtyEightBytesStartingWithZerosAreAnAnswer_data() {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("37 bytes") << QList<QByteArray>{answer38().left(37)} << false;
        QTest::newRow("39 bytes") << QList<QByteArray>{answer38() + hex("00")} << false;
        QTest::newRow("bad start, then a good one")
            << QList<QByteArray>{hex("01") + answer38().mid(1), answer38()} << true;
        QTest::newRow("bad start only")
            << QList<QByteArray>{hex("01") + answer38().mid(1)} << false;
    }

    void onlyExactlyThirtyEightBytesStartingWithZerosAreAnAnswer() {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, accepted);
        Rig r;
        answerProperties(r, answers);
        QCOMPARE(!r.device.Chqshuxing().isEmpty(), accepted);
        QVERIFY(!r.port->isOpen());
    }

    void aSilentLinkGivesAnEmptyString() {
        Rig r;
        r.port->onWrite = nullptr;
        QCOMPARE(r.device.Chqshuxing(), QString());
        QCOMPARE(r.port->writes, QList<QByteArray>{hex("AA550001")});
    }
};

QTEST_GUILESS_MAIN(PropertyCommandsTest)
#include "tst_property_commands.moc"
