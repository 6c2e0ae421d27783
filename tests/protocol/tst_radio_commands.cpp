// The radio module's text protocol on a scripted port: which answers the
// read accepts and the module string it builds, the setting frame with its
// XOR, and the write that stops after an unacknowledged first frame. The
// port is closed after every call.
#include "protocol/led.h"
#include "support/DeviceRig.h"

#include <QtTest>

namespace {
// Bytes 3-4 channel code 7> (22 + 104), 7-9 version, 10-11 packet size 0?,
// 12-15 the four indexes.
const QByteArray Answer19("RD:7>,V2.00?3241,\r\n");
} // namespace

class RadioCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theReadTakesOnlyWholeAnswers_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("module");
        QTest::newRow("19 bytes") << Answer19 << "2.00?32417>";
        QTest::newRow("29 bytes") << Answer19 + QByteArray("0123456789") << "2.00?32417>";
        QTest::newRow("20 bytes") << Answer19 + QByteArray("x") << "";
        QTest::newRow("silent") << QByteArray() << "";
    }
    void theReadTakesOnlyWholeAnswers() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, module);
        DeviceRig r;
        r.port->onWrite = [answer](FakePort &p, const QByteArray &) {
            if (!answer.isEmpty()) p.deliver(answer, 20);
        };
        QCOMPARE(r.device.Chqwxshuxing(), module);
        QCOMPARE(r.port->writes, QList<QByteArray>{hex("58440D0A")});
        QVERIFY(!r.port->isOpen());
        QVERIFY(r.ui.messages().isEmpty());
    }

    void aSettingFrameEndsInTheXorOfItsSixCharacters_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("S20?36") << "S20?36" << hex("5332303F3336 363B");
        QTest::newRow("S17>40") << "S17>40" << hex("5331373E3430 363F");
        QTest::newRow("only six count") << "S20?36xyz" << hex("5332303F3336 363B");
        QTest::newRow("five") << "S20?3" << QByteArray();
    }
    void aSettingFrameEndsInTheXorOfItsSixCharacters() {
        QFETCH(QString, setting);
        QFETCH(QByteArray, frame);
        QCOMPARE(led::radioFrame(setting), frame);
    }

    void theSecondFrameFollowsOnlyAnAcknowledgedFirst_data() {
        QTest::addColumn<int>("acknowledged");
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("result");
        QTest::newRow("both") << 2 << 2 << true;
        QTest::newRow("first only") << 1 << 2 << false;
        QTest::newRow("silent") << 0 << 1 << false;
    }
    void theSecondFrameFollowsOnlyAnAcknowledgedFirst() {
        QFETCH(int, acknowledged);
        QFETCH(int, frames);
        QFETCH(bool, result);
        DeviceRig r;
        int answered = 0;
        r.port->onWrite = [&](FakePort &p, const QByteArray &) {
            // Any eight bytes acknowledge.
            if (answered++ < acknowledged) p.deliver(QByteArray("anything"), 10);
        };
        QCOMPARE(r.device.CSetwxshuxing(QStringLiteral("S17>40"), QStringLiteral("S20?36")),
                 result);
        QCOMPARE(r.port->writes.size(), frames);
        QCOMPARE(r.port->writes.first(), hex("5331373E3430 363F"));
        if (frames == 2) QCOMPARE(r.port->writes.at(1), hex("5332303F3336 363B"));
        QVERIFY(!r.port->isOpen());
    }

    void aShortSettingIsAPortFailure() {
        DeviceRig r;
        QVERIFY(!r.device.CSetwxshuxing(QStringLiteral("S1"), QStringLiteral("S20?36")));
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("通讯失败")});
    }
};

QTEST_GUILESS_MAIN(RadioCommandsTest)
#include "tst_radio_commands.moc"
