// Covers what the panel classes add to their workflows: the fields read into
// the workflow's input, the outcome written back into the fields, and the
// toolbar's buttons running from the event loop instead of inside the caller;
// the update frame's pickers and batch, the radio frame's repeated setting.
#include "app/ParameterPanel.h"
#include "config/CIniFile.h"
#include "support/DeviceRig.h"
#include "support/WindowRig.h"
#include "workflows/ActionContext.h"
#include "workflows/ScreenRegistry.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QtTest>

namespace {
// A context without a window, as the call service's line worker offers one.
struct LineContext : ActionContext {
    DeviceRig rig;
    bool busy = false;
    int runs = 0;
    led &device() override { return rig.device; }
    OperatorUi &ui() override { return rig.ui; }
    workflow::Connection connection() const override { return {}; }
    bool runDeviceAction(const std::function<void()> &action) override {
        if (busy) return false;
        ++runs;
        action();
        return true;
    }
    bool beginDeviceAction() override { return !busy; }
    void endDeviceAction() override {}
    bool actionRunning() const override { return busy; }
    bool refuseWhileBusy() override { return busy; }
    bool trap(const std::function<void()> &action) override {
        action();
        return true;
    }
    void showStatus(const QString &) override {}
};
} // namespace

class PanelBindingsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theUpperDefaultWritesTheWidthAndTicksTheQueueBox() {
        WindowRig r;
        for (const char16_t *name : {u"字库颜色", u"ASC颜色", u"combo1"})
            r.w.findChild<QComboBox *>(QString::fromUtf16(name))->setCurrentIndex(0);
        r.click("Command11");
        QVERIFY(!r.w.findChild<QCheckBox *>(QStringLiteral("排队"))->isChecked());
        QCOMPARE(r.port->writes.at(1), QByteArray::fromHex("04000001150701")); // picture 5
        r.click("Command10");
        QCOMPARE(r.port->writes.at(9), QByteArray::fromHex("04000001140701")); // picture 4
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text9"))->text(), QStringLiteral("64"));
        QVERIFY(r.w.findChild<QCheckBox *>(QStringLiteral("排队"))->isChecked());
    }

    void parameterButtonsReadTheirFields() {
        WindowRig r;
        r.type("亮度", QStringLiteral("200级"));
        r.click("设置亮度");
        QCOMPARE(r.port->writes.value(r.port->writes.size() - 2),
                 QByteArray::fromHex("00010001C8"));
        r.port->writes.clear();
        r.type("Text4", QString());
        r.click("设置开始图号按钮");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.w.statusPanel(5)->text(), QStringLiteral("13"));
    }

    void anAcknowledgedWindowNumberIsToldInTheStatusBar() {
        WindowRig r;
        r.w.toolbarAction(MainWindow::Tool::SendMessage);
        r.click("Command12");
        QCOMPARE(r.w.statusPanel(5)->text(), QStringLiteral("窗口号设置成功"));
    }

    // The logo's pauses are timer steps: the click returns after the first
    // picture and the window stays busy until the list went out.
    void theLogoGoesOnFromTheEventLoopHoldingTheWindowToItsEnd() {
        WindowRig r;
        r.w.findChild<QPlainTextEdit *>(QStringLiteral("Text24"))
            ->setPlainText(QString(40, QLatin1Char('A')));
        auto *logo = r.w.findChild<QPushButton *>(QStringLiteral("Command1"));
        logo->click();
        QVERIFY(r.w.actionRunning());
        QVERIFY(!logo->isEnabled());
        QVERIFY(r.ui.shown.isEmpty());
        QTRY_VERIFY(!r.w.actionRunning());
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QVERIFY(logo->isEnabled());
    }

    // A panel lives on any context: its device buttons (its frames' too)
    // go only through the context's one action at a time.
    void aPanelsDeviceButtonsRunOnlyThroughItsContext() {
        TempProgramDir dir;
        LineContext context;
        CIniFile ini;
        ScreenRegistry registry(ini, context.rig.ui);
        ParameterPanel panel(context, registry, nullptr);
        const QStringList buttons = {QStringLiteral("设置亮度"), QStringLiteral("校时"),
                                     QStringLiteral("开屏"),     QStringLiteral("属性获取"),
                                     QStringLiteral("检测模块"), QStringLiteral("Command5")};
        context.busy = true;
        for (const QString &name : buttons)
            panel.findChild<QPushButton *>(name)->click();
        QVERIFY(context.rig.port->writes.isEmpty());
        context.busy = false;
        for (const QString &name : buttons)
            panel.findChild<QPushButton *>(name)->click();
        QCOMPARE(context.runs, buttons.size());
        QVERIFY(!context.rig.port->writes.isEmpty());
    }

    void aToolbarButtonPressedThroughAccessibilityReturnsAtOnce() {
        WindowRig r;
        auto *exit = r.w.findChild<QAction *>(QStringLiteral("退出工"));
        QWidget *button = r.w.toolbar()->widgetForAction(exit);
        QVERIFY(button);
        QAccessibleInterface *access = QAccessible::queryAccessibleInterface(button);
        QVERIFY(access && access->actionInterface());
        r.ui.answers = {false}; // Cancel
        access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(r.ui.shown.isEmpty()); // the question comes from the event loop
        QTRY_COMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("你确认要退出系统吗？"));

        r.w.findChild<QAction *>(QStringLiteral("关屏工"))->trigger();
        QVERIFY(r.port->writes.isEmpty());
        QTRY_COMPARE(r.ui.lastMessage(), QStringLiteral("关屏成功"));
    }

    void aCancelledPickerKeepsTheFileField() {
        WindowRig r;
        r.type("Textasc", QStringLiteral("old.asc"));
        r.ui.files = {QString(), QStringLiteral("/fonts/hzk16")};
        r.click("选择ASC文件");
        r.click("选择字库文件");
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Textasc"))->text(),
                 QStringLiteral("old.asc"));
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Textziku"))->text(),
                 QStringLiteral("/fonts/hzk16"));
    }

    void theBatchMovesTheConnectionRowAfterABaudChange() {
        WindowRig r;
        r.type("Text11", QStringLiteral("5"));
        for (const char *box : {"C1152", "Check3"})
            r.w.findChild<QCheckBox *>(QLatin1String(box))->setChecked(true);
        r.ui.inputs = {QStringLiteral("tavorel")};
        r.click("更新");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("更新成功"));
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Pdizhi"))->text(), QStringLiteral("5"));
        QCOMPARE(r.w.findChild<QComboBox *>(QStringLiteral("Pbtl"))->currentText(),
                 QStringLiteral("115200"));
        QCOMPARE(r.w.findChild<QComboBox *>(QStringLiteral("Combo2"))->currentText(),
                 QStringLiteral("115200"));
        // Screen on went to the new address.
        QCOMPARE(r.port->writes.at(5), QByteArray::fromHex("04000005040001"));
    }

    void autoSettingTogglesItsCaptionAndRemindsOnStop() {
        WindowRig r;
        auto *button = r.w.findChild<QPushButton *>(QStringLiteral("自动设置"));
        button->click();
        QCOMPARE(button->text(), QStringLiteral("停止设置"));
        button->click();
        QCOMPARE(button->text(), QStringLiteral("自动设置"));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("设置完信道，请务必给无线模块断电重新上电！"));
        QVERIFY(r.port->writes.isEmpty());
    }
};

QTEST_MAIN(PanelBindingsTest)
#include "tst_panel_bindings.moc"
