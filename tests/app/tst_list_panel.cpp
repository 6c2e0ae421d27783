// Covers the list panel's widgets over the message list: composing and
// selecting entries, the clock options, the two-press modify, and the list
// files written at a screen switch and at exit.
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/WindowRig.h"
#include "workflows/MessageList.h"
#include "workflows/ScreenLists.h"

#include <QCheckBox>
#include <QListView>
#include <QStringDecoder>
#include <QtTest>

namespace {
struct Rig : WindowRig {
    ScreenLists &screenLists() { return w.screenLists(); }
    QListView *list() { return w.findChild<QListView *>(QStringLiteral("List1")); }
    QCheckBox *option(int i) {
        return w.findChild<QCheckBox *>(QStringLiteral("Check1_%1").arg(i));
    }
    QPushButton *button(const char *name) {
        return w.findChild<QPushButton *>(QString::fromUtf8(name));
    }
    QStringList entries() {
        QStringList e;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            e << list()->model()->index(i, 0).data().toString();
        return e;
    }
    void choose(int row) {
        list()->setCurrentIndex(list()->model()->index(row, 0));
        emit list()->clicked(list()->model()->index(row, 0));
    }
    QString file(const QString &screen) {
        QStringDecoder gbk("GBK");
        return gbk.decode(readAll(dir.file(QStringLiteral("MapDepot/%1/List1.txt").arg(screen))));
    }
};
} // namespace

class ListPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void entriesAreComposedSelectedAndRemoved() {
        Rig r;
        r.type("Text13", QStringLiteral("3"));
        r.type("Text10", QStringLiteral("5"));
        r.type("Text12", QStringLiteral("10"));
        r.w.findChild<QComboBox *>(QStringLiteral("Combo3"))->setCurrentIndex(4); // 闪烁显示
        r.click("添加列表");
        r.option(3)->setChecked(true);
        QCOMPARE(
            r.entries(),
            (QStringList{QStringLiteral("第3幅图，动作方式：闪烁显示，动作速度：5，停留时间：10"),
                         QStringLiteral("显示时钟64点 ，动作方式：立即显示，停留时间：10")}));
        r.type("Text13", QStringLiteral("7"));
        r.choose(0);
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text13"))->text(), QStringLiteral("3"));
        // Deleting the clock entry unticks its option.
        r.choose(1);
        r.click("删除列表");
        QVERIFY(!r.option(3)->isChecked());
        QCOMPARE(r.entries().size(), 1);
        // A clock entry whose option is not ticked (a file can say so) goes directly.
        r.screenLists().messages.append(ListFiles::clockEntry(1, QStringLiteral("5")));
        r.choose(1);
        r.click("删除列表");
        QCOMPARE(r.entries().size(), 1);
    }

    void aPastedLineBreakNeverReachesAField() {
        Rig r;
        auto *stay = r.w.findChild<QLineEdit *>(QStringLiteral("Text12"));
        stay->clear();
        stay->insert(QStringLiteral("1\r\n0"));
        QCOMPARE(stay->text(), QStringLiteral("10"));
        QCOMPARE(stay->cursorPosition(), 2);
    }

    void modifyingTakesTwoPressesAndKeepsAClocksCaption() {
        Rig r;
        r.option(2)->setChecked(true);
        r.choose(0);
        r.click("修改列表");
        QCOMPARE(r.button("修改列表")->text(), QStringLiteral("修改完成"));
        QVERIFY(!r.button("删除列表")->isEnabled() && !r.button("更新列表")->isEnabled());
        // No deleting meanwhile, not even by double-click.
        emit r.list()->doubleClicked(r.list()->model()->index(0, 0));
        QCOMPARE(r.entries().size(), 1);
        r.type("Text12", QStringLiteral("8"));
        r.type("Text13", QStringLiteral("99"));
        r.click("修改列表");
        QCOMPARE(r.button("修改列表")->text(), QStringLiteral("修改列表"));
        QVERIFY(r.button("清空列表")->isEnabled());
        QCOMPARE(r.entries(),
                 QStringList{QStringLiteral("显示日期64点 ，动作方式：立即显示，停留时间：8")});
        // It is still the option's entry: unticking removes it.
        r.option(2)->setChecked(false);
        QVERIFY(r.entries().isEmpty());
    }

    void aStoreFolderThatCannotBeMadeIsToldOnceAndListsAreNotDroppedAtExit() {
        TempProgramDir dir;
        QVERIFY(writeAll(dir.file(QStringLiteral("MapDepot")), "a file"));
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        Startup(w).run();
        QCOMPARE(ui.messages().size(), 1);
        QVERIFY2(ui.messages().first().contains(QStringLiteral("MapDepot")),
                 qPrintable(ui.messages().first()));
        w.screenLists().messages.append(
            MessageList::pictureEntry(QStringLiteral("1"), QStringLiteral("立即显示"),
                                      QStringLiteral("2"), QStringLiteral("2")));
        ui.answers = {true, false};
        QVERIFY(!w.close());
        QCOMPARE(ui.shown.last().text, QStringLiteral("列表文件无法保存，是否仍然退出？"));
        QCOMPARE(ui.messages().size(), 1);
    }

    void aScreenSwitchAndTheExitWriteTheListFiles() {
        Rig r;
        r.click("添加列表");
        r.type("pname", QStringLiteral("二号"));
        r.type("Pdizhi", QStringLiteral("2"));
        r.click("添加");
        r.click("添加列表");
        // Back to the first screen: the second one's list is on disk first.
        QComboBox *selector = r.w.findChild<QComboBox *>(QStringLiteral("总屏号"));
        selector->setCurrentIndex(0);
        emit selector->activated(0);
        QVERIFY2(r.file(QStringLiteral("二号")).startsWith(QStringLiteral("0,0,0,0,0\r\n第1幅图")),
                 qPrintable(r.file(QStringLiteral("二号"))));
        // "添加" wrote the first screen's list before it selected the new screen.
        QCOMPARE(r.entries().size(), 1);
        selector->setCurrentIndex(1);
        emit selector->activated(1);
        QCOMPARE(r.entries().size(), 1);
        r.option(0)->setChecked(true);
        // Lists that cannot be written: the operator is asked, and No keeps the window.
        QVERIFY(makeReadOnly(r.dir.file(QStringLiteral("MapDepot/二号"))));
        {
            RunUnprivileged nobody;
            QVERIFY(nobody.active());
            r.ui.answers = {true, false};
            QVERIFY(!r.w.close());
        }
        QCOMPARE(r.ui.shown.last().text, QStringLiteral("列表文件无法保存，是否仍然退出？"));
        QVERIFY(makeWritable(r.dir.file(QStringLiteral("MapDepot/二号"))));
        r.ui.answers = {true};
        QVERIFY(r.w.close());
        QVERIFY(r.file(QStringLiteral("二号")).startsWith(QStringLiteral("1,1,0,0,0\r\n")));
    }
};

QTEST_MAIN(ListPanelTest)
#include "tst_list_panel.moc"
