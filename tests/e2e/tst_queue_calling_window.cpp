// Covers the queue-calling frame of the window end to end: the buttons, the
// production serial port and a virtual screen on a pty. What the screen
// received is compared byte for byte with the documented example.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "protocol/led.h"
#include "sim/VirtualLine.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
    QByteArray received() const {
        QByteArray all;
        for (const Frame &f : line.frames())
            all.append(f.raw);
        return all;
    }
};
} // namespace

class QueueCallingWindowTest : public QObject {
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
};

QTEST_MAIN(QueueCallingWindowTest)
#include "tst_queue_calling_window.moc"
