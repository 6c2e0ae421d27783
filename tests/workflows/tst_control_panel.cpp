// Covers the parameter panel's one-command buttons and the toolbar's quick
// buttons: what goes on the line, the messages and captions, and the error
// numbers in panel 5 for fields that are not numbers.
#include "support/DeviceRig.h"
#include "support/WindowRig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
struct PanelRig : WindowRig {
    // The data packet of the last transfer (the write before the checksum).
    QByteArray lastPacket() const { return port->writes.value(port->writes.size() - 2); }
};
} // namespace

class ControlPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void brightnessIsClampedToAByte() {
        PanelRig r;
        const QList<QPair<QString, QByteArray>> cases = {
            {QStringLiteral("300"), hex("00010001FF")},
            {QStringLiteral("-5"), hex("0001000100")},
            {QStringLiteral("abc"), hex("0001000100")},
            {QStringLiteral("200"), hex("00010001C8")}};
        for (const auto &[text, packet] : cases) {
            r.type("亮度", text);
            r.click("设置亮度");
            QCOMPARE(r.lastPacket(), packet);
            QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
            QCOMPARE(r.ui.shown.last().caption, QStringLiteral("亮度设置"));
        }
    }

    void screenOnAndOffFromThePanelAndTheToolbar() {
        PanelRig r;
        r.click("开屏");
        QCOMPARE(r.port->writes.at(1), hex("04000001040001"));
        QCOMPARE(r.lastPacket().left(5), hex("0001000C40"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("开屏成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("开屏"));
        r.w.toolbarAction(QStringLiteral("关屏工"));
        QCOMPARE(r.lastPacket().left(5), hex("0001000C00"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("关屏成功"));
        r.port->onWrite = nullptr; // a silent screen
        r.w.toolbarAction(QStringLiteral("开屏工"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("开屏失败"));
    }

    void protocolSwitchSendsTheEscapedFrameFromTheFields() {
        PanelRig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.endsWith('\x1A')) p.deliver(hex("1A"));
        };
        r.w.control<QComboBox>(QStringLiteral("极性"))->setCurrentIndex(1);     // 高有效
        r.w.control<QComboBox>(QStringLiteral("数据极性"))->setCurrentIndex(0); // 负极性
        r.type("Pchang", QStringLiteral("80"));
        r.type("亮度", QStringLiteral("255"));
        r.click("Command3");
        QCOMPARE(r.port->writes,
                 (QList<QByteArray>{hex("8141"), hex("00000F0F090A0905000000010004000"
                                                     "90F0F09091A")}));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("协议设置"));
        // A length that does not fit: nothing is sent, and the operator sees the failure.
        r.port->writes.clear();
        r.type("Pchang", QStringLiteral("4"));
        r.w.toolbarAction(QStringLiteral("校时工"));
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置失败"));
    }

    void clockWithANonNumericAddressShowsOnlyAnErrorNumber() {
        PanelRig r;
        r.type("Pdizhi", QStringLiteral("abc"));
        const int shown = int(r.ui.shown.size());
        r.click("校时");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.w.statusPanel(5)->text(), QStringLiteral("13"));
        QCOMPARE(r.ui.shown.size(), shown); // no message box
    }

    void clockSendsTheAdjustment() {
        PanelRig r;
        r.w.device().now = [] { return QDateTime(QDate(2024, 3, 10), QTime(23, 30, 0)); };
        r.type("Text5", QStringLiteral("3600"));
        r.click("校时");
        QCOMPARE(r.lastPacket().mid(4 + 5), hex("00300011032400"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("校时成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("时间校正"));
    }

    void startPictureOutsideAByteIsAnOverflow() {
        PanelRig r;
        r.type("Text4", QStringLiteral("300"));
        r.click("设置开始图号按钮");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.w.statusPanel(5)->text(), QStringLiteral("6"));
        r.type("Text4", QStringLiteral("3"));
        r.click("设置开始图号按钮");
        QCOMPARE(r.port->writes.at(1), hex("04000001090001"));
        QCOMPARE(r.lastPacket().left(5), hex("0001000C03"));
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("设置成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("设置开始图号"));
    }
};

QTEST_MAIN(ControlPanelTest)
#include "tst_control_panel.moc"
