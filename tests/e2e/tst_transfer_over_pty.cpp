// Covers whole transfers of the `led` object through the production serial
// port to an in-process virtual screen on a pty: the brightness example byte
// for byte, the control commands and pictures landing on the board, several
// boards on one line, answers that arrive split or late, address 600, the
// escaped parameter frame and a paced line.
#include "ScreenRig.h"

#include <QElapsedTimer>
#include <QSignalSpy>

class TransferOverPtyTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { led::setTimeScale(1.0); }

    void brightnessExampleGoesOverTheLineAsDocumented() {
        ScreenRig rig;
        QVERIFY2(rig.plugged(), qPrintable(rig.error));
        QVERIFY(rig.device.CSetLight(200));
        const QList<Frame> &frames = rig.line.frames();
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames.at(0).raw, hex("AA550001"));
        QCOMPARE(frames.at(1).raw, hex("04000001070001"));
        QCOMPARE(frames.at(2).raw, hex("00010001C8"
                                       "C8"));
        QCOMPARE(rig.line.written(), hex("A5"
                                         "070001"
                                         "C8"));
        QCOMPARE(rig.board().brightness, 200);
        QVERIFY(!rig.portOpen());
        QVERIFY(rig.ui.shown.isEmpty());
    }

    void controlCommandsLeaveTheirStateOnTheBoard() {
        ScreenRig rig;
        QVERIFY(rig.device.CAutokgSet(0));
        QVERIFY(!rig.board().screenOn());
        QVERIFY(rig.device.CAutokgSet(1));
        QCOMPARE(rig.board().onOffByte, quint8(0x40));
        QCOMPARE(rig.board().lastRows.value(4).value(0).size(), 12);
        QVERIFY(rig.device.Ckaitkh(3));
        QCOMPARE(rig.board().startPicture, 3);
        rig.device.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(14, 5, 59)); };
        QVERIFY(rig.device.CTimeAdjust(0));
        QCOMPARE(rig.board().clock, hex("59051409032405"));
        QCOMPARE(rig.board().clockTime(), QDateTime(QDate(2024, 3, 9), QTime(14, 5, 59)));
        QVERIFY(rig.device.Csendlist(hex("0A0B0C"), 3));
        QCOMPARE(rig.board().messageList, hex("0A0B0C"));
        QCOMPARE(rig.board().transfersCompleted, 5);
    }

    void aPictureKeepsTheHeaderParameterAndEveryRow() {
        ScreenRig rig;
        rig.device.PAdress = 1;
        rig.device.table().setRow(0, 0, hex("41424344"));
        rig.device.table().setRow(1, 0, hex("45464748"));
        qint32 counter = 0x0302;
        QVERIFY(rig.device.senddata(21, counter, 4));
        QCOMPARE(counter, 2);
        QCOMPARE(rig.line.frames().at(1).raw, hex("04000001150302"));
        const StoredPicture p = rig.board().pictures.value(5);
        QCOMPARE(p.parameter, quint8(3));
        QCOMPARE(p.rows, (QList<QByteArray>{hex("41424344"), hex("45464748")}));
    }

    void severalBoardsShareOneLineAndOnlyTheAddressedOneAnswers() {
        ScreenRig rig({1, 2, 5});
        led::setTimeScale(0.25);
        rig.device.PAdress = 2;
        QVERIFY(rig.device.CSetLight(0x22));
        rig.device.PAdress = 5;
        QVERIFY(rig.device.CSetLight(0x55));
        QCOMPARE(rig.board(1).brightness, 255);
        QCOMPARE(rig.board(2).brightness, 0x22);
        QCOMPARE(rig.board(5).brightness, 0x55);
        // Nobody at 3: the link check runs into its limit.
        rig.line.clearRecord();
        QVERIFY(!rig.device.Link_Build(3));
        QVERIFY(rig.line.written().isEmpty());
        // The broadcast link check gets one answer for the whole line.
        QVERIFY(rig.device.Link_Build(-1));
        QCOMPARE(rig.line.frames().last().raw, hex("AA55FFFF"));
        QCOMPARE(rig.line.written(), hex("A5"));
    }

    void answersSplitIntoSingleBytesAreStillAccepted() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("split:3"));
        QSignalSpy writes(&rig.line, &VirtualLine::bytesWritten);
        QVERIFY(rig.send(2, 2, 3, hex("010203040506")));
        QCOMPARE(writes.size(), 1 + 3 + 1 + 1);
        QCOMPARE(rig.board().lastRows.value(2), (QList<QByteArray>{hex("010203"), hex("040506")}));
    }

    void lateAnswersWithinTheLimitsAreStillAccepted() {
        ScreenRig rig;
        rig.setFault(QStringLiteral("late:150"));
        QElapsedTimer t;
        t.start();
        QVERIFY(rig.device.CSetLight(9));
        QVERIFY(t.elapsed() >= 3 * 150);
        QCOMPARE(rig.board().brightness, 9);
    }

    void addressSixHundredGetsNoAnswersButTheTransferSucceeds() {
        ScreenRig rig({600});
        QElapsedTimer t;
        t.start();
        QVERIFY(rig.send(7, 2, 1, hex("1122")));
        QVERIFY2(t.elapsed() < 1000, "nothing may be waited for");
        // The host did not wait, so the screen may still be reading.
        QTRY_COMPARE(rig.line.frames().size(), 4);
        QVERIFY(rig.line.written().isEmpty());
        QCOMPARE(rig.line.frames().at(0).raw, hex("AA550258"));
        QCOMPARE(rig.line.frames().at(1).raw, hex("04000258070002"));
        QCOMPARE(rig.line.frames().at(3).raw, hex("0002000122"
                                                  "21"));
        QCOMPARE(rig.board(600).lastRows.value(7), (QList<QByteArray>{hex("11"), hex("22")}));
        QVERIFY(!rig.portOpen());
    }

    void escapedParameterFrameReachesTheBoard() {
        ScreenRig rig;
        QuorinFields f;
        f.address = QStringLiteral("1");
        f.oePolarity = 4;
        f.dataPolarity = 0;
        f.length = QStringLiteral("80");
        f.brightness = QStringLiteral("255");
        QVERIFY(rig.device.CSetQuorin(f));
        QCOMPARE(rig.line.frames().size(), 1);
        QCOMPARE(rig.line.frames().at(0).raw, hex("8141"
                                                  "00000F0F090A0905000000010004000"
                                                  "90F0F09091A"));
        const EscapedParameters &p = rig.board().escaped;
        QVERIFY(p.received);
        QCOMPARE(p.oePolarity(), 4);
        QCOMPARE(p.lengthDots(), 80);
        QCOMPARE(p.brightness, quint8(255));
        QVERIFY(!rig.portOpen());
    }

    void aPacedLineTakesAtLeastItsLineTime() {
        ScreenRig rig;
        rig.line.setPacing(9600);
        QElapsedTimer t;
        t.start();
        QVERIFY(rig.device.CSetLight(200));
        // 17 bytes out and 5 back at 1.04 ms a byte.
        QVERIFY2(t.elapsed() >= 22, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig.board().brightness, 200);
    }
};

QTEST_GUILESS_MAIN(TransferOverPtyTest)
#include "tst_transfer_over_pty.moc"
