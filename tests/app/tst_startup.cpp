// Covers start-up around the window: the port scan over ports/COMn links the
// test makes, the port choice, the single-instance rule and the progress
// window that file uploads show, and a start with a hostile ledfile.ini.
#include "app/MainWindow.h"
#include "app/ProgressWindow.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "protocol/led.h"
#include "support/FakePort.h"
#include "support/FileBytes.h"
#include "support/PtyLink.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {
QStringList items(QComboBox *c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out.append(c->itemText(i) + QLatin1Char('|') + c->itemData(i).toString());
    return out;
}

// Holds a port from another process until destroyed.
struct Holder {
    QProcess process;
    explicit Holder(const QString &path) {
        process.start(QStringLiteral(LEDCOUNTER_PORTHOLD), {path});
    }
    bool held() {
        if (!process.waitForReadyRead(10000)) return false;
        return process.readLine().startsWith("held");
    }
    ~Holder() {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000)) process.kill();
    }
};
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void messageBoxesAndFileDialogsSpeakChinese() {
        QVERIFY(installQtChinese());
        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("？"),
                        QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.labelText(QFileDialog::LookIn), QStringLiteral("查找范围："));
    }

    void portScanListsFreeAndTakenPortsWithTheirNumbers() {
        TempProgramDir dir;
        PtyLink one(1), three(3);
        QVERIFY(one.isValid() && three.isValid());
        Holder holder(three.linkPath());
        QVERIFY(holder.held());
        MainWindow w;
        Startup s(w);
        s.scanPorts();
        const QStringList found = items(w.findChild<QComboBox *>(QStringLiteral("Pchao")));
        QVERIFY2(found.contains(QStringLiteral("1|1")), qPrintable(found.join(u',')));
        QVERIFY2(found.contains(QStringLiteral("3 已经占用|3")), qPrintable(found.join(u',')));
        QVERIFY(found.indexOf(QStringLiteral("1|1")) <
                found.indexOf(QStringLiteral("3 已经占用|3")));
        for (const QString &f : found)
            QVERIFY(!f.startsWith(QLatin1String("2|")));
    }

    void aStartWithSumFarAboveTheSectionsListsTheScreensThereAre() {
        TempProgramDir dir;
        const QString ini = dir.file(QStringLiteral("ledfile.ini"));
        const QByteArray bytes = readAll(
            QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/data/hostile/ledfile-sum-far-above.ini"));
        QVERIFY(writeAll(ini, bytes));
        MainWindow w;
        RecordingOperator ui;
        w.setOperator(&ui);
        Startup(w).run();
        QCOMPARE(w.findChild<QListView *>(QStringLiteral("现有屏幕"))->model()->rowCount(), 2);
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY2(ui.shown.at(0).text.startsWith(QStringLiteral("ledfile.ini 中 SUM=32767")),
                 qPrintable(ui.shown.at(0).text));
        QCOMPARE(readAll(ini), bytes);
    }

    void scanLeavesNoPortOpen() {
        TempProgramDir dir;
        PtyLink one(1);
        MainWindow w;
        Startup(w).scanPorts();
        QVERIFY(!w.device().MSComm1().isOpen());
        // The port can be opened at once by someone else.
        Holder holder(one.linkPath());
        QVERIFY(holder.held());
    }

    void portChoiceFallsBackToTheFirstFoundPort() {
        TempProgramDir dir;
        MainWindow w;
        auto *pchao = w.findChild<QComboBox *>(QStringLiteral("Pchao"));
        Startup s(w);
        pchao->addItem(QStringLiteral("5 已经占用"), 5);
        pchao->addItem(QStringLiteral("7"), 7);
        s.choosePort(QStringLiteral("7"));
        QCOMPARE(pchao->currentText(), QStringLiteral("7"));
        s.choosePort(QStringLiteral("9"));
        QCOMPARE(pchao->currentText(), QStringLiteral("5"));
        QCOMPARE(w.portNumber(), 5);
        pchao->clear();
        s.choosePort(QStringLiteral("9"));
        QCOMPARE(pchao->currentText(), QString());
    }

    void aSecondInstanceIsRefusedWithItsMessage() {
        QTemporaryDir dir;
        const QString lock = dir.filePath(QStringLiteral("ledcounter.lock"));
        SingleInstance first(lock);
        QVERIFY(first.acquire());
        SingleInstance second(lock);
        RecordingOperator ui;
        QVERIFY(!second.acquireOrTell(ui));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.at(0).text, QStringLiteral("已经有一个相同的程序在运行，请关闭"));
        QCOMPARE(ui.shown.at(0).caption, QStringLiteral("字库程序"));
    }

    void aLockLeftByAKilledInstanceIsIgnored() {
        QTemporaryDir dir;
        const QString lock = dir.filePath(QStringLiteral("ledcounter.lock"));
        // A process that takes the lock and is then killed.
        QProcess victim;
        victim.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 30")});
        QVERIFY(victim.waitForStarted());
        QFile f(lock);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(victim.processId()) + "\nledcounter\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
        f.close();
        victim.kill();
        QVERIFY(victim.waitForFinished());
        SingleInstance next(lock);
        RecordingOperator ui;
        QVERIFY(next.acquireOrTell(ui));
        QVERIFY(ui.shown.isEmpty());
    }

    void progressWindowFollowsTheTransferAndReleasesTheMainWindow() {
        TempProgramDir dir;
        MainWindow w;
        RecordingOperator quiet; // no real dialog may block a test
        w.setOperator(&quiet);
        w.show();
        led &device = w.device();
        auto port = std::make_unique<FakePort>();
        FakePort *p = port.get();
        device.setPort(std::move(port));
        QList<int> seen;
        bool disabledMeanwhile = true;
        ProgressWindow *shown = nullptr;
        device.PAdress = 1;
        // Watch the bar through the hook's window between packets.
        p->onWrite = [&](FakePort &fp, const QByteArray &bytes) {
            if (bytes.size() == 528 + 4) {
                const auto windows = QApplication::topLevelWidgets();
                for (QWidget *tw : windows)
                    if (auto *pw = qobject_cast<ProgressWindow *>(tw)) shown = pw;
                if (shown) {
                    seen.append(shown->bar()->value());
                    QCOMPARE(shown->bar()->maximum(), 10);
                }
                disabledMeanwhile = disabledMeanwhile && !w.isEnabled();
            }
            answerLikeBoard(fp, bytes);
        };
        qint32 counter = 10;
        QVERIFY(device.senddata(5, counter, 528));
        QCOMPARE(seen, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QVERIFY(disabledMeanwhile);
        QVERIFY(w.isEnabled());
        QTRY_VERIFY(!QApplication::topLevelWidgets().contains(shown));
    }

    void aFailureHalfWayClosesTheWindowAndReenablesTheMainWindow() {
        led::setTimeScale(0.2);
        TempProgramDir dir;
        MainWindow w;
        RecordingOperator quiet; // no real dialog may block a test
        w.setOperator(&quiet);
        w.show();
        auto port = std::make_unique<FakePort>();
        FakePort *p = port.get();
        w.device().setPort(std::move(port));
        int packets = 0;
        p->onWrite = [&](FakePort &fp, const QByteArray &bytes) {
            if (bytes.size() == 1 && ++packets == 5) return; // silence at packet 5
            answerLikeBoard(fp, bytes);
        };
        w.device().PAdress = 1;
        qint32 counter = 10;
        QVERIFY(!w.device().senddata(14, counter, 528));
        QVERIFY(w.isEnabled());
        auto progressShown = [] {
            for (QWidget *tw : QApplication::topLevelWidgets())
                if (qobject_cast<ProgressWindow *>(tw) && tw->isVisible()) return true;
            return false;
        };
        QVERIFY(!progressShown());
        led::setTimeScale(1.0);
    }

    void progressDotsGrowToEightThenStartAgain() {
        ProgressWindow window(nullptr);
        QCOMPARE(window.label()->text(), QStringLiteral("正在发送数据，请耐心等候"));
        QCOMPARE(window.timer()->interval(), 200);
        QVERIFY(window.timer()->isActive());
        const QString dot(QChar(0xFF0E));
        for (int i = 1; i <= 8; ++i) {
            window.tick();
            QCOMPARE(window.label()->text(), QStringLiteral("请耐心等候") + dot.repeated(i));
        }
        window.tick();
        QCOMPARE(window.label()->text(), QStringLiteral("请耐心等候"));
        window.tick();
        QCOMPARE(window.label()->text(), QStringLiteral("请耐心等候") + dot);
    }

    void progressWindowIsCentredOverTheMainWindow() {
        TempProgramDir dir;
        MainWindow w;
        w.setGeometry(100, 100, 1000, 600);
        w.show();
        ProgressWindow window(&w);
        const QRect main = w.frameGeometry();
        QCOMPARE(window.x(), main.left() + (main.width() - window.width()) / 2);
        QCOMPARE(window.y(), main.top() + (main.height() - window.height()) / 2);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
