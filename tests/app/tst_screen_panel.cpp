// Covers the screen-management panel and the connection row wired to the
// registry: adding, selecting and deleting screens through the widgets, the
// fields following the current screen, and the highlighted row always being
// the current screen.
#include "support/WindowRig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringDecoder>
#include <QtTest>

namespace {
struct PanelRig : WindowRig {
    QLineEdit *field(const char *name) { return w.findChild<QLineEdit *>(QString::fromUtf8(name)); }
    QComboBox *selector() { return w.findChild<QComboBox *>(QStringLiteral("总屏号")); }
    QListView *list() { return w.findChild<QListView *>(QStringLiteral("现有屏幕")); }
    QList<int> highlighted() {
        QList<int> rows;
        for (const QModelIndex &i : list()->selectionModel()->selectedRows())
            rows.append(i.row());
        return rows;
    }
    void addScreen(const QString &name, const QString &address) {
        field("pname")->setText(name);
        field("Pdizhi")->setText(address);
        click("添加");
    }
    QString ini() {
        QFile f(dir.file(QStringLiteral("ledfile.ini")));
        if (!f.open(QIODevice::ReadOnly)) return QString();
        QStringDecoder gbk("GBK");
        return gbk.decode(f.readAll());
    }
};
} // namespace

class ScreenManagementTest : public QObject {
    Q_OBJECT
  private slots:
    // Adding tests the connection to a screen that never answers: no need to wait it out in full.
    void initTestCase() { led::setTimeScale(0.2); }

    void firstStartShowsTheDefaultScreenInBothViews() {
        PanelRig r;
        QCOMPARE(r.selector()->count(), 1);
        QCOMPARE(r.selector()->currentText(), QStringLiteral("第一号屏"));
        auto *list = r.w.findChild<QListView *>(QStringLiteral("现有屏幕"));
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(r.field("pname")->text(), QStringLiteral("第一号屏"));
        QCOMPARE(r.w.addressText(), QStringLiteral("1"));
        QVERIFY(r.ini().startsWith(QStringLiteral("[屏总数]\r\nSUM=1\r\n")));
    }

    void addingASecondScreenStoresItsFieldsAndMakesItCurrent() {
        PanelRig r;
        r.field("pname")->setText(QStringLiteral("收费窗口"));
        r.field("Pdizhi")->setText(QStringLiteral("7"));
        r.w.findChild<QComboBox *>(QStringLiteral("Pbtl"))->setCurrentIndex(3);
        r.click("添加");
        QCOMPARE(r.selector()->count(), 2);
        QCOMPARE(r.selector()->currentText(), QStringLiteral("收费窗口"));
        const QString ini = r.ini();
        QVERIFY2(ini.contains(QStringLiteral("[第 2号屏]\r\n")), qPrintable(ini));
        QVERIFY(ini.contains(QStringLiteral("Padr=7\r\n")));
        QVERIFY(ini.contains(QStringLiteral("Pbtl=115200\r\n")));
        QVERIFY(QFileInfo(r.dir.file(QStringLiteral("MapDepot/收费窗口"))).isDir());

        // Selecting the first screen in 总屏号 brings its fields back.
        r.selector()->setCurrentIndex(0);
        emit r.selector()->activated(0);
        QCOMPARE(r.field("pname")->text(), QStringLiteral("第一号屏"));
        QCOMPARE(r.w.addressText(), QStringLiteral("1"));
        QCOMPARE(r.w.baudText(), QStringLiteral("9600"));
    }

    void aDuplicateAddressIsRefusedWhateverItsSpelling() {
        PanelRig r;
        r.field("pname")->setText(QStringLiteral("二号"));
        r.field("Pdizhi")->setText(QStringLiteral("01"));
        r.click("添加");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("板卡号码重复，请输入合适的卡号"));
        QCOMPARE(r.selector()->count(), 1);
    }

    void deletingTheCurrentScreenSelectsTheOneBefore() {
        PanelRig r;
        r.field("pname")->setText(QStringLiteral("二号"));
        r.field("Pdizhi")->setText(QStringLiteral("2"));
        r.click("添加");
        QCOMPARE(r.selector()->count(), 2);
        r.ui.answers = {true, true};
        r.click("删除");
        QCOMPARE(r.selector()->count(), 1);
        QCOMPARE(r.selector()->currentText(), QStringLiteral("第一号屏"));
        QCOMPARE(r.w.addressText(), QStringLiteral("1"));
        QVERIFY(r.ini().contains(QStringLiteral("SUM=1\r\n")));
    }

    void theKeyboardSelectsAndDeleteRemovesTheHighlightedScreen() {
        PanelRig r;
        r.addScreen(QStringLiteral("二号"), QStringLiteral("2"));
        r.addScreen(QStringLiteral("三号"), QStringLiteral("3"));
        QCOMPARE(r.selector()->count(), 3);
        r.w.toolbarAction(MainWindow::Tool::Screens);
        r.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.w));
        const QRect first = r.list()->visualRect(r.list()->model()->index(0, 0));
        QTest::mouseClick(r.list()->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(r.field("pname")->text(), QStringLiteral("第一号屏"));
        QTest::keyClick(r.list(), Qt::Key_Down);
        QTest::keyClick(r.list(), Qt::Key_Down);
        QCOMPARE(r.field("pname")->text(), QStringLiteral("三号"));
        QCOMPARE(r.w.addressText(), QStringLiteral("3"));
        QCOMPARE(r.selector()->currentText(), QStringLiteral("三号"));
        r.ui.answers = {true, true};
        r.click("删除");
        QCOMPARE(r.list()->model()->data(r.list()->model()->index(0, 0)).toString(),
                 QStringLiteral("第一号屏"));
        QCOMPARE(r.selector()->count(), 2);
        QCOMPARE(r.selector()->itemText(1), QStringLiteral("二号"));
    }

    void choosingInTheSelectorMovesTheHighlight() {
        PanelRig r;
        r.addScreen(QStringLiteral("二号"), QStringLiteral("2"));
        QCOMPARE(r.highlighted(), QList<int>{1});
        r.selector()->setCurrentIndex(0);
        emit r.selector()->activated(0);
        QCOMPARE(r.highlighted(), QList<int>{0});
        QCOMPARE(r.list()->currentIndex().row(), 0);
    }

    void selectionIsRefusedWhileACommandWaits() {
        PanelRig r;
        r.field("pname")->setText(QStringLiteral("二号"));
        r.field("Pdizhi")->setText(QStringLiteral("2"));
        r.click("添加");
        r.w.runDeviceAction([&] {
            r.selector()->setCurrentIndex(0);
            emit r.selector()->activated(0);
        });
        QCOMPARE(r.selector()->currentText(), QStringLiteral("二号"));
        QCOMPARE(r.w.addressText(), QStringLiteral("2"));
        // By keyboard too: the highlight goes back to the current screen.
        r.w.runDeviceAction([&] { QTest::keyClick(r.list(), Qt::Key_Up); });
        QTRY_COMPARE(r.highlighted(), QList<int>{1});
        QCOMPARE(r.list()->currentIndex().row(), 1);
        QCOMPARE(r.field("pname")->text(), QStringLiteral("二号"));
    }
};

QTEST_MAIN(ScreenManagementTest)
#include "tst_screen_panel.moc"
