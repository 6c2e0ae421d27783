// Covers the message list model and its upload: the payload of each kind of
// entry, the limits that stop an upload before anything is sent, the clock
// positions through ticks, removals and loads, and a screen's lists loaded
// from its store directory (text pool, missing files, a short file).
#include "config/ListFiles.h"
#include "support/DeviceRig.h"
#include "support/ErrorNumber.h"
#include "support/FileBytes.h"
#include "workflows/MessageList.h"
#include "workflows/ScreenLists.h"

#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString picture(const char *number, const char *effect, const char *speed, const char *stay) {
    return ListFiles::entryLine(
        MessageList::pictureEntry(QString::fromUtf8(number), QString::fromUtf8(effect),
                                  QString::fromUtf8(speed), QString::fromUtf8(stay)));
}

QString clock(const QString &caption, const char *stay) {
    return ListFiles::entryLine(ListFiles::clockEntry(caption, QString::fromUtf8(stay)));
}

QStringList fiveEntries() {
    QStringList e;
    for (int i = 1; i <= 5; ++i)
        e << picture(QByteArray::number(i).constData(), "立即显示", "2", "2");
    return e;
}
} // namespace

class MessageListTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void eachEntryGivesItsFourBytes_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("picture 3, 闪烁显示, 5, 10")
            << picture("3", "闪烁显示", "5", "10") << hex("0307050A");
        QTest::newRow("显示时钟64点 , stay 4")
            << clock(QStringLiteral("显示时钟64点 "), "4") << hex("FD000004");
        QTest::newRow("显示日期128点")
            << clock(QStringLiteral("显示日期128点"), "9") << hex("FE000009");
        QTest::newRow("连续右移 is not the list's: 0")
            << picture("2", "连续右移", "1", "1") << hex("02000101");
        QTest::newRow("numbers read from their start")
            << picture("02 ", "从右向左移动", "3.5", "x") << hex("02010400");
        QTest::newRow("picture 0") << picture("0", "立即显示", "2", "2") << hex("00000202");
    }

    void eachEntryGivesItsFourBytes() {
        QFETCH(QString, entry);
        QFETCH(QByteArray, bytes);
        MessageList list;
        list.append(ListFiles::readEntry(entry));
        QCOMPARE(list.payload(), bytes);
    }

    void anUploadThatCannotBeBuiltSendsNothing_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("pictureNumber");
        QTest::addColumn<int>("error");
        QTest::newRow("64 entries of picture 255 go") << 64 << "255" << 0;
        QTest::newRow("a 65th") << 65 << "1" << 9;
        QTest::newRow("picture 256") << 1 << "256" << 6;
        QTest::newRow("picture -1") << 1 << "-1" << 6;
    }

    void anUploadThatCannotBeBuiltSendsNothing() {
        QFETCH(int, entries);
        QFETCH(QString, pictureNumber);
        QFETCH(int, error);
        DeviceRig r;
        MessageList list;
        for (int i = 0; i < entries; ++i)
            list.append(MessageList::pictureEntry(pictureNumber, QStringLiteral("立即显示"),
                                                  QStringLiteral("2"), QStringLiteral("2")));
        const workflow::Outcome outcome = messagelist::upload(
            r.device, r.ui, {1, QStringLiteral("9600"), QStringLiteral("1")}, list);
        if (error) {
            QCOMPARE(outcome, workflow::Outcome::Refused);
            QCOMPARE(r.ui.statusErrors, QList<int>{error});
            QVERIFY(r.port->writes.isEmpty());
        } else {
            QCOMPARE(outcome, workflow::Outcome::Done);
            QCOMPARE(r.port->writes.at(1), hex("04000001020001"));
            QCOMPARE(r.port->writes.at(2).size(), 4 + 256);
            QCOMPARE(r.ui.lastMessage(), QStringLiteral("列表发送成功"));
            QCOMPARE(r.ui.shown.last().caption, QStringLiteral("列表发送"));
        }
    }

    void anEmptyListIsRefusedWithItsMessage() {
        DeviceRig r;
        MessageList list;
        QCOMPARE(messagelist::upload(r.device, r.ui,
                                     {1, QStringLiteral("9600"), QStringLiteral("1")}, list),
                 workflow::Outcome::Refused);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("列表框为空"));
        QCOMPARE(r.ui.shown.last().caption, QString());
        QVERIFY(r.port->writes.isEmpty());
    }

    void clockPositionsFollowEveryChange() {
        MessageList list;
        list.setLines(fiveEntries());
        list.tick(1, QStringLiteral("5"));
        QCOMPARE(list.clockPosition(1), 5);
        QCOMPARE(list.line(5), QStringLiteral("显示时钟128点，动作方式：立即显示，停留时间：5"));
        list.removeAt(2);
        QCOMPARE(list.clockPosition(1), 4);
        list.insertAt(
            4, ListFiles::readEntry(picture("9", "立即显示", "2", "2"))); // the clock's own place
        QCOMPARE(list.clockPosition(1), 5);
        list.untick(1);
        QCOMPARE(list.count(), 5);
        QVERIFY(!list.lines().join(QStringLiteral("")).contains(QStringLiteral("显示时钟")));
        // Ticked by a load: the positions are where the entries are.
        list.append(ListFiles::clockEntry(2, QStringLiteral("3")));
        list.setTicked({false, false, true, false});
        QCOMPARE(list.clockPosition(2), 5);
        list.clearAll();
        QVERIFY(!list.ticked(2));
        QCOMPARE(list.clockPosition(2), -1);
    }

    void aScreensListsLoadFromItsStoreDirectory() {
        QTemporaryDir dir;
        const QString d = dir.path() + QLatin1Char('/');
        QStringEncoder gbk("GBK");
        QVERIFY(
            writeAll(d + QStringLiteral(" 1.txt"), gbk.encode(QStringLiteral("黄色 一号\r\n"))));
        QVERIFY(
            writeAll(d + QStringLiteral(" 3.txt"), gbk.encode(QStringLiteral("红色 三号\r\n"))));
        QCOMPARE(ScreenLists::textPool(d, 3),
                 (QStringList{QStringLiteral("黄色 一号"), QStringLiteral("红色 三号")}));
        ListFiles::write(d + ListFiles::messageListName(),
                         {fiveEntries() << clock(QStringLiteral("显示时钟128点"), "5"),
                          {false, true, false, false}});
        ScreenLists lists;
        lists.images.setStringList({QStringLiteral("kept.bmp")});
        // The attribute and image files are missing: they load empty.
        QCOMPARE(lists.load(d), 0);
        QCOMPARE(lists.messages.count(), 6);
        QVERIFY(lists.messages.ticked(1));
        QCOMPARE(lists.messages.clockPosition(1), 5);
        QCOMPARE(lists.pool.attributeCount(), 0);
        QVERIFY(lists.images.stringList().isEmpty());
        // A short image list loads what is there and reports once.
        QVERIFY(writeAll(d + ListFiles::imageListName(), "2\r\na.bmp\r\n"));
        QCOMPARE(lists.load(d), 62);
        QCOMPARE(lists.images.stringList(), QStringList{QStringLiteral("a.bmp")});
        // Without a message list file nothing of the previous screen stays.
        QTemporaryDir other;
        QCOMPARE(lists.load(other.path() + QLatin1Char('/')), 0);
        QCOMPARE(lists.messages.count(), 0);
        QVERIFY(lists.images.stringList().isEmpty());
    }

    void anEntryFilesCannotHoldAsTypedIsToldOnce() {
        ScreenLists lists;
        QSignalSpy told(&lists, &ScreenLists::unstorable);
        lists.pool.setTextLines({QStringLiteral("黄色 欢迎光临")});
        QCOMPARE(told.count(), 0);
        lists.pool.append({QStringLiteral("黄色"), QStringLiteral("请\U0001F600")}, {});
        lists.images.setStringList({QStringLiteral("/x/한.bmp")});
        lists.pool.setTextLines(lists.pool.textLines());
        QCOMPARE(told.count(), 2);
        QCOMPARE(told.at(0).at(1).toString(), QStringLiteral("\U0001F600"));
        QCOMPARE(told.at(1).at(0).toString(), QStringLiteral("/x/한.bmp"));
    }
};

QTEST_GUILESS_MAIN(MessageListTest)
#include "tst_message_list.moc"
