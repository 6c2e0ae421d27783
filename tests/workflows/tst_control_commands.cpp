// Covers the control-command workflows of the parameter panel and the
// toolbar on a scripted port: what goes on the line for the fields' texts,
// the messages and captions, and the error numbers for fields that are not
// numbers (nothing sent, no message box).
#include "support/DeviceRig.h"
#include "workflows/ControlCommands.h"

#include <QtTest>

using workflow::Outcome;

namespace {
struct Rig : DeviceRig {
    workflow::Connection row{1, QStringLiteral("9600"), QStringLiteral("1")};
    // The data packet of the last transfer (the write before the checksum).
    QByteArray lastPacket() const { return port->writes.value(port->writes.size() - 2); }
};
} // namespace

class ControlCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void brightnessTakesTheLeadingNumberThenTheClamp_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("300") << "300" << hex("00010001FF");
        QTest::newRow("-5") << "-5" << hex("0001000100");
        QTest::newRow("abc") << "abc" << hex("0001000100");
        QTest::newRow("empty") << "" << hex("0001000100");
        QTest::newRow("200") << "200" << hex("00010001C8");
        QTest::newRow("200级") << "200级" << hex("00010001C8");
        QTest::newRow("12abc") << "12abc" << hex("000100010C");
    }

    void brightnessTakesTheLeadingNumberThenTheClamp() {
        QFETCH(QString, text);
        QFETCH(QByteArray, packet);
        Rig r;
        QCOMPARE(controlcommands::setBrightness(r.device, r.ui, r.row, text), Outcome::Done);
        QCOMPARE(r.lastPacket(), packet);
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("亮度设置"));
    }

    void screenOnAndOffAndASilentScreen() {
        Rig r;
        QCOMPARE(controlcommands::screenOn(r.device, r.ui, r.row, true), Outcome::Done);
        QCOMPARE(r.port->writes.at(1), hex("04000001040001"));
        QCOMPARE(r.lastPacket().left(5), hex("0001000C40"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("开屏成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("开屏"));
        controlcommands::screenOn(r.device, r.ui, r.row, false);
        QCOMPARE(r.lastPacket().left(5), hex("0001000C00"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("关屏成功"));
        r.port->onWrite = nullptr; // a silent screen
        QCOMPARE(controlcommands::screenOn(r.device, r.ui, r.row, true), Outcome::NotAcknowledged);
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("开屏失败"));
    }

    void protocolSwitchSendsTheEscapedFrameFromTheFields() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.endsWith('\x1A')) p.deliver(hex("1A"));
        };
        controlcommands::ProtocolSwitchFields f{4, 0, QStringLiteral("80"), QStringLiteral("255")};
        QCOMPARE(controlcommands::protocolSwitch(r.device, r.ui, r.row, f), Outcome::Done);
        QCOMPARE(r.port->writes,
                 (QList<QByteArray>{hex("8141"), hex("00000F0F090A0905000000010004000"
                                                     "90F0F09091A")}));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("协议设置"));
        // A length that does not fit: nothing is sent, and the operator sees the failure.
        r.port->writes.clear();
        f.length = QStringLiteral("4");
        QCOMPARE(controlcommands::protocolSwitch(r.device, r.ui, r.row, f),
                 Outcome::NotAcknowledged);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置失败"));
    }

    void clockSendsTheAdjustmentAndAnEmptyFieldMeansNone_data() {
        QTest::addColumn<QString>("adjustment");
        QTest::addColumn<QByteArray>("clock");
        QTest::newRow("3600") << "3600" << hex("00300011032400");
        QTest::newRow("empty") << "" << hex("00302310032406"); // a Sunday
    }

    void clockSendsTheAdjustmentAndAnEmptyFieldMeansNone() {
        QFETCH(QString, adjustment);
        QFETCH(QByteArray, clock);
        Rig r;
        r.device.now = [] { return QDateTime(QDate(2024, 3, 10), QTime(23, 30, 0)); };
        QCOMPARE(controlcommands::adjustClock(r.device, r.ui, r.row, adjustment), Outcome::Done);
        QCOMPARE(r.lastPacket().mid(4 + 5), clock);
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("校时成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("时间校正"));
    }

    void startPictureIsSentFromItsField() {
        Rig r;
        QCOMPARE(controlcommands::setStartPicture(r.device, r.ui, r.row, QStringLiteral("3")),
                 Outcome::Done);
        QCOMPARE(r.port->writes.at(1), hex("04000001090001"));
        QCOMPARE(r.lastPacket().left(5), hex("0001000C03"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("设置开始图号"));
    }

    // Strict actions stop at a field that is no number: its error number,
    // nothing on the line, no message box.
    void fieldsThatAreNoNumberStopWithTheirErrorNumber_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("error");
        QTest::newRow("clock, address abc") << "clock"
                                            << "abc"
                                            << "0" << 13;
        QTest::newRow("clock, empty address") << "clock"
                                              << ""
                                              << "0" << 13;
        QTest::newRow("on, empty address") << "on"
                                           << ""
                                           << "" << 13;
        QTest::newRow("start picture empty") << "start"
                                             << "1"
                                             << "" << 13;
        QTest::newRow("start picture 300") << "start"
                                           << "1"
                                           << "300" << 6;
        QTest::newRow("clock 40000") << "clock"
                                     << "1"
                                     << "40000" << 6;
    }

    void fieldsThatAreNoNumberStopWithTheirErrorNumber() {
        QFETCH(QString, action);
        QFETCH(QString, address);
        QFETCH(QString, field);
        QFETCH(int, error);
        Rig r;
        r.row.address = address;
        Outcome outcome = Outcome::Done;
        if (action == QLatin1String("clock"))
            outcome = controlcommands::adjustClock(r.device, r.ui, r.row, field);
        else if (action == QLatin1String("on"))
            outcome = controlcommands::screenOn(r.device, r.ui, r.row, true);
        else
            outcome = controlcommands::setStartPicture(r.device, r.ui, r.row, field);
        QCOMPARE(outcome, Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.statusErrors, QList<int>{error});
        QVERIFY(r.ui.messages().isEmpty());
    }

    void brightnessGoesOnWithThePreviousAddressWhenTheFieldIsNoNumber() {
        Rig r;
        r.device.PAdress = 2;
        r.row.address = QString();
        r.port->onWrite = nullptr; // board 2 is not there
        QCOMPARE(controlcommands::setBrightness(r.device, r.ui, r.row, QStringLiteral("9")),
                 Outcome::NotAcknowledged);
        QCOMPARE(r.port->writes.value(0), hex("AA550002"));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("设置失败"));
    }
};

QTEST_GUILESS_MAIN(ControlCommandsTest)
#include "tst_control_commands.moc"
