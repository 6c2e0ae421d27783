// Covers the display-property workflows on a scripted board: the fields a
// property string selects, the messages and captions, the registry keys in
// their order (and none after a failure), the duplicate check of the address
// change, and both ends of the connection test.
#include "config/RegistryFile.h"
#include "protocol/VbError.h"
#include "support/DeviceRig.h"
#include "support/FileFaults.h"
#include "support/TempProgramDir.h"
#include "workflows/DisplayProperties.h"

#include <QFile>
#include <QStringDecoder>
#include <QtTest>

using namespace displayproperties;
using workflow::Outcome;

namespace {
// 00 00 00, address 1, block bytes 0..14 from byte 7 (row shift 160, board
// 12, 80 x 16, two colours, 1/16 scan, 16 rows a zone, OE and data high),
// then "  LED0001 " and version 2.15.
QByteArray answer38() {
    return hex("000000 0001 0000") + hex("AA55A55A 0C 4F 0F A0 01 09 01 00 10 00 0C") +
           hex("000000") + QByteArray("  LED0001 ") + hex("020F 00");
}

struct Rig : DeviceRig {
    TempProgramDir dir;
    CIniFile ini;
    workflow::Connection row{1, QStringLiteral("9600"), QStringLiteral("1")};
    Rig() {
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w == hex("04000001000000"))
                p.deliver(answer38());
            else
                answerLikeBoard(p, w);
        };
    }
    Section section() { return {&ini, QStringLiteral("第 1号屏")}; }
    // key=value lines of the file, in file order.
    QStringList lines() {
        QFile f(ini.filePath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringDecoder gbk("GBK");
        return QString(gbk.decode(f.readAll())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};
} // namespace

class DisplayPropertiesTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void aPropertyStringSelectsTheItemsOfItsCodes_data() {
        QTest::addColumn<QString>("properties");
        QTest::addColumn<QList<int>>(
            "positions"); // board, colour, scan, zone, rowShift, direction, oe, data, clock
        QTest::addColumn<QStringList>("texts"); // length, height, product id, version
        QTest::newRow("行减一, 准24点阵, 80 x 16")
            << "38,85,165,90,12,79,15,160,1,9,1,0,16,0,12,"
               "32,32,76,69,68,48,48,48,49,32,2,15"
            << QList<int>{3, 1, 2, 4, 3, 1, 1, 1, 0}
            << QStringList{QStringLiteral("80"), QStringLiteral("16"), QStringLiteral("LED0001"),
                           QStringLiteral("2.15")};
        QTest::newRow("unknown board and row codes keep the panel's, short answer, OE only")
            << "15,85,165,90,99,7,31,99,0,15,3,0,208,0,4" << QList<int>{0, 0, 1, 5, 0, 0, 1, 0, 3}
            << QStringList{QStringLiteral("128"), QStringLiteral("32"), QStringLiteral(""),
                           QStringLiteral("")};
    }

    void aPropertyStringSelectsTheItemsOfItsCodes() {
        QFETCH(QString, properties);
        QFETCH(QList<int>, positions);
        QFETCH(QStringList, texts);
        const Fields f = showProperties(properties, Fields{});
        QCOMPARE((QList<int>{f.board, f.colour, f.scan, f.zone, f.rowShift, f.direction, f.oe,
                             f.dataPolarity, f.clock}),
                 positions);
        QCOMPARE((QStringList{f.length, f.height, f.productId, f.version}), texts);
    }

    // Any text reaches here from ledctl: sizes past an int are shown, numbers
    // no int holds overflow.
    void numbersPastAnIntAreShownOrOverflow_data() {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("shown"); // empty: VbError 6
        QTest::newRow("2^28 groups of 8")
            << QStringLiteral("268435456") << QStringLiteral("2147483656");
        QTest::newRow("no int holds it") << QStringLiteral("9e17") << QString();
    }

    void numbersPastAnIntAreShownOrOverflow() {
        QFETCH(QString, length);
        QFETCH(QString, shown);
        Fields f;
        try {
            showPropertiesStepwise(QStringLiteral("38,85,165,90,12,79,15,160,1,%1,1").arg(length),
                                   f);
            QCOMPARE(f.length, shown);
        } catch (const VbError &error) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(error.number(), 6);
        }
    }

    void readingShowsTheVersionThenWritesTheTenKeysInOrder() {
        Rig r;
        const Read read = readProperties(r.device, r.ui, r.row, Fields{}, r.section());
        QCOMPARE(read.outcome, Outcome::Done);
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("版本号：2.15"));
        QCOMPARE(r.ui.shown.at(0).caption, QStringLiteral("属性获取"));
        QCOMPARE(r.lines(), (QStringList{QStringLiteral("[第 1号屏]"), QStringLiteral("Pchang=80"),
                                         QStringLiteral("POE=1"), QStringLiteral("PDataSign=1"),
                                         QStringLiteral("PColRule=3"), QStringLiteral("PCol_F=1"),
                                         QStringLiteral("Pgao=16"), QStringLiteral("Pcolor=1"),
                                         QStringLiteral("Pleixing=3"), QStringLiteral("PQSign=4"),
                                         QStringLiteral("PScan=2")}));
        QVERIFY(!r.port->isOpen());
    }

    void aValueNoListHasShowsTheSizeThenTheErrorNumber() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            QByteArray answer = answer38();
            answer[12] = char(0xCF); // colour type 207 / 64 = 3: 色彩 has three items
            w == hex("04000001000000") ? p.deliver(answer) : answerLikeBoard(p, w);
        };
        Fields shown;
        shown.length = QStringLiteral("64");
        const Read read = readProperties(r.device, r.ui, r.row, shown, r.section());
        QCOMPARE(r.ui.statusErrors, QList<int>{380});
        QCOMPARE((QStringList{read.fields.length, read.fields.height}),
                 (QStringList{QStringLiteral("80"), QStringLiteral("16")}));
        QVERIFY(!QFile::exists(r.ini.filePath()));
    }

    void aSilentScreenIsReportedAndNothingIsWritten_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("read") << "read"
                              << "属性获取失败"
                              << "属性获取";
        QTest::newRow("write") << "write"
                               << "属性修改失败"
                               << "属性修改";
        QTest::newRow("address") << "address"
                                 << "波特率和串口地址修改失败"
                                 << "波特率和串口地址修改";
    }

    void aSilentScreenIsReportedAndNothingIsWritten() {
        QFETCH(QString, action);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Rig r;
        r.port->onWrite = nullptr;
        Outcome outcome = Outcome::Done;
        if (action == QLatin1String("read"))
            outcome = readProperties(r.device, r.ui, r.row, Fields{}, r.section()).outcome;
        else if (action == QLatin1String("write"))
            outcome = writeProperties(r.device, r.ui, r.row, Codes{}, r.section());
        else
            outcome =
                changeAddress(r.device, r.ui, r.row, {QStringLiteral("2"), 0}, &r.ini, 1).outcome;
        QCOMPARE(outcome, Outcome::NotAcknowledged);
        QCOMPARE(r.ui.lastMessage(), message);
        QCOMPARE(r.ui.shown.last().caption, caption);
        QVERIFY(!QFile::exists(r.ini.filePath()));
    }

    void writingSendsTheCodesThenWritesTheKeys() {
        Rig r;
        Fields f;
        f.board = 3; // 准24点阵, 12
        const Outcome outcome = writeProperties(r.device, r.ui, r.row, codesOf(f), r.section());
        QCOMPARE(outcome, Outcome::Done);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("属性修改成功"));
        QCOMPARE(r.port->writes.value(2).mid(4, 11), hex("AA55A55A 0C 4F 0F 00 00 09 01"));
        QCOMPARE(r.lines().size(), 11);
        QVERIFY(r.lines().contains(QStringLiteral("Pleixing=3")));
    }

    void aRegistryThatCannotFollowTheScreenIsAFailure() {
        Rig r;
        Outcome written = Outcome::Done, read = Outcome::Done;
        TestResult tested;
        AddressResult moved;
        {
            RunUnprivileged nobody;
            QVERIFY(nobody.active());
            tested = connectionTest(r.device, r.ui, r.row, Fields{}, r.section());
            read = readProperties(r.device, r.ui, r.row, Fields{}, r.section()).outcome;
            written = writeProperties(r.device, r.ui, r.row, Codes{}, r.section());
            moved = changeAddress(r.device, r.ui, r.row, {QStringLiteral("9"), 0}, &r.ini, 1);
        }
        QVERIFY(tested.answered && !tested.stored);
        QCOMPARE(read, Outcome::NotAcknowledged);
        QCOMPARE(written, Outcome::NotAcknowledged);
        QCOMPARE(moved.outcome, Outcome::NotAcknowledged);
        QCOMPARE(moved.address, QStringLiteral("9")); // where the board now is
        QCOMPARE(r.ui.statusErrors, (QList<int>{70, 70, 70, 70}));
        QCOMPARE(r.ui.messages().mid(0, 3),
                 (QStringList{QStringLiteral("版本号：2.15"), QStringLiteral("属性修改成功"),
                              QStringLiteral("波特率和串口地址修改成功")}));
        QVERIFY2(r.ui.lastMessage().contains(QStringLiteral("配置文件无法写入")),
                 qPrintable(r.ui.lastMessage()));
    }

    void aLostAddressAnswerIsSettledByALinkCheckAtTheNewAddress_data() {
        QTest::addColumn<bool>("moved");
        QTest::newRow("board moved") << true;
        QTest::newRow("board stayed") << false;
    }

    void aLostAddressAnswerIsSettledByALinkCheckAtTheNewAddress() {
        QFETCH(bool, moved);
        Rig r;
        r.port->onWrite = [moved](FakePort &p, const QByteArray &w) {
            if (w == hex("AA550009") && !moved) return;
            if (w.size() != 1) answerLikeBoard(p, w); // the checksum's answer is lost
        };
        const AddressResult result =
            changeAddress(r.device, r.ui, r.row, {QStringLiteral("9"), 0}, &r.ini, 1);
        QCOMPARE(r.port->writes.last(), hex("AA550009"));
        QCOMPARE(result.outcome, moved ? Outcome::Done : Outcome::NotAcknowledged);
        QCOMPARE(result.address, moved ? QStringLiteral("9") : QString());
        QCOMPARE(r.lines().contains(QStringLiteral("Padr=9")), moved);
        QCOMPARE(r.ui.lastMessage(),
                 moved ? QStringLiteral("未收到修改确认，但显示屏已在新地址9、波特率9600应答")
                       : QStringLiteral("波特率和串口地址修改失败"));
    }

    void anAddressAnotherScreenHasIsRefusedBeforeAnythingIsSent() {
        Rig r;
        RegistryFile::write(r.ini, RegistryFile::firstStartValues());
        RegistryFile::write(
            r.ini, {{RegistryFile::globalSection(), QStringLiteral("SUM"), QStringLiteral("2")},
                    {RegistryFile::sectionName(2), QStringLiteral("Pname"), QStringLiteral("二号")},
                    {RegistryFile::sectionName(2), QStringLiteral("Padr"), QStringLiteral("07")}});
        const AddressResult refused =
            changeAddress(r.device, r.ui, r.row, {QStringLiteral("7"), 3}, &r.ini, 1);
        QCOMPARE(refused.outcome, Outcome::Refused);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("板卡号码重复，请输入合适的卡号"));
        QVERIFY(r.port->writes.isEmpty());
        const AddressResult moved =
            changeAddress(r.device, r.ui, r.row, {QStringLiteral("9"), 3}, &r.ini, 1);
        QCOMPARE(moved.outcome, Outcome::Done);
        QCOMPARE(r.port->writes.value(2), hex("00010012") + QByteArray(15, '\0') + hex("0009 13"));
        QCOMPARE(moved.baudText, QStringLiteral("115200"));
        QVERIFY(r.lines().contains(QStringLiteral("Padr=9")));
        QVERIFY(r.lines().contains(QStringLiteral("Pbtl=115200")));
        // A baud-only change keeps the screen's own address: no duplicate of itself.
        QCOMPARE(changeAddress(r.device, r.ui, r.row, {QStringLiteral("09"), 0}, &r.ini, 1).outcome,
                 Outcome::Done);
    }

    void theConnectionTestTakesTheAnswerOrRescans() {
        Rig r;
        const TestResult answered = connectionTest(r.device, r.ui, r.row, Fields{}, r.section());
        QVERIFY(answered.answered);
        QVERIFY(r.ui.shown.isEmpty());
        QCOMPARE(answered.fields.length, QStringLiteral("80"));
        QCOMPARE(r.lines(), (QStringList{QStringLiteral("[第 1号屏]"), QStringLiteral("Pchang=80"),
                                         QStringLiteral("POE=1"), QStringLiteral("PDataSign=1"),
                                         QStringLiteral("PCol_F=1"), QStringLiteral("PColRule=3"),
                                         QStringLiteral("PQSign=4"), QStringLiteral("PScan=2")}));
        r.port->onWrite = nullptr;
        r.row.port = 3;
        const TestResult silent = connectionTest(r.device, r.ui, r.row, Fields{}, r.section());
        QVERIFY(!silent.answered);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("连接失败,请检查设置或查看硬件连接是否有误"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("连接测试"));
        QCOMPARE(silent.portNumber, 3);
        QCOMPARE(silent.ports.size(), 128); // the scripted port opens as every number
        QCOMPARE(silent.ports.first().text, QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(DisplayPropertiesTest)
#include "tst_display_properties.moc"
