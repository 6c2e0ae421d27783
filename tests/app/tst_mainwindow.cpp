// Covers the main window shell: selection lists at start, toolbar switching,
// the spin pairs, the exit question, the error trap and one device action at
// a time.
#include "app/AddTextDialog.h"
#include "app/MainWindow.h"
#include "app/ProgressWindow.h"
#include "app/SelectionLists.h"
#include "app/Startup.h"
#include "protocol/VbError.h"
#include "support/PtyLink.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"

#include "workflows/ScreenLists.h"
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringEncoder>
#include <QToolBar>
#include <tuple>

#include <QtTest>

namespace {
struct ListExpectation {
    const char16_t *name;
    QStringList items;
    QList<int> data;
    int initial;
};

QStringList texts(std::initializer_list<const char16_t *> t) {
    QStringList out;
    for (const char16_t *s : t)
        out.append(QString::fromUtf16(s));
    return out;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startupFillsEveryListWithItsItemsDataAndPosition() {
        TempProgramDir dir;
        MainWindow w;
        w.fillSelectionLists();
        const QList<ListExpectation> expected = {
            {u"combo1", texts({u"红色", u"绿色", u"黄色"}), {170, 85, 165}, 2},
            {u"字库颜色", texts({u"黑色", u"红色", u"绿色", u"黄色"}), {0, 1, 2, 3}, 3},
            {u"ASC颜色", texts({u"黑色", u"红色", u"绿色", u"黄色"}), {0, 1, 2, 3}, 1},
            {u"Asccolor", texts({u"红色", u"绿色", u"黄色"}), {}, 2},
            {u"Combo4", texts({u"红色", u"绿色", u"黄色"}), {}, 2},
            {u"Combo5", texts({u"红色", u"绿色", u"黄色"}), {}, 2},
            {u"Combo2", texts({u"9600", u"19200", u"38400", u"115200"}), {239, 119, 59, 19}, 0},
            {u"Combo3",
             texts({u"立即显示", u"从右向左移动", u"从左向右展开", u"百叶窗从左向右展开",
                    u"闪烁显示", u"连续左移", u"连续上移"}),
             {0, 1, 3, 4, 7, 8, 9},
             0},
            {u"主控类型",
             texts({u"16点阵", u"24点阵", u"32点阵", u"准24点阵", u"ZH1-上移", u"ZH2-下移"}),
             {128, 9, 11, 12, 2, 1},
             0},
            {u"色彩", texts({u"单色", u"双色", u"全彩"}), {0, 64, 128}, 1},
            {u"时钟显示", texts({u"不显示时钟", u"红色", u"绿色", u"黄色"}), {0, 64, 128, 192}, 0},
            {u"极性", texts({u"低有效", u"高有效"}), {0, 4}, 1},
            {u"数据极性", texts({u"负极性", u"正极性"}), {0, 8}, 0},
            {u"扫描方式", texts({u"1/4扫描", u"1/8扫描", u"1/16扫描"}), {3, 7, 15}, 2},
            {u"每区行数",
             texts({u"每区1行", u"每区2行", u"每区4行", u"每区8行", u"每区16行", u"每区32行"}),
             {0, 1, 3, 7, 15, 31},
             4},
            {u"行加减",
             texts({u"行正常", u"行加一", u"行加二", u"行减一", u"行减二"}),
             {0, 32, 64, 160, 192},
             0},
            {u"Combo8",
             texts({u"立即显示", u"闪烁显示", u"连续左移", u"连续上移", u"连续右移", u"连续下移"}),
             {0, 7, 8, 9, 11, 12},
             0},
            {u"Combo9", texts({u"立即显示", u"左移", u"闪烁显示", u"连续左移"}), {0, 1, 7, 8}, 0},
            {u"区内走向", texts({u"从上向下", u"从下向上"}), {0, 1}, 0},
            {u"窗口点阵数",
             texts({u"0", u"8", u"16", u"24", u"32", u"40", u"48", u"56", u"64"}),
             {0, 8, 16, 24, 32, 40, 48, 56, 64},
             0},
        };
        for (const ListExpectation &e : expected) {
            const QString name = QString::fromUtf16(e.name);
            auto *c = w.findChild<QComboBox *>(name);
            QVERIFY2(c, qPrintable(name));
            QStringList items;
            QList<int> data;
            for (int i = 0; i < c->count(); ++i) {
                items.append(c->itemText(i));
                if (c->itemData(i).isValid()) data.append(c->itemData(i).toInt());
            }
            QCOMPARE(items, e.items);
            QCOMPARE(data, e.data);
            QVERIFY2(c->currentIndex() == e.initial, qPrintable(name));
        }
        QVERIFY(w.panel(QStringLiteral("参数设置框"))->isVisibleTo(&w));
        QVERIFY(!w.panel(QStringLiteral("屏幕管理框"))->isVisibleTo(&w));
    }

    void startupTakesTheConnectionFieldsFromTheCurrentScreen() {
        TempProgramDir dir;
        QFile ini(dir.file(QStringLiteral("ledfile.ini")));
        // Two screens in the format of an existing installation; the second is current.
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QStringEncoder gbk("GBK");
        ini.write(gbk.encode(
            QStringLiteral("[屏总数]\r\nSUM=2\r\nDQPSign=2\r\n"
                           "[第 1号屏]\r\nPname=一号\r\nPcode=1\r\nPbtl=9600\r\nPadr=1\r\n"
                           "Pchang=128\r\nTSUM=0\r\nPgao=32\r\nPcolor=0\r\nPleixing=1\r\n"
                           "[第 2号屏]\r\nPname=收费窗口\r\nPcode=7\r\nPbtl=19200\r\nPadr=12\r\n"
                           "Pchang=100\r\nTSUM=3\r\nPgao=16\r\nPcolor=2\r\nPleixing=4\r\n")));
        ini.close();
        PtyLink port3(3);
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        Startup(w).run();
        QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("总屏号"))->currentText(),
                 QStringLiteral("收费窗口"));
        // Port 7 was not found by the scan: the first found port is shown.
        QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("Pchao"))->currentText(),
                 QStringLiteral("3"));
        QCOMPARE(w.baudText(), QStringLiteral("19200"));
        QCOMPARE(w.addressText(), QStringLiteral("12"));
        // 100 dots snap to the nearest sixteenth.
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Pchang"))->text(), QStringLiteral("96"));
        QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("pgao"))->currentText(),
                 QStringLiteral("16"));
        QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("色彩"))->currentIndex(), 2);
        QCOMPARE(w.findChild<QComboBox *>(QStringLiteral("主控类型"))->currentIndex(), 4);
        QVERIFY(!w.statusPanel(1)->text().isEmpty());
        QVERIFY(w.statusPanel(3)->text().startsWith(QStringLiteral("星期")));
        // Nothing was written back: the registry is unchanged until the operator saves.
        QVERIFY(ui.statusErrors.isEmpty());
    }

    void baudRatePositionFollowsTheText() {
        QCOMPARE(baudRatePosition(QStringLiteral("9600")), 0);
        QCOMPARE(baudRatePosition(QStringLiteral("19200")), 1);
        QCOMPARE(baudRatePosition(QStringLiteral("38400")), 2);
        QCOMPARE(baudRatePosition(QStringLiteral("115200")), 3);
        QCOMPARE(baudRatePosition(QStringLiteral("4800")), 2);
        QCOMPARE(baudRatePosition(QString()), 2);
    }

    void toolbarSwitchesPanelsOnItsKeys() {
        TempProgramDir dir;
        MainWindow w;
        QStringList keys;
        for (QAction *a : w.toolbar()->actions())
            if (a->data().isValid()) keys.append(a->data().toString());
        QCOMPARE(keys, texts({u"屏幕管理", u"参数设置", u"图象处理", u"列表处理", u"自动发送",
                              u"开屏工", u"关屏工", u"校时工", u"地址工", u"退出工"}));
        auto visible = [&](const char16_t *name) {
            return w.panel(QString::fromUtf16(name))->isVisibleTo(&w);
        };
        w.toolbarAction(MainWindow::Tool::Screens);
        QVERIFY(visible(u"屏幕管理框") && !visible(u"参数设置框") && !visible(u"图象处理框"));
        w.toolbarAction(MainWindow::Tool::SendMessage);
        QVERIFY(visible(u"图象处理框") && visible(u"自动发送框") && !visible(u"屏幕管理框"));
        w.toolbarAction(MainWindow::Tool::Parameters);
        QVERIFY(visible(u"参数设置框") && !visible(u"图象处理框"));
        w.toolbarAction(MainWindow::Tool::Logo);
        QVERIFY(visible(u"图象处理框") && visible(u"自动发送框"));
    }

    void textPanelSizesThePreviewFromTheScreen() {
        TempProgramDir dir;
        MainWindow w;
        w.fillSelectionLists();
        w.findChild<QLineEdit *>(QStringLiteral("Pchang"))->setText(QStringLiteral("400"));
        w.findChild<QComboBox *>(QStringLiteral("pgao"))->setCurrentText(QStringLiteral("16"));
        w.toolbarAction(MainWindow::Tool::SendMessage);
        auto *scroll = w.findChild<QScrollBar *>(QStringLiteral("HScroll1"));
        QVERIFY(scroll->isVisibleTo(&w));
        QCOMPARE(scroll->maximum(), 400 - 264);
        QCOMPARE(scroll->pageStep(), 264);
        // The window number "\\1" takes the first 32 dots.
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("PicImg"))->geometry(),
                 QRect(32, 0, 368, 16));
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("pic1"))->isVisibleTo(&w));
        QCOMPARE(w.findChild<QWidget *>(QStringLiteral("预览框"))->width(), 264);
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
        w.findChild<QLineEdit *>(QStringLiteral("Pchang"))->setText(QStringLiteral("128"));
        w.toolbarAction(MainWindow::Tool::SendMessage);
        QVERIFY(!scroll->isVisibleTo(&w));
        QCOMPARE(w.findChild<QWidget *>(QStringLiteral("预览框"))->width(), 128);
    }

    void listPanelCopiesThePoolInOrder() {
        TempProgramDir dir;
        MainWindow w;
        w.screenLists().pool.setTextLines(
            {QStringLiteral("1 红色 欢迎"), QStringLiteral("2 绿色 请稍候")});
        auto *stored = w.findChild<QListWidget *>(QStringLiteral("已发送文字"));
        stored->addItem(QStringLiteral("old"));
        w.toolbarAction(MainWindow::Tool::Lists);
        QCOMPARE(stored->count(), 2);
        QCOMPARE(stored->item(0)->text(), QStringLiteral("1 红色 欢迎"));
        QCOMPARE(stored->item(1)->text(), QStringLiteral("2 绿色 请稍候"));
        QVERIFY(w.panel(QStringLiteral("列表处理框"))->isVisibleTo(&w));
    }

    void defaultAddressSetsTheSpinAndOnlyAChangeWritesTheField() {
        TempProgramDir dir;
        MainWindow w;
        auto *spin = w.findChild<QScrollBar *>(QStringLiteral("VScroll4"));
        auto *field = w.findChild<QLineEdit *>(QStringLiteral("Pdizhi"));
        field->setText(QStringLiteral("57"));
        QCOMPARE(spin->value(), 57);
        w.toolbarAction(MainWindow::Tool::DefaultAddress);
        QCOMPARE(field->text(), QStringLiteral("1"));
        // Out of range: the spin stays at 1, so 默认地址 changes nothing.
        field->setText(QStringLiteral("2000"));
        QCOMPARE(spin->value(), 1);
        w.toolbarAction(MainWindow::Tool::DefaultAddress);
        QCOMPARE(field->text(), QStringLiteral("2000"));
    }

    void lengthFieldSnapsToSixteenthsWhenItLosesFocus() {
        TempProgramDir dir;
        MainWindow w;
        auto *spin = w.findChild<QScrollBar *>(QStringLiteral("VScroll6"));
        auto *field = w.findChild<QLineEdit *>(QStringLiteral("Pchang"));
        QCOMPARE(spin->value(), 4);
        field->setText(QStringLiteral("100"));
        w.applyLengthRule();
        QCOMPARE(spin->value(), 6);
        QCOMPARE(field->text(), QStringLiteral("96"));
        // With the spin already at 6, leaving 100 changes nothing.
        field->setText(QStringLiteral("100"));
        w.applyLengthRule();
        QCOMPARE(field->text(), QStringLiteral("100"));
        // 40 / 16 = 2.5 rounds to even: 2.
        field->setText(QStringLiteral("40"));
        w.applyLengthRule();
        QCOMPARE(spin->value(), 2);
        QCOMPARE(field->text(), QStringLiteral("32"));
        // Outside 16 ... 400 is left as typed.
        field->setText(QStringLiteral("500"));
        w.applyLengthRule();
        QCOMPARE(field->text(), QStringLiteral("500"));
        QCOMPARE(spin->value(), 2);
        spin->setValue(25);
        QCOMPARE(field->text(), QStringLiteral("400"));
    }

    void queueSpinsFollowTheirFieldsOnlyInRange() {
        TempProgramDir dir;
        MainWindow w;
        auto *speed = w.findChild<QScrollBar *>(QStringLiteral("VScroll2"));
        auto *field = w.findChild<QLineEdit *>(QStringLiteral("Text14"));
        QCOMPARE(speed->value(), 1);
        QCOMPARE(field->text(), QStringLiteral("2"));
        field->setText(QStringLiteral("300"));
        QCOMPARE(speed->value(), 1);
        field->setText(QStringLiteral("40"));
        QCOMPARE(speed->value(), 40);
        speed->setValue(41);
        QCOMPARE(field->text(), QStringLiteral("41"));
        QCOMPARE(w.findChild<QScrollBar *>(QStringLiteral("VScroll3"))->value(), 2);
        QCOMPARE(w.findChild<QScrollBar *>(QStringLiteral("VScroll8"))->value(), 2);
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Text17"))->text(), QStringLiteral("30"));
    }

    // One plain spin and the length spin; the others are the same class.
    void upArrowRaisesTheSpinsAndDownArrowLowersThem() {
        TempProgramDir dir;
        MainWindow w;
        for (const auto &[spin, field, raised] :
             {std::tuple{"VScroll2", "Text14", "2"}, std::tuple{"VScroll6", "Pchang", "80"}}) {
            auto *bar = w.findChild<QScrollBar *>(QString::fromLatin1(spin));
            auto *text = w.findChild<QLineEdit *>(QString::fromLatin1(field));
            const int start = bar->value();
            QTest::keyClick(bar, Qt::Key_Up);
            QCOMPARE(text->text(), QString::fromLatin1(raised));
            QTest::keyClick(bar, Qt::Key_Down);
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2)); // top arrow
            QCOMPARE(text->text(), QString::fromLatin1(raised));
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));
            QCOMPARE(bar->value(), start);
        }
    }

    void exitQuestionCancelKeepsEverythingAndOkSavesOnce() {
        TempProgramDir dir;
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        int saves = 0;
        w.onSaveBeforeExit = [&] { ++saves; };
        w.show();
        ui.answers = {false};
        w.toolbarAction(MainWindow::Tool::Exit);
        QVERIFY(w.isVisible());
        QCOMPARE(saves, 0);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.at(0).kind, QStringLiteral("okcancel"));
        QCOMPARE(ui.shown.at(0).text, QStringLiteral("你确认要退出系统吗？"));
        QCOMPARE(ui.shown.at(0).caption, QStringLiteral("提示"));
        ui.answers = {false};
        QVERIFY(!w.close());
        QCOMPARE(saves, 0);
        ui.answers = {true};
        w.toolbarAction(MainWindow::Tool::Exit);
        QVERIFY(!w.isVisible());
        QCOMPARE(saves, 1);
        QCOMPARE(ui.shown.size(), 3); // no second question from the close itself
    }

    void trappedErrorsShowTheirNumberInPanelFive() {
        TempProgramDir dir;
        MainWindow w;
        QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("欢迎使用条屏编辑软件"));
        QCOMPARE(w.statusPanel(5)->toolTip(), QStringLiteral("欢迎使用条屏编辑软件"));
        QVERIFY(!w.trap([] { throw VbError(13, QStringLiteral("不是数字：abc")); }));
        QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("13"));
        // The words stand beside the number, not only in a tooltip.
        QVERIFY(w.statusWords()->isVisibleTo(&w));
        QCOMPARE(w.statusWords()->text(), QStringLiteral("不是数字：abc"));
        w.ui().statusError(381);
        QCOMPARE(w.statusWords()->text(), QStringLiteral("无效的属性数组索引"));
    }

    void aSecondDeviceActionIsRefusedWhileOneRuns() {
        TempProgramDir dir;
        MainWindow w;
        int inner = 0;
        bool refused = false;
        QVERIFY(w.runDeviceAction([&] {
            QVERIFY(w.actionRunning());
            refused = !w.runDeviceAction([&] { ++inner; });
            QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("正在与显示屏通讯，请稍候"));
        }));
        QVERIFY(refused);
        QCOMPARE(inner, 0);
        QVERIFY(!w.actionRunning());
        QCOMPARE(w.statusPanel(5)->text(), QString()); // stale once the action ended
        QVERIFY(w.runDeviceAction([&] { ++inner; }));
        QCOMPARE(inner, 1);
    }

    void closingIsRefusedWhileAnActionWaitsForAScreen() {
        TempProgramDir dir;
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        int saves = 0;
        w.onSaveBeforeExit = [&] { ++saves; };
        w.show();
        bool closed = true;
        w.runDeviceAction([&] {
            closed = w.close();
            QCOMPARE(w.statusPanel(5)->text(), QStringLiteral("正在与显示屏通讯，请稍候"));
            w.toolbarAction(MainWindow::Tool::Exit);
        });
        QVERIFY(!closed);
        QVERIFY(w.isVisible());
        QVERIFY(ui.shown.isEmpty()); // not even the exit question
        QCOMPARE(saves, 0);
        ui.answers = {true};
        QVERIFY(w.close());
        QCOMPARE(saves, 1);
    }

    void everyNamedControlHasAnAccessibleName() {
        TempProgramDir dir;
        MainWindow w;
        // Label texts, spins after their fields, descriptive names where no label is.
        const QStringList named = {QStringLiteral("Text22=上行默认叫号信息："),
                                   QStringLiteral("Text8=汉字图号"),
                                   QStringLiteral("VScroll2=动作速度："),
                                   QStringLiteral("VScroll4=当前地址"),
                                   QStringLiteral("VScroll1=窗口号选择"),
                                   QStringLiteral("HScroll1=预览位置"),
                                   QStringLiteral("List2=文字属性"),
                                   QStringLiteral("Textasc=ASC文件"),
                                   QStringLiteral("Command10=发送上行默认叫号信息"),
                                   QStringLiteral("Command11=发送下行默认叫号信息")};
        for (const QString &pair : named)
            QCOMPARE(
                pair.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') +
                    w.findChild<QWidget *>(pair.section(QLatin1Char('='), 0, 0))->accessibleName(),
                pair);
        RecordingOperator ui;
        AddTextDialog add(ui, 66, &w);
        QCOMPARE(add.findChild<QWidget *>(QStringLiteral("List1"))->accessibleName(),
                 QStringLiteral("截取的文字行"));
        QCOMPARE(ProgressWindow(&w).bar()->accessibleName(), QStringLiteral("发送进度"));
    }

    void theToolbarTakesTabAndTheImageOnlyButtonsAreNamed() {
        TempProgramDir dir;
        MainWindow w;
        QStringList spoken; // what a screen reader says for the buttons without caption
        for (QAction *a : w.toolbar()->actions()) {
            QWidget *button = w.toolbar()->widgetForAction(a);
            QVERIFY(!button || a->isSeparator() || (button->focusPolicy() & Qt::TabFocus));
            if (a->data().isValid() && a->text().isEmpty())
                spoken << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        }
        QCOMPARE(spoken, (QStringList{QStringLiteral("图片处理"), QStringLiteral("更新LOGO")}));
        // Tab leaves the logo text instead of typing into it.
        auto *logo = w.findChild<QPlainTextEdit *>(QStringLiteral("Text24"));
        QTest::keyClick(logo, Qt::Key_Tab);
        QCOMPARE(logo->toPlainText(), QString());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
