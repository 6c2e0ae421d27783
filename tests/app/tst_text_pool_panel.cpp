// Covers the text panel's pool widgets: adding through the text entry
// window, selecting a text into the fields, attributes following the
// fields, deleting, and the cancelled file dialog that keeps the window open.
#include "app/TextPanel.h"
#include "support/DeviceRig.h"
#include "support/FileFaults.h"
#include "support/WindowRig.h"
#include "workflows/ScreenLists.h"
#include "workflows/TextPool.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QListView>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
// Runs `step` on the modal window once it is open.
void onDialog(const std::function<void(QDialog &)> &step) {
    QTimer::singleShot(0, [step] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(*dialog);
    });
}

void choose(QDialog &d, const char *option) {
    d.findChild<QRadioButton *>(QString::fromUtf8(option))->setChecked(true);
    d.findChild<QPushButton *>(QStringLiteral("确定"))->click();
}
} // namespace

class TextPoolPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void textsAreAddedSelectedAndDeleted() {
        WindowRig r;
        r.ui.inputs = {QStringLiteral("请到3号窗口"), QStringLiteral("欢迎光临")};
        for (int i = 0; i < 2; ++i) {
            onDialog([](QDialog &d) { choose(d, "Option1_0"); });
            r.click("文字添加");
        }
        ScreenLists &lists = r.w.screenLists();
        QCOMPARE(lists.pool.textLines(), (QStringList{QStringLiteral("红色 请到3号窗口"),
                                                      QStringLiteral("红色 欢迎光临")}));
        QCOMPARE(r.ui.shown.first().text, QStringLiteral("请输入更新的文字"));
        auto *pool = r.w.findChild<QListView *>(QStringLiteral("发送文字"));
        emit pool->clicked(lists.pool.index(0));
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text7"))->text(),
                 QStringLiteral("请到3号窗口"));
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text8"))->text(), QStringLiteral("1"));
        // The arrow keys load the text they move to, as a click does.
        QTest::keyClick(pool, Qt::Key_Down);
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text8"))->text(), QStringLiteral("2"));
        QTest::keyClick(pool, Qt::Key_Up);
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("Text8"))->text(), QStringLiteral("1"));
        r.type("Text3", QStringLiteral("9"));
        QCOMPARE(lists.pool.attributeLines().at(0),
                 QStringLiteral("，动作方式：立即显示，动作速度：2，停留时间：9"));
        r.click("文字删除");
        QCOMPARE(lists.pool.textLines(), QStringList{QStringLiteral("红色 欢迎光临")});
    }

    // While "全部发送" waits for a late screen, every button clicked and every
    // field typed into changes nothing: not the pool, its files, the lists or
    // the connection. Only the stop button of the radio frame stays live.
    void nothingChangesWhileAllTextsAreSent() {
        WindowRig r;
        r.ui.inputs = {QStringLiteral("欢迎光临")};
        onDialog([](QDialog &d) { choose(d, "Option1_0"); });
        r.click("文字添加");
        const auto state = [&r] {
            QStringList s = r.w.screenLists().pool.textLines();
            for (auto *e : r.w.findChildren<QLineEdit *>())
                s << e->objectName() + QLatin1Char('=') + e->text();
            for (auto *c : r.w.findChildren<QComboBox *>())
                s << c->objectName() + QLatin1Char('=') + c->currentText();
            QDirIterator files(r.dir.path(), QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile f(files.next());
                s << f.fileName() + QLatin1Char('=') +
                         QString::number(f.open(QIODevice::ReadOnly) ? qHash(f.readAll()) : 0);
            }
            return s;
        };
        bool clicked = false;
        r.port->onWrite = [&](FakePort &p, const QByteArray &w) {
            QTimer::singleShot(5, &p, [&p, w] { answerLikeBoard(p, w); });
            if (clicked) return;
            clicked = true;
            QTimer::singleShot(0, &r.w, [&] {
                QVERIFY(r.w.actionRunning());
                const QStringList before = state();
                QTimer closer; // a dialog that opens anyway is cancelled
                connect(&closer, &QTimer::timeout, [] {
                    if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                        d->reject();
                });
                closer.start(1);
                for (auto *b : r.w.findChildren<QAbstractButton *>())
                    if (b->objectName() != QStringLiteral("自动设置")) b->click();
                for (auto *e : r.w.findChildren<QLineEdit *>())
                    QTest::keyClicks(e, QStringLiteral("9"));
                QCoreApplication::processEvents(); // the toolbar's queued actions
                QCOMPARE(state(), before);
            });
        };
        r.click("全部发送");
        QVERIFY(clicked);
        QTRY_VERIFY(!r.w.actionRunning());
        QCOMPARE(r.w.screenLists().pool.textLines(), QStringList{QStringLiteral("红色 欢迎光临")});
        QVERIFY(r.w.findChild<QPushButton *>(QStringLiteral("文字清空"))->isEnabled());
    }

    // After the colour lists follow a 单色 screen, combo1 has no "黄色": the
    // text keeps its colour and all its characters, and combo1 never empties.
    void aTextKeepsItsColourWhateverTheColourListsHold() {
        WindowRig r;
        r.w.texts().refillColourLists(0);
        auto *combo1 = r.w.findChild<QComboBox *>(QStringLiteral("combo1"));
        r.ui.inputs = {QStringLiteral("请A001号到3号窗口")};
        onDialog([](QDialog &d) { choose(d, "Option1_2"); });
        r.click("文字添加");
        QCOMPARE(r.w.screenLists().pool.textLines(),
                 QStringList{QStringLiteral("黄色 请A001号到3号窗口")});
        auto *pool = r.w.findChild<QListView *>(QStringLiteral("发送文字"));
        emit pool->clicked(r.w.screenLists().pool.index(0));
        QCOMPARE(combo1->currentText(), QStringLiteral("黑色"));
        r.click("全部发送");
        QVERIFY(r.port->writes.contains(hex("00010012 A5 C7EB41303031BAC5B5BD33BAC5B4B0BFDA")));
    }

    void aReadOnlyRegistryIsNamedBeforeATextIsTyped() {
        WindowRig r;
        QVERIFY(makeReadOnly(r.dir.file(QStringLiteral("ledfile.ini"))));
        // Closes the text entry window should it open all the same.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget *d = QApplication::activeModalWidget()) d->close();
        });
        closer.start(0);
        r.click("文字添加");
        makeWritable(r.dir.file(QStringLiteral("ledfile.ini")));
        QCOMPARE(r.ui.messages(), QStringList{textpool::registryProblem()});
    }

    void aCancelledFileDialogKeepsTheWindowOpen() {
        WindowRig r;
        bool stillOpen = false;
        onDialog([&stillOpen](QDialog &d) {
            choose(d, "O2"); // no file chosen: the window stays
            stillOpen = d.isVisible();
            d.findChild<QPushButton *>(QStringLiteral("取消"))->click();
        });
        r.click("文字添加");
        QVERIFY(stillOpen);
        QVERIFY(r.w.screenLists().pool.textLines().isEmpty());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("错误号75")});
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("出现错误"));
    }
};

QTEST_MAIN(TextPoolPanelTest)
#include "tst_text_pool_panel.moc"
