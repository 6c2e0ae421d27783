// Covers the queue-calling frame "发送叫号信息" from its buttons to the bytes on
// the line, against a scripted port: colour byte, pictures, display block,
// refusals before anything is sent, and the operator's messages.
#include "support/WindowRig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QByteArray hex(const char *t) {
    return QByteArray::fromHex(t);
}

struct Rig : WindowRig {
    void setColours(int hanzi, int asc, int background) {
        w.control<QComboBox>(QStringLiteral("字库颜色"))->setCurrentIndex(hanzi);
        w.control<QComboBox>(QStringLiteral("ASC颜色"))->setCurrentIndex(asc);
        w.control<QComboBox>(QStringLiteral("combo1"))->setCurrentIndex(background);
    }
};
} // namespace

class QueueCallingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void testUpperSendsThePictureThenTheDisplayBlock() {
        Rig r;
        r.setColours(0, 0, 0);
        r.type("Text6", QStringLiteral("欢迎光临"));
        r.click("Command8");
        QCOMPARE(r.port->writes,
                 (QList<QByteArray>{hex("AA550001"), hex("04000001110701"),
                                    hex("00010009 00BBB6D3ADB9E2C1D9"), hex("38"), hex("AA550001"),
                                    hex("04000001020001"), hex("000100041E000202"), hex("1B")}));
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("汉字发送成功"));
        QCOMPARE(r.ui.shown.at(0).caption, QStringLiteral("汉字发送"));
        QVERIFY(r.w.control<QCheckBox>(QStringLiteral("排队"))->isChecked());
    }

    void colourListsGiveTheLineColourByte() {
        Rig r;
        r.setColours(1, 3, 2); // 红色, 黄色, 绿色 background: 128 + 48 + 1
        r.type("Text6", QStringLiteral("A"));
        r.click("Command9");
        QCOMPARE(r.port->writes.at(1), hex("04000001120001")); // picture 2, n - 1 = 0
        QCOMPARE(r.port->writes.at(2), hex("00010002 B141"));
    }

    void emptyTextIsRefusedWithoutTouchingTheLine() {
        Rig r;
        r.type("Text6", QString());
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("请输入汉字"));
        QCOMPARE(r.ui.shown.at(0).caption, QString()); // the application title
        QVERIFY(!r.w.control<QCheckBox>(QStringLiteral("排队"))->isChecked());
    }

    void controlCharactersOnlyCountAsEmptyAndABlankDoesNot() {
        Rig r;
        r.setColours(0, 0, 0);
        r.type("Text6", QStringLiteral("\t"));
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("请输入汉字"));
        r.type("Text6", QStringLiteral(" "));
        r.click("Command8");
        QCOMPARE(r.port->writes.value(2), hex("00010002 0020"));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void outOfRangeSpeedAndTooLongTextAreRefusedBeforeSending() {
        Rig r;
        r.type("Text6", QStringLiteral("欢迎"));
        r.type("Text14", QStringLiteral("300"));
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QVERIFY(r.ui.lastMessage().contains(QStringLiteral("动作速度")));
        r.type("Text14", QStringLiteral("2"));
        r.type("Text6", QString(129, QChar(0x6B22))); // 258 code bytes
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QVERIFY(r.ui.lastMessage().contains(QStringLiteral("256")));
        r.type("Text6", QString(128, QChar(0x6B22))); // exactly 256
        r.click("Command8");
        QCOMPARE(r.port->writes.value(1), hex("040000011 1FF01"));
    }

    void valuesFarOutsideTheirRangeAreNeverWrappedAround() {
        Rig r;
        r.type("Text6", QStringLiteral("欢迎"));
        r.type("Text17", QStringLiteral("4294967297")); // would wrap to 1 in 32 bits
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QVERIFY(r.ui.lastMessage().contains(QStringLiteral("页面时间")));
        r.type("Text17", QStringLiteral("30"));
        r.type("Pdizhi", QStringLiteral("65537")); // would wrap to board 1
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.w.statusPanel(5)->text(), QStringLiteral("6"));
    }

    void unrepresentableCharactersAreNamedAndSendingNeedsAYes() {
        Rig r;
        r.type("Text6", QStringLiteral("请A001号到3号窗口\u0E01"));
        r.ui.answers = {false};
        r.click("Command8");
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.last().kind, QStringLiteral("yesno"));
        QVERIFY(r.ui.shown.last().text.contains(QChar(0x0E01)));
        r.ui.answers = {true};
        r.click("Command8");
        QVERIFY(!r.port->writes.isEmpty());
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void aRefusedPictureSendsNoDisplayBlock() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1)
                p.deliver(QByteArray(1, char(w[0] ^ 0x55)));
            else
                answerLikeBoard(p, w);
        };
        r.type("Text6", QStringLiteral("欢迎光临"));
        r.click("Command8");
        QCOMPARE(r.port->writes.size(), 4); // link, header, packet, checksum
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送失败"));
    }

    void defaultUpperStoresPictureFourAndWritesTheWidth() {
        Rig r;
        r.setColours(0, 0, 0);
        r.click("Command10");
        QCOMPARE(r.port->writes.at(1), hex("04000001140701"));
        QCOMPARE(r.w.control<QLineEdit>(QStringLiteral("Text9"))->text(), QStringLiteral("64"));
        QVERIFY(r.w.control<QCheckBox>(QStringLiteral("排队"))->isChecked());
    }

    void defaultLowerStoresPictureFiveAndLeavesTheQueueBoxAlone() {
        Rig r;
        r.click("Command11");
        QCOMPARE(r.port->writes.at(1), hex("04000001150701"));
        QVERIFY(!r.w.control<QCheckBox>(QStringLiteral("排队"))->isChecked());
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }
};

QTEST_MAIN(QueueCallingTest)
#include "tst_queue_calling.moc"
