// Covers the control commands on a scripted port: brightness, screen on/off,
// start picture, clock (BCD, Monday 0), list upload and the escaped parameter
// frame with its address prefix, escaping, terminator and 0x1A answer; and
// that values which do not fit are raised before anything is written.
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "support/DeviceRig.h"
#include "support/ErrorNumber.h"

#include <QtTest>

namespace {
using Rig = DeviceRig;

// A board in escaped-frame mode: answers 0x1A to a frame ending in 0x1A.
void answerQuorin(FakePort &port, const QByteArray &w) {
    if (w.endsWith('\x1A')) port.deliver(hex("1A"));
}

QuorinFields exampleFields() {
    QuorinFields f;
    f.address = QStringLiteral("1");
    f.oePolarity = 4;   // 高有效
    f.dataPolarity = 0; // 负极性
    f.length = QStringLiteral("80");
    f.brightness = QStringLiteral("255");
    return f;
}

} // namespace

class ControlCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    // --- one-packet commands ---
    void brightness200ToBoardOneIsTheWorkedExample() {
        Rig r;
        QVERIFY(r.device.CSetLight(200));
        QCOMPARE(r.port->writes, (QList<QByteArray>{hex("AA550001"), hex("04000001070001"),
                                                    hex("00010001C8"), hex("C8")}));
    }

    void screenOnSendsTwelveBytesStartingWith40() {
        Rig r;
        QVERIFY(r.device.CAutokgSet(1));
        QCOMPARE(r.port->writes.at(1), hex("04000001040001"));
        QCOMPARE(r.port->writes.at(2), hex("0001000C400000000000000000000000"));
        QCOMPARE(r.port->writes.at(3), hex("4D"));
    }

    void screenOffAndTheOtherFittingValues() {
        Rig r;
        QVERIFY(r.device.CAutokgSet(0));
        QCOMPARE(quint8(r.port->writes.at(2).at(4)), quint8(0x00));
        QVERIFY(r.device.CAutokgSet(3));
        QCOMPARE(quint8(r.port->writes.at(6).at(4)), quint8(0xC0));
    }

    void screenOnOffValuesThatDoNotFitRaiseBeforeAnythingIsWritten() {
        Rig r;
        QCOMPARE(errorNumberOf([&] { r.device.CAutokgSet(4); }), 6);
        QCOMPARE(errorNumberOf([&] { r.device.CAutokgSet(-1); }), 6);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.port->opens, 0);
    }

    void startPictureLeavesTheRestOfTheRowAsItWas() {
        Rig r;
        r.device.table().setRow(0, 1, hex("AABBCCDDEEFF0011223344"));
        QVERIFY(r.device.Ckaitkh(5));
        QCOMPARE(r.port->writes.at(1), hex("04000001090001"));
        QCOMPARE(r.port->writes.at(2), hex("0001000C05AABBCCDDEEFF0011223344"));
    }

    void startPictureOutsideAByteRaisesBeforeAnythingIsWritten() {
        Rig r;
        QCOMPARE(errorNumberOf([&] { r.device.Ckaitkh(256); }), 6);
        QCOMPARE(errorNumberOf([&] { r.device.Ckaitkh(-1); }), 6);
        QVERIFY(r.port->writes.isEmpty());
    }

    // --- clock ---
    void clockAtSaturdayAfternoonIsBcdWithWeekdayFive() {
        Rig r;
        r.device.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(14, 5, 59)); };
        r.device.table().setRow(0, 0, hex("1122334455"));
        QVERIFY(r.device.CTimeAdjust(0));
        QCOMPARE(r.port->writes.at(1), hex("04000001080001"));
        QCOMPARE(r.port->writes.at(2), hex("0001000C112233445559051409032405"));
        QCOMPARE(r.port->writes.at(3), hex("7F"));
    }

    void clockAnHourPastSundayEveningIsMondayWeekdayZero() {
        Rig r;
        r.device.now = [] { return QDateTime(QDate(2024, 3, 10), QTime(23, 30, 0)); };
        QVERIFY(r.device.CTimeAdjust(3600));
        QCOMPARE(r.port->writes.at(2).mid(9, 7), hex("00300011032400"));
    }

    void clockBytesMayGoBackwards() {
        QCOMPARE(led::clockBytes(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)).addSecs(-1)),
                 hex("59592331129904"));
    }

    // --- list ---
    void anEmptyListSendsOnePacketOfSizeZero() {
        Rig r;
        QVERIFY(r.device.Csendlist(QByteArray(), 0));
        QCOMPARE(r.port->writes, (QList<QByteArray>{hex("AA550001"), hex("04000001020001"),
                                                    hex("00010000"), hex("01")}));
    }

    void aListGoesOutAsItsBytes() {
        Rig r;
        QVERIFY(r.device.Csendlist(hex("1E000202FF"), 4));
        QCOMPARE(r.port->writes.at(2), hex("000100041E000202"));
        QCOMPARE(r.port->writes.at(3), hex("1B"));
    }

    void listCountsBeyondTheRowOrTheBytesRaiseBeforeAnythingIsWritten() {
        Rig r;
        QCOMPARE(errorNumberOf([&] { r.device.Csendlist(QByteArray(1025, 'x'), 1025); }), 9);
        QCOMPARE(errorNumberOf([&] { r.device.Csendlist(hex("0102"), 3); }), 9);
        QCOMPARE(errorNumberOf([&] { r.device.Csendlist(hex("0102"), -1); }), 9);
        QVERIFY(r.port->writes.isEmpty());
    }

    // --- escaped parameter frame ---
    void escapedFrameForAddressOneIsTheExample() {
        Rig r;
        r.port->onWrite = answerQuorin;
        QVERIFY(r.device.CSetQuorin(exampleFields()));
        QCOMPARE(r.port->writes,
                 (QList<QByteArray>{hex("8141"), hex("00000F0F090A09050000000100040009"
                                                     "0F0F09091A")}));
        QVERIFY(!r.port->isOpen());
    }

    void addressAbove64WritesTheThreeBytePrefixAsOneAndTwo() {
        QuorinFields f = exampleFields();
        f.address = QStringLiteral("100");
        const QList<QByteArray> writes = led::quorinWrites(f);
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes.at(0), hex("A4"));
        QCOMPARE(writes.at(1), hex("C141"));
        QCOMPARE(writes.at(2), hex("00000F0F090A0905000064000400090F0F09091A"));
    }

    void address64StillHasTheShortPrefix() {
        QuorinFields f = exampleFields();
        f.address = QStringLiteral("64");
        QCOMPARE(led::quorinWrites(f).at(0), hex("C041"));
        f.address = QStringLiteral("65");
        QCOMPARE(led::quorinWrites(f).mid(0, 2), (QList<QByteArray>{hex("81"), hex("C141")}));
    }

    void bytes10To7FGoOutAsTheyAreAndOthersAsTwoNibbles() {
        QuorinFields f = exampleFields();
        f.brightness = QStringLiteral("16"); // 0x10
        QCOMPARE(led::quorinWrites(f).at(1).mid(16, 2), hex("1009"));
        f.brightness = QStringLiteral("15"); // 0x0F
        QCOMPARE(led::quorinWrites(f).at(1).mid(16, 3), hex("000F09"));
        f.brightness = QStringLiteral("128"); // 0x80
        QCOMPARE(led::quorinWrites(f).at(1).mid(16, 3), hex("080009"));
        f.brightness = QStringLiteral("127"); // 0x7F
        QCOMPARE(led::quorinWrites(f).at(1).mid(16, 2), hex("7F09"));
    }

    void bothPolaritiesAddUp() {
        QuorinFields f = exampleFields();
        f.dataPolarity = 8;
        QCOMPARE(led::quorinWrites(f).at(1).mid(12, 2), hex("000C"));
    }

    void otherBytesBeforeTheAnswerAreConsumed() {
        led::setTimeScale(1.0); // the late answer must come well within the limit
        auto restore = qScopeGuard([] { led::setTimeScale(0.2); });
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.endsWith('\x1A')) {
                p.deliver(hex("55"));
                p.deliver(hex("1A"), 20);
            }
        };
        QVERIFY(r.device.CSetQuorin(exampleFields()));
        QCOMPARE(r.port->bytesWaiting(), 0);
    }

    void noAnswerFailsAndClosesThePort() {
        Rig r;
        r.port->onWrite = nullptr;
        QVERIFY(!r.device.CSetQuorin(exampleFields()));
        QVERIFY(!r.port->isOpen());
        QCOMPARE(r.port->writes.size(), 2);
    }

    void aPortThatCannotOpenShowsTheSerialMessage() {
        Rig r;
        r.port->failOpenWith = PortFailure::NoSuchPort;
        QVERIFY(!r.device.CSetQuorin(exampleFields()));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("无效端口号"));
        QVERIFY(r.port->writes.isEmpty());
    }

    void valuesThatDoNotFitRaiseBeforeThePortIsTouched_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("brightness");
        QTest::addColumn<int>("number");
        QTest::newRow("brightness 256") << "1"
                                        << "80"
                                        << "256" << 6;
        QTest::newRow("length 7") << "1"
                                  << "7"
                                  << "255" << 6;
        QTest::newRow("length 2056") << "1"
                                     << "2056"
                                     << "255" << 6;
        QTest::newRow("address 256") << "256"
                                     << "80"
                                     << "255" << 6;
        QTest::newRow("address -1") << "-1"
                                    << "80"
                                    << "255" << 6;
        QTest::newRow("address text") << "abc"
                                      << "80"
                                      << "255" << 13;
        QTest::newRow("empty brightness") << "1"
                                          << "80"
                                          << "" << 13;
    }

    void valuesThatDoNotFitRaiseBeforeThePortIsTouched() {
        QFETCH(QString, address);
        QFETCH(QString, length);
        QFETCH(QString, brightness);
        QFETCH(int, number);
        Rig r;
        QuorinFields f = exampleFields();
        f.address = address;
        f.length = length;
        f.brightness = brightness;
        QCOMPARE(errorNumberOf([&] { r.device.CSetQuorin(f); }), number);
        QCOMPARE(r.port->opens, 0);
        QVERIFY(r.port->writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ControlCommandsTest)
#include "tst_control_commands.moc"
