// Covers the control-command workflows of the parameter panel and the
// toolbar on a scripted port: how the fields' texts are read, the message and
// caption of each action, and the error numbers for fields that are not
// numbers (nothing sent, no message box). The bytes of each command are
// pinned by the protocol tests.
#include "support/DeviceRig.h"
#include "workflows/ControlCommands.h"

#include <QtTest>

using workflow::Outcome;

namespace {
struct Rig : DeviceRig {
    workflow::Connection row{1, QStringLiteral("9600"), QStringLiteral("1")};
    // The data packet of the last transfer (the write before the checksum).
    QByteArray lastPacket() const { return port->writes.value(port->writes.size() - 2); }

    Outcome act(const QString &action, const QString &field) {
        using namespace controlcommands;
        if (action == QLatin1String("brightness")) return setBrightness(device, ui, row, field);
        if (action == QLatin1String("clock")) return adjustClock(device, ui, row, field);
        if (action == QLatin1String("on")) return screenOn(device, ui, row, true);
        if (action == QLatin1String("off")) return screenOn(device, ui, row, false);
        if (action == QLatin1String("start")) return setStartPicture(device, ui, row, field);
        return protocolSwitch(device, ui, row, {4, 0, field, QStringLiteral("255")});
    }
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
        QTest::newRow("200级") << "200级" << hex("00010001C8");
        QTest::newRow("12abc") << "12abc" << hex("000100010C");
    }

    void brightnessTakesTheLeadingNumberThenTheClamp() {
        QFETCH(QString, text);
        QFETCH(QByteArray, packet);
        Rig r;
        QCOMPARE(r.act(QStringLiteral("brightness"), text), Outcome::Done);
        QCOMPARE(r.lastPacket(), packet);
    }

    void eachActionReportsUnderItsCaption_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("brightness") << "brightness"
                                    << "9" << true << "设置成功"
                                    << "亮度设置";
        QTest::newRow("brightness, silent") << "brightness"
                                            << "9" << false << "设置失败"
                                            << "亮度设置";
        QTest::newRow("on") << "on"
                            << "" << true << "开屏成功"
                            << "开屏";
        QTest::newRow("on, silent") << "on"
                                    << "" << false << "开屏失败"
                                    << "开屏";
        QTest::newRow("off") << "off"
                             << "" << true << "关屏成功"
                             << "关屏";
        QTest::newRow("clock") << "clock"
                               << "3600" << true << "校时成功"
                               << "时间校正";
        QTest::newRow("clock, silent") << "clock"
                                       << "0" << false << "校时失败"
                                       << "时间校正";
        QTest::newRow("start picture") << "start"
                                       << "3" << true << "设置成功"
                                       << "设置开始图号";
        QTest::newRow("switch, silent") << "switch"
                                        << "80" << false << "设置失败"
                                        << "协议设置";
        // A length that does not fit its byte: nothing sent, the failure shown.
        QTest::newRow("switch, length 4") << "switch"
                                          << "4" << true << "设置失败"
                                          << "协议设置";
    }

    void eachActionReportsUnderItsCaption() {
        QFETCH(QString, action);
        QFETCH(QString, field);
        QFETCH(bool, answered);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Rig r;
        if (!answered) r.port->onWrite = nullptr;
        const Outcome outcome = r.act(action, field);
        QCOMPARE(outcome == Outcome::Done, message.endsWith(QStringLiteral("成功")));
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, message);
        QCOMPARE(r.ui.shown.at(0).caption, caption);
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
        QTest::newRow("clock empty") << "clock"
                                     << "1"
                                     << "" << 13;
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
        QCOMPARE(r.act(action, field), Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.statusErrors, QList<int>{error});
        QVERIFY(r.ui.messages().isEmpty());
    }

    void brightnessGoesOnWithThePreviousAddressWhenTheFieldIsNoNumber() {
        Rig r;
        r.device.PAdress = 2;
        r.row.address = QString();
        r.port->onWrite = nullptr; // board 2 is not there
        QCOMPARE(r.act(QStringLiteral("brightness"), QStringLiteral("9")),
                 Outcome::NotAcknowledged);
        QCOMPARE(r.port->writes.value(0), hex("AA550002"));
    }
};

QTEST_GUILESS_MAIN(ControlCommandsTest)
#include "tst_control_commands.moc"
