// Covers what a virtual board makes of the exchanges beyond the bare
// transfer, fed bytes directly: the escaped frame for a three-byte prefix,
// the window-number exchange (also at addresses of 512 and more), the radio
// module, the address change, how stored pictures and lists are read, and
// the scene the board shows from its state at a given moment.
#include "sim/BoardScene.h"
#include "sim/VirtualLine.h"
#include "support/SimFrames.h"

#include <QStringEncoder>
#include <QtTest>

namespace {
QByteArray gbk(const QString &text) {
    QStringEncoder e("GBK");
    return e.encode(text);
}

// A board whose clock the test moves.
struct Rig {
    VirtualLine line;
    qint64 now = 1000000;
    VirtualBoard &board;
    explicit Rig(quint16 address = 1) : board(line.addBoard(address)) {
        board.msClock = [this] { return now; };
    }
    // Stores `text` as picture N with colour 0, as the queue-calling frame does.
    void storeText(int picture, const QString &text, quint16 address = 1) {
        const QByteArray codes = gbk(text);
        line.receive(onePacket(quint8(16 + picture), QByteArray(1, '\0') + codes, address,
                               quint8(codes.size() - 1)));
    }
    void sendList(const QByteArray &list) { line.receive(onePacket(2, list)); }
    // The texts of the scene's text items, in order, for comparing.
    QStringList shown() const {
        QStringList out;
        QStringDecoder dec("GBK");
        for (const SceneItem &i : sceneOf(board.state(), now).items)
            if (i.kind == SceneItem::Kind::Text && !i.codes.isEmpty())
                out << QStringLiteral("%1@%2,%3")
                           .arg(dec.decode(i.codes))
                           .arg(i.area.x())
                           .arg(i.area.y());
        return out;
    }
};
} // namespace

class BoardContentTest : public QObject {
    Q_OBJECT
  private slots:
    void theEscapedFrameWithAThreeBytePrefixIsAnswered() {
        Rig r(100);
        // Address 100: A4, then C1 41, then the body 00 FF 9A 95 00 64 04 09 FF 99 escaped.
        r.line.receive(hex("A4C141"
                           "00000F0F090A090500000604000400090F0F09091A"));
        QCOMPARE(r.line.written(), hex("1A"));
        QCOMPARE(r.board.state().escaped.address, quint8(100));
        QCOMPARE(r.board.state().escaped.lengthDots(), 80);
    }

    void theWindowNumberIsAnsweredAtEveryAddress_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("answers");
        QTest::newRow("1") << 1 << hex("A5 100001 8C");
        // The host does not wait for the link check there, but for the rest.
        QTest::newRow("600") << 600 << hex("100001 8C");
    }

    void theWindowNumberIsAnsweredAtEveryAddress() {
        QFETCH(int, address);
        QFETCH(QByteArray, answers);
        Rig r{quint16(address)};
        // cols 32, colour 0x42, \12: w = 4 cells, L = 6.
        r.line.receive(linkAndHeader(16, 1, quint16(address)) + hex("00010006 2042FF162020 8C"));
        QCOMPARE(r.line.written(), answers);
        const WindowNumber &w = r.board.state().windowNumber;
        QVERIFY(w.set);
        QCOMPARE(w.cols, quint8(32));
        QCOMPARE(w.colour, quint8(0x42));
        QCOMPARE(w.bytes, hex("FF162020"));
        QCOMPARE(w.displayCodes(), QByteArray("12  "));
    }

    void windowNumberCodesBecomeTheirNumerals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("\\5") << hex("FF05") << QByteArray("5");
        QTest::newRow("\\05") << hex("FF0F") << QByteArray("05");
        QTest::newRow("\\99") << hex("FF6D") << QByteArray("99");
        QTest::newRow("请到\\3号") << hex("C7EBB5BD FF03 BAC5") << hex("C7EBB5BD 33 BAC5");
    }

    void windowNumberCodesBecomeTheirNumerals() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, shown);
        WindowNumber w;
        w.bytes = bytes;
        QCOMPARE(w.displayCodes(), shown);
    }

    void theRadioModuleAnswersItsQueryAndSettings() {
        VirtualLine line;
        line.radio().version = "2.0";
        line.radio().channel = 22;
        line.receive(hex("58440D0A"));
        const QByteArray a = line.written();
        QCOMPARE(a.size(), 19);
        QCOMPARE(a.mid(3, 2), QByteArray("7>")); // 22 + 104 = 0x7E
        QCOMPARE(a.mid(7, 3), QByteArray("2.0"));
        QCOMPARE(a.mid(10, 2), QByteArray("0?")); // packet size 15
        line.clearRecord();
        // S1 + channel code + 4 0, then S2 0? 3 6, each with the XOR of its six
        // characters as two nibble characters; each frame comes back as its acknowledgement.
        const QByteArray frames = QByteArray("S18:4064") + "S20?366;";
        line.receive(frames);
        QCOMPARE(line.written(), frames);
        QCOMPARE(line.radio().settings, (QList<QByteArray>{"S18:40", "S20?36"}));
        QCOMPARE(line.radio().channel, 0x8A - 104); // "8:" is 0x8A
        QCOMPARE(line.radio().packetSize, 15);
        line.radio().longAnswer = true;
        line.clearRecord();
        line.receive(hex("58440D0A"));
        QCOMPARE(line.written().size(), 29);
    }

    void radioFaultsSilenceOrSpoilTheAnswer_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("queryAnswer");
        QTest::addColumn<int>("settingAnswer");
        QTest::newRow("none") << "" << 19 << 8;
        QTest::newRow("silent-radio") << "silent-radio" << 0 << 0;
        QTest::newRow("wrong-radio") << "wrong-radio" << 20 << 7;
    }

    void radioFaultsSilenceOrSpoilTheAnswer() {
        QFETCH(QString, fault);
        QFETCH(int, queryAnswer);
        QFETCH(int, settingAnswer);
        VirtualLine line;
        FaultPlan plan;
        if (!fault.isEmpty()) QVERIFY(plan.add(fault));
        line.setFaults(plan);
        line.receive(hex("58440D0A"));
        QCOMPARE(line.written().size(), queryAnswer);
        line.clearRecord();
        line.receive(QByteArray("S20?366;"));
        QCOMPARE(line.written().size(), settingAnswer);
    }

    void afterAnAddressChangeOnlyTheNewAddressAnswers() {
        Rig r;
        r.line.receive(onePacket(15, QByteArray(15, '\0') + hex("0009 77")));
        r.line.clearRecord();
        r.line.receive(hex("AA550001"));
        QVERIFY(r.line.written().isEmpty());
        r.line.receive(hex("AA550009"));
        QCOMPARE(r.line.written(), hex("A5"));
        QCOMPARE(r.board.state().baudCode, 0x77);
    }

    void aPacedLineGoesOnAtTheNewBaudRate() {
        Rig r;
        r.line.setPacing(9600);
        r.line.receive(onePacket(15, QByteArray(15, '\0') + hex("0001 13")));
        QTRY_COMPARE(r.line.written(), hex("A5 0F0001 01"));
        QTRY_COMPARE(r.line.pacingBaud(), 115200);
    }

    void picturesAreReadAsTextsOrImages_data() {
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<int>("planes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("colour");
        QTest::newRow("plain text")
            << 7 << QList<QByteArray>{hex("23BBB6D3ADB9E2C1D9")} << 0 << "欢迎光临" << 0x23;
        QTest::newRow("text with effect")
            << 1 << QList<QByteArray>{hex("070205 32 BBB6")} << 0 << "欢" << 0x32;
        QTest::newRow("two-colour image, 2 bands")
            << 0 << QList<QByteArray>(4, QByteArray(32, '\xFF')) << 2 << "" << 0;
        QTest::newRow("full-colour image, 2 bands")
            << 0 << QList<QByteArray>(6, QByteArray(32, '\0')) << 3 << "" << 0;
    }

    void picturesAreReadAsTextsOrImages() {
        QFETCH(int, parameter);
        QFETCH(QList<QByteArray>, rows);
        QFETCH(int, planes);
        QFETCH(QString, text);
        QFETCH(int, colour);
        const StoredPicture p = StoredPicture::decode(quint8(parameter), rows, 32);
        QCOMPARE(p.kind == StoredPicture::Kind::Image, planes > 0);
        QCOMPARE(p.planes, planes);
        QCOMPARE(p.text, text);
        QCOMPARE(int(p.colour), colour);
    }

    void aCallingMessageShowsForItsPageTimeThenTheDefault() {
        Rig r;
        r.storeText(4, QStringLiteral("欢迎光临"));
        r.storeText(5, QStringLiteral("请稍候"));
        QCOMPARE(r.shown(),
                 (QStringList{QStringLiteral("欢迎光临@0,0"), QStringLiteral("请稍候@0,16")}));
        r.storeText(1, QStringLiteral("请A001号"));
        r.sendList(hex("1E000202")); // page time 30 s
        QCOMPARE(r.shown(),
                 (QStringList{QStringLiteral("请A001号@0,0"), QStringLiteral("请稍候@0,16")}));
        QVERIFY(!r.board.state().listPlaying);
        QCOMPARE(nextSceneChangeMs(r.board.state(), r.now), r.now + 30000);
        r.now += 30000;
        QCOMPARE(r.shown(),
                 (QStringList{QStringLiteral("欢迎光临@0,0"), QStringLiteral("请稍候@0,16")}));
    }

    void aMessageListPlaysItsEntriesInTurn() {
        Rig r;
        r.storeText(7, QStringLiteral("甲"));
        r.storeText(8, QStringLiteral("乙"));
        r.line.receive(onePacket(8, QByteArray(5, '\0') +
                                        hex("00301006122606"))); // Sunday 2026-12-06 10:30:00
        r.sendList(hex("07000002 08000003 FF000001"));
        QVERIFY(r.board.state().listPlaying);
        QCOMPARE(r.shown(), QStringList{QStringLiteral("甲@0,0")});
        r.now += 2000;
        QCOMPARE(r.shown(), QStringList{QStringLiteral("乙@0,0")});
        r.now += 3000;
        QCOMPARE(r.shown(), QStringList{QStringLiteral("10:30:05 星期日@0,8")});
        r.now += 1000;
        QCOMPARE(r.shown(), QStringList{QStringLiteral("甲@0,0")});
    }

    void theWindowNumberTakesTheLeftOfTheScreen() {
        Rig r;
        r.line.receive(linkAndHeader(16, 1) + hex("00010006 2042FF162020 8C"));
        r.storeText(4, QStringLiteral("欢迎"));
        const Scene s = sceneOf(r.board.state(), r.now);
        QCOMPARE(s.size, QSize(128, 32));
        QCOMPARE(s.items.first().area, QRect(0, 0, 32, 32));
        QCOMPARE(s.items.first().background, qRgb(0, 0, 255)); // high half 4: blue
        QCOMPARE(r.shown(), (QStringList{QStringLiteral("12@8,8"), QStringLiteral("欢迎@32,0")}));
    }

    void anOffBoardIsDarkAndPowerOnContentShowsWithoutCallingTexts() {
        Rig r;
        r.line.receive(onePacket(17, QByteArray(64, '\xFF'))); // picture 1: a one-band image
        r.line.receive(onePacket(17, QByteArray(64, '\xFF')));
        const Scene image = sceneOf(r.board.state(), r.now);
        QCOMPARE(image.items.size(), 1);
        QCOMPARE(image.items.first().kind, SceneItem::Kind::Image);
        r.line.receive(onePacket(4, QByteArray(12, '\0')));
        QVERIFY(sceneOf(r.board.state(), r.now).dark);
        QCOMPARE(r.board.state().lastExchange, QStringLiteral("关屏"));
    }
};

QTEST_GUILESS_MAIN(BoardContentTest)
#include "tst_board_content.moc"
