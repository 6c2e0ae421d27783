// Covers the virtual screen's line and boards fed bytes directly, without a
// pty: which board answers what, the board state the control commands leave,
// the property answer, and how each named fault shapes the answers.
#include "sim/VirtualLine.h"
#include "support/SimFrames.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
FaultPlan fault(const QString &name) {
    FaultPlan p;
    QString why;
    if (!p.add(name, &why)) qWarning() << why;
    return p;
}
} // namespace

class VirtualLineTest : public QObject {
    Q_OBJECT
  private slots:
    void brightnessExampleIsAnsweredAndKept() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(hex("AA550001"));
        QCOMPARE(line.written(), hex("A5"));
        line.receive(hex("04000001070001"));
        QCOMPARE(line.written(), hex("A5"
                                     "070001"));
        line.receive(hex("00010001C8C8"));
        QCOMPARE(line.written(), hex("A5"
                                     "070001"
                                     "C8"));
        const BoardState &s = line.board(1)->state();
        QCOMPARE(s.brightness, 200);
        QCOMPARE(s.lastRows.value(7), QList<QByteArray>{hex("C8")});
        QCOMPARE(s.transfersCompleted, 1);
    }

    void boardsIgnoreFramesForOtherAddresses() {
        VirtualLine line;
        line.addBoard(1);
        line.addBoard(2);
        line.receive(hex("AA550003"
                         "04000003070001"));
        QVERIFY(line.written().isEmpty());
        line.receive(onePacket(7, hex("33"), 2));
        QCOMPARE(line.written(), hex("A5"
                                     "070001"
                                     "33"));
        QCOMPARE(line.board(2)->state().brightness, 0x33);
        QCOMPARE(line.board(1)->state().brightness, 255);
    }

    void theBroadcastLinkCheckGetsExactlyOneAnswer() {
        VirtualLine line;
        line.addBoard(7);
        line.addBoard(3);
        line.addBoard(5);
        line.receive(hex("AA55FFFF"));
        QCOMPARE(line.written(), hex("A5"));
    }

    void framesToAddressesFromFiveHundredTwelveAreStoredButNeverAnswered() {
        VirtualLine line;
        line.addBoard(600);
        line.receive(hex("AA550258"
                         "04000258070002"
                         "0001000111"
                         "11"
                         "0002000122"
                         "21"));
        QVERIFY(line.written().isEmpty());
        QCOMPARE(line.frames().size(), 4);
        QCOMPARE(line.board(600)->state().lastRows.value(7),
                 (QList<QByteArray>{hex("11"), hex("22")}));
        // With no board there at all the packets are still read as packets.
        VirtualLine empty;
        empty.receive(hex("AA550258"
                          "04000258070001"
                          "0001000111"
                          "11"
                          "AA550258"));
        QCOMPARE(empty.frames().size(), 4);
        QCOMPARE(empty.frames().at(2).kind, Frame::Kind::Packet);
        QCOMPARE(empty.frames().at(3).kind, Frame::Kind::Link);
    }

    void controlCommandsSetTheBoardState() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(onePacket(4, hex("000000000000000000000000")));
        QVERIFY(!line.board(1)->state().screenOn());
        line.receive(onePacket(4, hex("400000000000000000000000")));
        QVERIFY(line.board(1)->state().screenOn());
        line.receive(onePacket(9, hex("030000000000000000000000")));
        QCOMPARE(line.board(1)->state().startPicture, 3);
        // 2024-03-09 14:05:59, a Saturday.
        line.receive(onePacket(8, hex("0000000000"
                                      "59051409032405")));
        QCOMPARE(line.board(1)->state().clockTime(),
                 QDateTime(QDate(2024, 3, 9), QTime(14, 5, 59)));
        QCOMPARE(line.board(1)->state().clockWeekday(), 5);
        line.receive(onePacket(2, hex("010203")));
        QCOMPARE(line.board(1)->state().messageList, hex("010203"));
        QCOMPARE(line.board(1)->state().transfersCompleted, 5);
    }

    void picturesKeepTheCounterHighByteAndAllRows() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(hex("AA550001"
                         "04000001150302"));
        QCOMPARE(line.written(), hex("A5"
                                     "150302"));
        line.receive(packet(1, hex("4142")) + packet(2, hex("43")));
        const StoredPicture p = line.board(1)->state().pictures.value(5);
        QCOMPARE(p.parameter, quint8(3));
        QCOMPARE(p.rows, (QList<QByteArray>{hex("4142"), hex("43")}));
    }

    void propertyReadGetsTheThirtyEightByteAnswer() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(hex("AA550001"
                         "04000001000000"));
        const QByteArray a = line.written().mid(1);
        QCOMPARE(a.size(), 38);
        QCOMPARE(a.left(3), hex("000000"));
        // Answer bytes 8..21 are parameter bytes 1..14 of a fresh board:
        // 1/16 scan and two colours (0x4F), 128 x 32 dots (0F, 03).
        QCOMPARE(a.mid(8, 14), hex("55A55A"
                                   "01"
                                   "4F"
                                   "10"
                                   "00"
                                   "00"
                                   "0F"
                                   "03"
                                   "00"
                                   "10"
                                   "00"
                                   "00"));
        QCOMPARE(a.mid(25, 10), QByteArray("LEDSIM0001"));
        QCOMPARE(quint8(a.at(35)), quint8(1));
        QCOMPARE(quint8(a.at(36)), quint8(0));
        QVERIFY(line.frames().size() == 2 && !line.parser().inTransfer());
    }

    void propertyWriteIsReadBack() {
        VirtualLine line;
        line.addBoard(1);
        // Width 80 and height 16 give bytes 9 and 10 = 9 and 1.
        const QByteArray block = hex("AA55A55A"
                                     "02"
                                     "47"
                                     "03"
                                     "20"
                                     "01"
                                     "09"
                                     "01"
                                     "00"
                                     "50"
                                     "00"
                                     "4C"
                                     "000000");
        line.receive(onePacket(0, block));
        line.clearRecord();
        line.receive(hex("04000001000000"));
        QCOMPARE(line.written().mid(8, 14), block.mid(1, 14));
    }

    void addressChangeMovesTheBoard() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(onePacket(15, QByteArray(15, '\0') + hex("0009"
                                                              "13")));
        QVERIFY(!line.board(1));
        QVERIFY(line.board(9));
        QCOMPARE(line.board(9)->state().baudCode, 19);
        line.clearRecord();
        line.receive(hex("AA550009"));
        QCOMPARE(line.written(), hex("A5"));
    }

    void escapedParameterFrameIsAnsweredAndKept() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(hex("8141"
                         "00000F0F090A0905000000010004000"
                         "90F0F09091A"));
        QCOMPARE(line.written(), hex("1A"));
        const EscapedParameters &p = line.board(1)->state().escaped;
        QVERIFY(p.received);
        QCOMPARE(p.oePolarity(), 4);
        QCOMPARE(p.dataPolarity(), 0);
        QCOMPARE(p.lengthDots(), 80);
        QCOMPARE(p.brightness, quint8(255));
    }

    void aPacketWithAWrongChecksumGetsTheBoardsSumAndIsNotKept() {
        VirtualLine line;
        line.addBoard(1);
        line.receive(hex("AA550001"
                         "04000001070001"
                         "00010001C8"
                         "C9"));
        QCOMPARE(line.written(), hex("A5"
                                     "070001"
                                     "C8"));
        QCOMPARE(line.board(1)->state().brightness, 255);
        QVERIFY(!line.parser().inTransfer());
    }

    void answerFaultsChangeOrSilenceTheirAnswer_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("answers");
        // Three packets of one byte each (checksums 11, 21, 31); the host side here sends them all.
        QTest::newRow("silent-link") << "silent-link"
                                     << hex("070003"
                                            "11"
                                            "21"
                                            "31");
        QTest::newRow("wrong-link") << "wrong-link"
                                    << hex("5A"
                                           "070003"
                                           "11"
                                           "21"
                                           "31");
        QTest::newRow("silent-echo") << "silent-echo" << hex("A5");
        QTest::newRow("wrong-echo") << "wrong-echo"
                                    << hex("A5"
                                           "070002");
        QTest::newRow("silent-ack:2") << "silent-ack:2"
                                      << hex("A5"
                                             "070003"
                                             "11");
        QTest::newRow("wrong-ack:2") << "wrong-ack:2"
                                     << hex("A5"
                                            "070003"
                                            "11"
                                            "DE");
        QTest::newRow("garbage:2") << "garbage:2"
                                   << hex("E5E5A5"
                                          "E5E5070003"
                                          "E5E511"
                                          "E5E521"
                                          "E5E531");
        QTest::newRow("merged") << "merged"
                                << hex("A500"
                                       "07000300"
                                       "1100"
                                       "2100"
                                       "3100");
    }
    void answerFaultsChangeOrSilenceTheirAnswer() {
        QFETCH(QString, fault);
        QFETCH(QByteArray, answers);
        VirtualLine line;
        line.addBoard(1);
        line.setFaults(::fault(fault));
        line.receive(hex("AA550001"
                         "04000001070003") +
                     packet(1, hex("11")) + packet(2, hex("22")) + packet(3, hex("33")));
        QCOMPARE(line.written().toHex(' '), answers.toHex(' '));
        // Whatever the fault did, the line looks for frames again afterwards.
        line.clearFaults();
        line.clearRecord();
        line.receive(hex("AA550001"));
        QCOMPARE(line.written(), hex("A5"));
    }

    void splitAnswersGoOutOneByteAWrite() {
        VirtualLine line;
        line.addBoard(1);
        line.setFaults(fault(QStringLiteral("split:5")));
        QSignalSpy writes(&line, &VirtualLine::bytesWritten);
        QElapsedTimer t;
        t.start();
        line.receive(hex("AA550001"
                         "04000001070001"));
        QTRY_COMPARE(writes.size(), 4);
        QVERIFY(t.elapsed() >= 10); // the echo's three bytes are 5 ms apart
        for (const QList<QVariant> &w : std::as_const(writes))
            QCOMPARE(w.at(0).toByteArray().size(), 1);
        QCOMPARE(line.written(), hex("A5"
                                     "070001"));
    }

    void lateAnswersWaitTheirTime() {
        VirtualLine line;
        line.addBoard(1);
        line.setFaults(fault(QStringLiteral("late:60")));
        QElapsedTimer t;
        t.start();
        line.receive(hex("AA550001"));
        QVERIFY(line.written().isEmpty());
        QVERIFY(line.outputPending());
        QTRY_COMPARE(line.written(), hex("A5"));
        QVERIFY(t.elapsed() >= 59);
        QVERIFY(!line.outputPending());
    }

    void pacedLineTakesItsLineTimeBothWays() {
        VirtualLine line;
        line.addBoard(1);
        line.setPacing(9600); // 1.04 ms a byte
        QElapsedTimer t;
        t.start();
        // Ten link checks handed over at once: 40 bytes in, 10 bytes out.
        line.receive(hex("AA550001").repeated(10));
        QVERIFY(line.written().isEmpty());
        QTRY_COMPARE(line.written(), hex("A5").repeated(10));
        QVERIFY2(t.elapsed() >= 41, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
    }

    void anUnfinishedFrameIsDroppedAfterSilence() {
        VirtualLine line;
        line.addBoard(1);
        line.setFrameGapMs(20);
        line.receive(hex("040000"));
        QCOMPARE(line.parser().partial(), hex("040000"));
        QTRY_VERIFY(line.parser().partial().isEmpty());
        line.receive(hex("AA550001"));
        QCOMPARE(line.written(), hex("A5"));
    }

    void theLogHasOneLinePerFrameAndAnswer() {
        QTemporaryDir dir;
        VirtualLine line;
        line.addBoard(1);
        QVERIFY(line.setLogFile(dir.filePath(QStringLiteral("sim.log"))));
        line.receive(hex("AA550001"
                         "04000001070001"
                         "00010001C8C8"));
        QFile f(dir.filePath(QStringLiteral("sim.log")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("link address=1"), QStringLiteral("answer A5"),
                              QStringLiteral("header address=1 command=7 counter=0x0001 packets=1"),
                              QStringLiteral("answer 07 00 01"),
                              QStringLiteral("packet 1/1 number=1 size=1 checksum=C8 ok data=C8"),
                              QStringLiteral("answer C8")}));
    }
};

QTEST_GUILESS_MAIN(VirtualLineTest)
#include "tst_virtual_line.moc"
