// The batch update on a scripted board: the password, which parts reach
// which address, the payloads that differ from the single operations, the
// keys written after parts 1, 3 and 8, and the question after a failed
// part (Yes repeats only it, No ends without a final message).
#include "config/RegistryFile.h"
#include "support/DeviceRig.h"
#include "support/TempProgramDir.h"
#include "workflows/BatchUpdate.h"

#include <QtTest>

using namespace batchupdate;
using workflow::Outcome;

namespace {
struct Rig : DeviceRig {
    TempProgramDir dir;
    CIniFile ini;
    Inputs in;
    workflow::Connection row{1, QStringLiteral("9600"), QStringLiteral("1")};
    Rig() {
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        in.ini = &ini;
        in.section = QStringLiteral("第 1号屏");
        in.newAddress = QStringLiteral("5");
        in.properties.length = QStringLiteral("128");
        in.startPicture = QStringLiteral("2");
        in.speed = QStringLiteral("3");
        in.stay = QStringLiteral("5");
        in.effectCode = 9;
        ui.inputs = {Password};
    }
    Result run(std::initializer_list<Part> parts) {
        for (Part p : parts)
            in.ticked[p] = true;
        return batchupdate::run(device, ui, row, in);
    }
    // Headers (7 bytes from 04 00) in the order sent: address, command.
    QList<QByteArray> headers() const {
        QList<QByteArray> out;
        for (const QByteArray &w : port->writes)
            if (w.size() == 7 && w.startsWith(QByteArray("\x04\x00", 2))) out.append(w.mid(2, 3));
        return out;
    }
    // The first data packet after each header of `command`.
    QList<QByteArray> packetsAfter(int command) const {
        QList<QByteArray> out;
        for (int i = 0; i + 2 < port->writes.size(); ++i)
            if (port->writes.at(i).size() == 7 && port->writes.at(i).at(4) == char(command))
                out.append(port->writes.at(i + 1));
        return out;
    }
    QByteArray packetAfter(int command) const { return packetsAfter(command).value(0); }
};
} // namespace

class BatchUpdateTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theWrongPasswordSendsNothing() {
        Rig r;
        r.ui.inputs = {QStringLiteral("Tavorel")};
        QCOMPARE(r.run({ScreenOn}).outcome, Outcome::Refused);
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("密码输入错误")});
        QVERIFY(r.port->writes.isEmpty());
    }

    void nothingTickedEndsInFailure() {
        Rig r;
        r.run({});
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("更新失败")});
    }

    void screenOnAndTheListKeepThePreviousAddress() {
        Rig r;
        r.device.PAdress = 7;
        QCOMPARE(r.run({ScreenOn, List}).outcome, Outcome::Done);
        QCOMPARE(r.headers(), (QList<QByteArray>{hex("000704"), hex("000702")}));
        QCOMPARE(r.packetAfter(2), hex("00010004 01090305"));
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("更新成功")});
    }

    void theFileParts_data() {
        QTest::addColumn<bool>("is161D");
        QTest::addColumn<QByteArray>("firstPacket");
        QTest::newRow("256") << false << hex("00010100");
        QTest::newRow("161D") << true << hex("00010200");
    }
    void theFileParts() {
        QFETCH(bool, is161D);
        QFETCH(QByteArray, firstPacket);
        Rig r;
        QFile f(r.dir.file(QStringLiteral("font.bin")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(1000));
        f.close();
        r.in.ascFile = r.in.fontFile = f.fileName();
        r.in.is161D = is161D;
        r.run({AscFont, FontLibrary});
        const QByteArray packets = is161D ? hex("0002") : hex("0004");
        QCOMPARE(r.headers(), (QList<QByteArray>{hex("000103"), hex("000105")}));
        QCOMPARE(r.packetAfter(3).left(4), firstPacket);
        QCOMPARE(r.packetAfter(5).left(4), firstPacket);
        QCOMPARE(r.port->writes.at(1).mid(5), packets);
    }

    void aMissingFileNameEndsTheBatch() {
        Rig r;
        r.run({AscFont, StartPicture});
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("请选择ASC文件")});
        QVERIFY(r.port->writes.isEmpty());
    }

    void bothBaudPartsLeave38400AndTheNewAddress() {
        Rig r;
        const Result res = r.run({Baud115200, ScreenOn, Properties, Baud38400});
        // Part 1 to address 1, then every later part to 5, screen on too.
        QCOMPARE(r.headers(),
                 (QList<QByteArray>{hex("00010F"), hex("000504"), hex("000500"), hex("00050F")}));
        // New address 5 and baud codes 19, then 59 (bytes 16 and 17).
        QCOMPARE(r.packetsAfter(15).at(0).mid(4 + 16), hex("0513"));
        QCOMPARE(r.packetsAfter(15).at(1).mid(4 + 16), hex("053B"));
        QCOMPARE(res.connection.baud, QString(QStringLiteral("38400")));
        QCOMPARE(res.connection.address, QString(QStringLiteral("5")));
        QCOMPARE(res.baudPosition, 2);
        QCOMPARE(r.ini.ReadString(r.in.section, QStringLiteral("Pbtl"), 255),
                 QString(QStringLiteral("38400")));
        QCOMPARE(r.ini.ReadString(r.in.section, QStringLiteral("Padr"), 255),
                 QString(QStringLiteral("5")));
        QCOMPARE(r.ini.ReadString(r.in.section, QStringLiteral("Pchang"), 255),
                 QString(QStringLiteral("128")));
    }

    void yesRepeatsOnlyTheFailedPart() {
        Rig r;
        // The first start-picture header goes unanswered.
        int startHeaders = 0;
        r.port->onWrite = [&](FakePort &p, const QByteArray &w) {
            if (w.size() == 7 && w.at(4) == 9 && ++startHeaders == 1) return;
            answerLikeBoard(p, w);
        };
        r.ui.answers = {true};
        QCOMPARE(r.run({ScreenOn, StartPicture, Welcome}).outcome, Outcome::Done);
        QCOMPARE(r.headers(),
                 (QList<QByteArray>{hex("000104"), hex("000109"), hex("000109"), hex("000111")}));
        QCOMPARE(r.ui.shown.at(1).text,
                 QString(QStringLiteral("设置开始图号失败，是否继续发送？")));
        QCOMPARE(r.ui.shown.at(1).caption, QString(QStringLiteral("设置开始图号")));
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("更新成功")});
        // The fixed welcome text as picture 1: colour 165 and 14 text bytes, counter 256 * 13 + 1.
        QCOMPARE(r.port->writes.at(r.port->writes.size() - 3), hex("0400000111 0D01"));
        QCOMPARE(r.packetAfter(17).mid(2, 5), hex("000F A5 BBB6"));
    }

    void aRepeatReadsItsCheckBoxAndFieldsAgain() {
        Rig r;
        // The first start-picture header and the first welcome header go unanswered.
        QList<int> unanswered{9, 17};
        r.port->onWrite = [&](FakePort &p, const QByteArray &w) {
            if (w.size() == 7 && unanswered.removeOne(w.at(4))) return;
            answerLikeBoard(p, w);
        };
        r.ui.answers = {true, true};
        r.in.ticked[StartPicture] = r.in.ticked[Welcome] = true;
        int reads = 0;
        const Result res = batchupdate::run(r.device, r.ui, r.row, [&] {
            Inputs in = r.in;
            if (++reads > 1) in.startPicture = QStringLiteral("7");
            if (reads > 2) in.ticked[Welcome] = false;
            return in;
        });
        QCOMPARE(res.outcome, Outcome::Done);
        QCOMPARE(r.headers(), (QList<QByteArray>{hex("000109"), hex("000109"), hex("000111")}));
        QCOMPARE(r.packetsAfter(9).at(1).at(4), char(7));
    }

    void aBaudPartRefusesOnlyAnAddressAnotherScreenHas_data() {
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("refused");
        QTest::newRow("115200") << int(Baud115200) << "5" << true;
        QTest::newRow("38400") << int(Baud38400) << "5" << true;
        QTest::newRow("its own address is no duplicate") << int(Baud38400) << "1" << false;
    }

    void aBaudPartRefusesOnlyAnAddressAnotherScreenHas() {
        QFETCH(int, part);
        QFETCH(QString, address);
        QFETCH(bool, refused);
        Rig r;
        r.in.newAddress = address;
        RegistryFile::write(r.ini, RegistryFile::firstStartValues());
        RegistryFile::write(
            r.ini, {{RegistryFile::globalSection(), QStringLiteral("SUM"), QStringLiteral("2")},
                    {RegistryFile::sectionName(2), QStringLiteral("Padr"), QStringLiteral("05")}});
        QCOMPARE(r.run({Part(part)}).outcome, refused ? Outcome::Refused : Outcome::Done);
        QCOMPARE(r.port->writes.isEmpty(), refused);
        QCOMPARE(r.ui.messages().contains(QStringLiteral("板卡号码重复，请输入合适的卡号")),
                 refused);
    }

    void noEndsTheBatchWithoutAFinalMessage() {
        Rig r;
        r.port->onWrite = nullptr;
        r.ui.answers = {false};
        QCOMPARE(r.run({ScreenOn, StartPicture}).outcome, Outcome::NotAcknowledged);
        QCOMPARE(r.ui.shown.size(), 2); // the password and one question
        QCOMPARE(r.port->writes.size(), 1);
    }
};

QTEST_GUILESS_MAIN(BatchUpdateTest)
#include "tst_batch_update.moc"
