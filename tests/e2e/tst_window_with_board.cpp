// Covers the window end to end: the buttons, the production serial port and a
// virtual board on a pty. What the board received is compared byte for byte
// with the documented example, and what it then shows dot for dot.
#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/PortListFollower.h"
#include "app/ProgressWindow.h"
#include "app/RadioPanel.h"
#include "app/ScanDialog.h"
#include "app/Startup.h"
#include "config/CIniFile.h"
#include "protocol/PortWatch.h"
#include "protocol/led.h"
#include "sim/BoardWatcher.h"
#include "sim/Unifont.h"
#include "sim/VirtualLine.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"
#include "workflows/ScreenLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray hex(const char *t) {
    return QByteArray::fromHex(t);
}

struct WindowRig {
    TempProgramDir dir;
    VirtualLine line;
    MainWindow w;
    RecordingOperator ui;
    WindowRig() {
        line.addBoard(1);
        QString error;
        if (!line.plugIn(VirtualLine::portLink(dir.path(), 101), &error)) qWarning() << error;
        w.setOperator(&ui);
        Startup(w).run();
        w.findChild<QComboBox *>(QStringLiteral("Pchao"))->setCurrentText(QStringLiteral("101"));
        w.findChild<QLineEdit *>(QStringLiteral("Pdizhi"))->setText(QStringLiteral("1"));
        for (const char16_t *name : {u"字库颜色", u"ASC颜色", u"combo1"})
            w.findChild<QComboBox *>(QString::fromUtf16(name))->setCurrentIndex(0);
    }
    // The board's dots now.
    QImage dots() const { return BoardWatcher::dots(*line.board(1)); }
    void click(const char *name) { w.findChild<QPushButton *>(QString::fromUtf8(name))->click(); }
    QString text(const char *name) const {
        return w.findChild<QLineEdit *>(QString::fromUtf8(name))->text();
    }
    QComboBox *list(const char *name) const {
        return w.findChild<QComboBox *>(QString::fromUtf8(name));
    }
    // A key of screen 1's section in ledfile.ini.
    QString key(const char *name) const {
        CIniFile ini;
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        return ini.ReadString(QStringLiteral("第 1号屏"), QLatin1String(name), 100);
    }
    QByteArray received() const {
        QByteArray all;
        for (const Frame &f : line.frames())
            all.append(f.raw);
        return all;
    }
};
} // namespace

// The lit dots of a 16 x 16 cell of `dots` as glyph bytes (two per row).
QByteArray cellBits(const QImage &dots, int x0, int y0) {
    QByteArray bits(32, '\0');
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qRed(dots.pixel(x0 + x, y0 + y)) > 0) bits[y * 2 + x / 8] |= char(0x80 >> (x % 8));
    return bits;
}

int litDots(const QImage &dots) {
    int n = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            n += dots.pixel(x, y) != qRgb(0, 0, 0);
    return n;
}

class WindowWithBoardTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.25); }

    void testUpperPutsTheDocumentedBytesOnTheLine() {
        WindowRig r;
        QVERIFY(r.line.isPlugged());
        r.w.findChild<QLineEdit *>(QStringLiteral("Text6"))->setText(QStringLiteral("欢迎光临"));
        r.w.findChild<QPushButton *>(QStringLiteral("Command8"))->click();
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("汉字发送成功")});
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("汉字发送"));
        // Picture 1: command byte 17, count bytes 07 01, one packet of 9 bytes;
        // then the list command with the block 1E 00 02 02.
        QCOMPARE(r.received(), hex("AA550001"
                                   "04000001110701"
                                   "0001000900BBB6D3ADB9E2C1D9"
                                   "38"
                                   "AA550001"
                                   "04000001020001"
                                   "000100041E000202"
                                   "1B"));
        const BoardState &board = r.line.board(1)->state();
        QCOMPARE(board.pictures.value(1).rows.value(0), hex("00BBB6D3ADB9E2C1D9"));
        QCOMPARE(board.pictures.value(1).parameter, quint8(7));
        QCOMPARE(board.messageList, hex("1E000202"));
        QVERIFY(!r.w.device().MSComm1().isOpen());
    }

    void aCallingMessageLightsTheUpperLineInItsColour() {
        WindowRig r;
        r.w.findChild<QComboBox *>(QStringLiteral("字库颜色"))->setCurrentIndex(1); // 红色
        r.w.findChild<QLineEdit *>(QStringLiteral("Text6"))->setText(QStringLiteral("欢迎光临"));
        r.click("Command8");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QCOMPARE(r.line.board(1)->state().pictures.value(1).text, QStringLiteral("欢迎光临"));
        const QImage dots = r.dots();
        QCOMPARE(dots.size(), QSize(128, 32));
        // 欢 (U+6B22) in the first cell of the upper line, in red, as the font has it.
        QCOMPARE(cellBits(dots, 0, 0).toHex(), Unifont::instance().glyph(0x6B22).toHex());
        QCOMPARE(dots.pixel(dots.width() - 1, 0), qRgb(0, 0, 0));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x)
                QVERIFY(dots.pixel(x, y) == qRgb(0, 0, 0) || dots.pixel(x, y) == qRgb(255, 0, 0));
        // Nothing on the lower line: no text for it yet.
        QCOMPARE(litDots(dots.copy(0, 16, 128, 16)), 0);
    }

    void brightnessDimsAndPowerDarkensTheBoard() {
        WindowRig r;
        r.w.findChild<QComboBox *>(QStringLiteral("字库颜色"))->setCurrentIndex(1);
        r.click("Command10"); // the upper default text, 欢迎光临
        const int lit = litDots(r.dots());
        QVERIFY(lit > 100);
        r.w.findChild<QLineEdit *>(QStringLiteral("亮度"))->setText(QStringLiteral("128"));
        r.click("设置亮度");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("设置成功"));
        QCOMPARE(r.line.board(1)->state().brightness, 128);
        QCOMPARE(litDots(r.dots()), lit);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x)
                QVERIFY(r.dots().pixel(x, y) == qRgb(0, 0, 0) ||
                        r.dots().pixel(x, y) == qRgb(128, 0, 0));
        r.click("关屏");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("关屏成功"));
        QVERIFY(!r.line.board(1)->state().screenOn());
        QCOMPARE(litDots(r.dots()), 0);
        r.click("开屏");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("开屏成功"));
        QCOMPARE(litDots(r.dots()), lit);
    }

    void propertyReadShowsTheBoardsProperties() {
        WindowRig r;
        r.line.board(1)->state().setSize(96, 16);
        r.click("属性获取");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("版本号：1.0"));
        QCOMPARE(r.text("Pchang"), QStringLiteral("96"));
        QCOMPARE(r.list("pgao")->currentText(), QStringLiteral("16"));
        QCOMPARE(r.text("PID"), QStringLiteral("LEDSIM0001"));
        QCOMPARE(r.list("色彩")->currentText(), QStringLiteral("双色"));
        QCOMPARE(r.key("Pchang"), QStringLiteral("96"));
    }

    void propertyWriteChangesTheBoardsBlock() {
        WindowRig r;
        r.list("主控类型")->setCurrentIndex(3); // 准24点阵, code 12
        r.w.findChild<QLineEdit *>(QStringLiteral("Pchang"))->setText(QStringLiteral("160"));
        r.click("修改属性");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("属性修改成功"));
        const BoardState &board = r.line.board(1)->state();
        QCOMPARE(quint8(board.parameterBlock.at(4)), quint8(12));
        QCOMPARE(board.width(), 160);
        QCOMPARE(r.key("Pleixing"), QStringLiteral("3"));
    }

    void addressChangeMovesTheBoardAndTheRegistryFollows() {
        WindowRig r;
        r.w.findChild<QLineEdit *>(QStringLiteral("Text11"))->setText(QStringLiteral("7"));
        r.list("Combo2")->setCurrentIndex(1); // 19200
        r.click("修改地址");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("波特率和串口地址修改成功"));
        QVERIFY(!r.line.board(1));
        QCOMPARE(r.line.board(7)->state().baudCode, 119);
        QCOMPARE(r.text("Pdizhi"), QStringLiteral("7"));
        QCOMPARE(r.list("Pbtl")->currentText(), QStringLiteral("19200"));
        QCOMPARE(r.key("Padr"), QStringLiteral("7"));
        QCOMPARE(r.key("Pbtl"), QStringLiteral("19200"));
    }

    // Boards at two rates: the scan window lists each at its own rate, and
    // the one added becomes a screen of ledfile.ini with what the scan found.
    void theScanWindowFindsBoardsAndAddsOneAsAScreen() {
        WindowRig r;
        r.line.board(1)->setOwnRate(true); // baud code 239: 9600
        r.line.addBoard(17).setOwnRate(true);
        VirtualBoard &fast = r.line.addBoard(30);
        fast.state().baudCode = 119; // 19200
        fast.setOwnRate(true);
        r.click("扫描");
        auto *scan = r.w.findChild<ScanDialog *>();
        QVERIFY(scan && scan->isVisible());
        scan->findChild<QLineEdit *>(QStringLiteral("地址范围"))->setText(QStringLiteral("0-31"));
        scan->findChild<QPushButton *>(QStringLiteral("开始扫描"))->click();
        QVERIFY(!scan->scanning());
        auto *found = scan->findChild<QListWidget *>(QStringLiteral("找到的屏幕"));
        QCOMPARE(found->count(), 3);
        QCOMPARE(found->item(2)->text(), QStringLiteral("地址 30    波特率 19200"));
        QVERIFY(r.w.isEnabled() && r.w.centralWidget()->isEnabled());

        found->setCurrentRow(2);
        QCOMPARE(scan->findChild<QLineEdit *>(QStringLiteral("新屏名称"))->text(),
                 QStringLiteral("地址30"));
        const qsizetype shown = r.ui.shown.size();
        scan->findChild<QPushButton *>(QStringLiteral("添加为屏幕"))->click();
        QCOMPARE(r.ui.shown.size(), shown); // the connection test passed: no message
        CIniFile ini;
        ini.SpecifyIni(r.dir.file(QStringLiteral("ledfile.ini")));
        const QString added = QStringLiteral("第 2号屏");
        QCOMPARE(ini.ReadString(QStringLiteral("屏总数"), QStringLiteral("SUM"), 10),
                 QStringLiteral("2"));
        QCOMPARE(ini.ReadString(added, QStringLiteral("Pname"), 100), QStringLiteral("地址30"));
        QCOMPARE(ini.ReadString(added, QStringLiteral("Pcode"), 100), QStringLiteral("101"));
        QCOMPARE(ini.ReadString(added, QStringLiteral("Pbtl"), 100), QStringLiteral("19200"));
        QCOMPARE(ini.ReadString(added, QStringLiteral("Padr"), 100), QStringLiteral("30"));

        // "取消" is heard while the scan waits for a board.
        scan->findChild<QLineEdit *>(QStringLiteral("地址范围"))->setText(QStringLiteral("0-255"));
        QTimer::singleShot(100, scan->findChild<QPushButton *>(QStringLiteral("取消")),
                           &QPushButton::click);
        scan->findChild<QPushButton *>(QStringLiteral("开始扫描"))->click();
        QVERIFY(scan->findChild<QLabel *>(QStringLiteral("扫描状态"))
                    ->text()
                    .startsWith(QStringLiteral("扫描已取消")));
        auto *bar = scan->findChild<QProgressBar *>(QStringLiteral("扫描进度"));
        QVERIFY(bar->value() < bar->maximum());
    }

    void theConnectionTestOfASilentScreenTellsAndRescans() {
        WindowRig r;
        r.w.findChild<QLineEdit *>(QStringLiteral("Pdizhi"))->setText(QStringLiteral("9"));
        r.click("屏幕修改");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("连接失败,请检查设置或查看硬件连接是否有误"));
        QComboBox *ports = r.list("Pchao");
        QCOMPARE(ports->count(), 1); // only the board's port is linked here
        QCOMPARE(ports->itemText(0), QStringLiteral("101"));
        QCOMPARE(ports->currentText(), QStringLiteral("101"));
        // An answering screen: its properties, no message.
        const int shown = int(r.ui.shown.size());
        r.w.findChild<QLineEdit *>(QStringLiteral("Pdizhi"))->setText(QStringLiteral("1"));
        r.click("屏幕修改");
        QCOMPARE(r.ui.shown.size(), shown);
        QCOMPARE(r.text("Pchang"), QStringLiteral("128"));
        QCOMPARE(r.key("PScan"), QStringLiteral("2"));
    }

    void anUploadedListReachesTheBoardAsOneListCommand() {
        WindowRig r;
        r.w.findChild<QLineEdit *>(QStringLiteral("Text13"))->setText(QStringLiteral("4"));
        r.click("添加列表");
        r.w.findChild<QCheckBox *>(QStringLiteral("Check1_1"))->setChecked(true);
        r.line.clearRecord();
        r.click("更新列表");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("列表发送成功"));
        QCOMPARE(r.received(), hex("AA550001 04000001020001 00010008 04000202 FF000002 F0"));
        const BoardState &board = r.line.board(1)->state();
        QVERIFY(board.listPlaying);
        QCOMPARE(board.listEntries.size(), 2);
        QCOMPARE(board.listEntries.at(1).picture, quint8(0xFF));
        QCOMPARE(board.lastExchange, QStringLiteral("列表 2 项"));
    }

    void aWindowNumberAndALogoAppearOnTheBoard() {
        WindowRig r;
        r.w.toolbarAction(MainWindow::Tool::SendMessage); // refills the colour lists
        r.w.findChild<QLineEdit *>(QStringLiteral("窗口号"))->setText(QStringLiteral("\\7"));
        r.click("Command12");
        const BoardState &board = r.line.board(1)->state();
        QVERIFY(board.windowNumber.set);
        QCOMPARE(board.windowNumber.displayCodes().trimmed(), QByteArray("7"));
        QCOMPARE(board.windowNumber.colour, quint8(0x01)); // one colour: 红色 on 黑色
        r.w.findChild<QPlainTextEdit *>(QStringLiteral("Text24"))
            ->setPlainText(QString(40, QChar(0x6B22)));
        r.click("Command1");
        QTRY_COMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QCOMPARE(board.pictures.value(2).text, QString(8, QChar(0x6B22)));
        QVERIFY(board.listPlaying);
        const QImage dots = r.dots();
        QCOMPARE(litDots(dots.copy(0, 0, 32, 32)) > 0, true);  // the 7
        QCOMPARE(litDots(dots.copy(32, 0, 96, 16)) > 0, true); // the logo's first picture
    }

    void sendAllAnsweredNoAfterARefusedTextSendsNothingFurther() {
        WindowRig r;
        r.w.screenLists().pool.setTextLines(
            {QStringLiteral("绿色 欢迎光临"), QStringLiteral("绿色 请稍候")});
        FaultPlan faults;
        QVERIFY(faults.add(QStringLiteral("wrong-ack:1")));
        r.line.setFaults(faults);
        r.ui.answers = {false};
        r.click("全部发送");
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("第 1更新失败，是否继续发送？"));
        int headers = 0;
        for (const Frame &f : r.line.frames())
            headers += f.kind == Frame::Kind::Header;
        QCOMPARE(headers, 1);
        QVERIFY(!r.line.board(1)->state().pictures.contains(2));
        // Answered, the same pool lands as pictures 1 and 2.
        r.line.clearFaults();
        r.click("全部发送");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QCOMPARE(r.line.board(1)->state().pictures.value(2).text, QStringLiteral("请稍候"));
        QCOMPARE(r.text("Text9"), QStringLiteral("48"));
    }

    void aTwoColourPictureReachesTheBoardAsFourPackets() {
        WindowRig r;
        QImage picture(64, 32, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        for (int y = 0; y < 32; ++y)
            for (int x = 32; x < 64; ++x)
                picture.setPixel(x, y, qRgb(0, 255, 0));
        const QString path = r.dir.file(QStringLiteral("logo.png"));
        QVERIFY(picture.save(path));
        r.list("色彩")->setCurrentIndex(1); // 双色
        r.w.findChild<QLineEdit *>(QStringLiteral("Pchang"))->setText(QStringLiteral("96"));
        r.list("pgao")->setCurrentText(QStringLiteral("32"));
        r.w.toolbarAction(MainWindow::Tool::SendMessage);
        r.ui.files = {path};
        r.click("添加图像");
        r.click("发送图像");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("更新成功"));
        const StoredPicture &stored = r.line.board(1)->state().pictures.value(1);
        QCOMPARE(stored.kind, StoredPicture::Kind::Image);
        QCOMPARE(stored.planes, 2);
        QCOMPARE(stored.rows.size(), 4);
        r.line.board(1)->state().setSize(96, 32);
        const QImage dots = r.dots();
        QCOMPARE(dots.pixel(32 + 5, 3), qRgb(255, 0, 0)); // after the window number
        QCOMPARE(dots.pixel(32 + 40, 30), qRgb(0, 255, 0));
    }

    void aScreenThatRefusesThePictureGetsNoDisplayBlock() {
        WindowRig r;
        FaultPlan faults;
        QVERIFY(faults.add(QStringLiteral("wrong-ack:1")));
        r.line.setFaults(faults);
        r.w.findChild<QLineEdit *>(QStringLiteral("Text6"))->setText(QStringLiteral("欢迎光临"));
        r.w.findChild<QPushButton *>(QStringLiteral("Command8"))->click();
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("汉字发送失败")});
        int headers = 0;
        for (const Frame &f : r.line.frames())
            if (f.kind == Frame::Kind::Header) {
                ++headers;
                QCOMPARE(f.command, quint8(17));
            }
        QCOMPARE(headers, 1);
        QVERIFY(r.line.board(1)->state().messageList.isEmpty());
        QVERIFY(!r.w.device().MSComm1().isOpen());
        // The next send works once the screen behaves.
        r.line.clearFaults();
        r.w.findChild<QPushButton *>(QStringLiteral("Command8"))->click();
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void defaultLowerStoresPictureFive() {
        WindowRig r;
        r.w.findChild<QLineEdit *>(QStringLiteral("Text23"))->setText(QStringLiteral("请稍候"));
        r.w.findChild<QPushButton *>(QStringLiteral("Command11"))->click();
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QCOMPARE(r.line.board(1)->state().pictures.value(5).rows.value(0), hex("00C7EBC9D4BAF2"));
    }

    void aFirmwareUpdateArrivesWholeWithTheProgressWindow() {
        WindowRig r;
        r.w.show();
        QByteArray firmware(100000, Qt::Uninitialized);
        QRandomGenerator rng(14);
        for (char &c : firmware)
            c = char(rng.bounded(256));
        const QString path = r.dir.file(QStringLiteral("arm.bin"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(firmware) == firmware.size());
        f.close();
        r.w.findChild<QLineEdit *>(QStringLiteral("Textziku"))->setText(path);
        QList<int> seen;
        int maximum = 0;
        bool disabled = true;
        QObject::connect(&r.line, &VirtualLine::frameReceived, &r.line, [&](const Frame &) {
            for (QWidget *tw : QApplication::topLevelWidgets())
                if (auto *pw = qobject_cast<ProgressWindow *>(tw); pw && pw->isVisible()) {
                    if (seen.isEmpty() || seen.last() != pw->bar()->value())
                        seen.append(pw->bar()->value());
                    maximum = pw->bar()->maximum();
                    disabled = disabled && !r.w.isEnabled();
                }
        });
        r.click("Command5");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("更新成功"));
        QList<int> expected;
        for (int k = 0; k < 190; ++k)
            expected.append(k);
        QCOMPARE(seen, expected);
        QCOMPARE(maximum, 190);
        QVERIFY(disabled);
        const Upload upload = r.line.board(1)->state().uploads.value(5);
        QCOMPARE(upload.packets, 190);
        QCOMPARE(upload.bytes.left(100000), firmware);
        QCOMPARE(upload.bytes.mid(100000), QByteArray(190 * 528 - 100000, char(0xFF)));
    }

    void theRadioFrameReadsAndSetsTheModule() {
        WindowRig r;
        r.line.radio().version = "1.5";
        r.click("检测模块");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("获取成功，版本号：1.5"));
        QCOMPARE(r.text("信道号"), QStringLiteral("22"));
        QCOMPARE(r.list("功率档")->currentText(), QStringLiteral("4"));
        r.w.findChild<QLineEdit *>(QStringLiteral("信道号"))->setText(QStringLiteral("30"));
        r.click("设置信道");
        QCOMPARE(r.ui.lastMessage(),
                 QStringLiteral("无线模块属性设置成功，请务必给无线模块断电重新上电！"));
        QCOMPARE(r.line.radio().channel, 30);
        QCOMPARE(r.line.radio().settings, (QList<QByteArray>{"S18640", "S20?36"}));
        r.click("Command7");
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("1.50?324186"));

        // "自动设置" sets whatever module is attached, tick after tick.
        r.line.radio().settings.clear();
        r.w.findChild<QLineEdit *>(QStringLiteral("信道号"))->setText(QStringLiteral("12"));
        r.w.parameters().radio().repeated().setInterval(10);
        r.click("自动设置");
        QTRY_VERIFY(r.line.radio().settings.size() >= 4);
        r.click("自动设置");
        QCOMPARE(r.line.radio().channel, 12);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("设置完信道，请务必给无线模块断电重新上电！"));
    }

    // A device that goes while the window runs is marked in the port list
    // (not while an action holds the port: after it), the mark goes when it
    // is back, and the next command on the port works.
    void thePortListFollowsPortsThatComeAndGo() {
        WindowRig r;
        QComboBox *ports = r.list("Pchao");
        auto items = [ports] {
            QStringList texts;
            for (int i = 0; i < ports->count(); ++i)
                texts.append(ports->itemText(i));
            return texts;
        };
        QCOMPARE(items(), QStringList{QStringLiteral("101")});
        auto *watch = r.w.findChild<PortListFollower *>()->findChild<PortWatch *>();
        QSignalSpy seen(watch, &PortWatch::changed);
        QVERIFY(r.w.beginDeviceAction());
        r.line.unplug();
        QVERIFY(seen.wait(3000));
        QCOMPARE(items().value(0), QStringLiteral("101"));
        r.w.endDeviceAction();
        QTRY_COMPARE_WITH_TIMEOUT(items().value(0), QStringLiteral("101 (已拔出)"), 3000);
        QCOMPARE(ports->currentText(), QStringLiteral("101"));

        QVERIFY(r.line.plugIn(VirtualLine::portLink(r.dir.path(), 101)));
        QTRY_COMPARE_WITH_TIMEOUT(items().value(0), QStringLiteral("101"), 3000);
        r.w.findChild<QLineEdit *>(QStringLiteral("Text6"))->setText(QStringLiteral("欢迎光临"));
        r.click("Command8");
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("汉字发送成功")});
        QCOMPARE(r.line.board(1)->state().pictures.value(1).text, QStringLiteral("欢迎光临"));
    }
};

QTEST_MAIN(WindowWithBoardTest)
#include "tst_window_with_board.moc"
