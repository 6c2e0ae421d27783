// Covers the text picture transfer (command byte 16 + N, counter n - 1 / 1,
// packet size = length) on a scripted port, and the checks that keep a text
// or a value that cannot be sent from going out.
#include "encoding/TextChecks.h"
#include "encoding/TextPicture.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "support/DeviceRig.h"
#include "support/ErrorNumber.h"

#include <QtTest>

namespace {
using Rig = DeviceRig;

} // namespace

class TextPictureTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void welcomeAsPictureOneGoesOutWithCounter1793() {
        Rig r;
        const qint16 length = r.device.Strtoneima(QStringLiteral("欢迎光临"), 0x23);
        QCOMPARE(textpicture::packageCounter(length, textpicture::Layout::Plain), 1793);
        QVERIFY(textpicture::send(r.device, 1, length, textpicture::Layout::Plain));
        QCOMPARE(r.port->writes, (QList<QByteArray>{hex("AA550001"), hex("04000001110701"),
                                                    hex("0001000923BBB6D3ADB9E2C1D9"), hex("1B")}));
    }

    void effectLayoutCountsItsFourLeadingBytesOut() {
        Rig r;
        const qint16 length = r.device.Strtoneima1(QStringLiteral("欢"), 0, 0, 0x20, 0);
        QCOMPARE(length, qint16(6));
        QCOMPARE(textpicture::packageCounter(length, textpicture::Layout::WithEffect), 0x0101);
        QVERIFY(textpicture::send(r.device, 2, length, textpicture::Layout::WithEffect));
        QCOMPARE(r.port->writes.at(1), hex("04000001120101"));
        QCOMPARE(r.port->writes.at(2), hex("0001000600200000BBB6"));
    }

    void pictureNumbersOutside1To239AreRefusedBeforeAnythingIsWritten() {
        Rig r;
        const qint16 length = r.device.Strtoneima(QStringLiteral("A"), 0);
        QCOMPARE(textpicture::commandByte(239), 255);
        QCOMPARE(errorNumberOf(
                     [&] { textpicture::send(r.device, 0, length, textpicture::Layout::Plain); }),
                 5);
        QCOMPARE(errorNumberOf(
                     [&] { textpicture::send(r.device, 240, length, textpicture::Layout::Plain); }),
                 5);
        QVERIFY(r.port->writes.isEmpty());
    }

    void aPayloadWithoutCodeBytesOrTooManyIsRefusedBeforeAnythingIsWritten() {
        Rig r;
        const qint16 empty = r.device.Strtoneima(QStringLiteral("\r\n"), 0);
        QCOMPARE(empty, qint16(1));
        QCOMPARE(errorNumberOf(
                     [&] { textpicture::send(r.device, 1, empty, textpicture::Layout::Plain); }),
                 6);
        const qint16 longest = r.device.Strtoneima(QString(128, QChar(0x6B22)), 0);
        QCOMPARE(textpicture::packageCounter(longest, textpicture::Layout::Plain), 0xFF01);
        QCOMPARE(errorNumberOf([&] {
                     textpicture::packageCounter(qint16(longest + 1), textpicture::Layout::Plain);
                 }),
                 6);
        QVERIFY(r.port->writes.isEmpty());
    }

    void aRefusedPacketFailsTheTransfer() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1) {
                p.deliver(hex("00"));
            } else {
                answerLikeBoard(p, w);
            }
        };
        const qint16 length = r.device.Strtoneima(QStringLiteral("A"), 0);
        QVERIFY(!textpicture::send(r.device, 3, length, textpicture::Layout::Plain));
        QCOMPARE(r.port->writes.at(1), hex("04000001130001"));
    }

    // --- checks ---
    void emptyTextsAndTextsOfOnlyControlCharactersAskForAText() {
        QCOMPARE(textchecks::textProblem(QString()), QStringLiteral("请输入汉字"));
        QCOMPARE(textchecks::textProblem(QStringLiteral("\t\r\n")), QStringLiteral("请输入汉字"));
        QCOMPARE(textchecks::textProblem(QStringLiteral(" ")), QString());
    }

    void texts256CodeBytesLongPassAndLongerOnesAreRefused() {
        QCOMPARE(textchecks::textProblem(QString(128, QChar(0x6B22))), QString());
        const QString reason =
            textchecks::textProblem(QString(128, QChar(0x6B22)) + QStringLiteral("A"));
        QVERIFY2(reason.contains(QStringLiteral("257")), qPrintable(reason));
        QVERIFY(reason.contains(QStringLiteral("256")));
    }

    void valuesOutsideAByteAreRefusedWithTheirLabel() {
        QCOMPARE(textchecks::byteProblem(QStringLiteral("动作速度"), 0), QString());
        QCOMPARE(textchecks::byteProblem(QStringLiteral("动作速度"), 255), QString());
        const QString high = textchecks::byteProblem(QStringLiteral("动作速度"), 256);
        QVERIFY(high.contains(QStringLiteral("动作速度")) && high.contains(QStringLiteral("256")));
        QVERIFY(!textchecks::byteProblem(QStringLiteral("页面时间"), -1).isEmpty());
    }

    void unrepresentableCharactersAreNamedInTheReason() {
        QCOMPARE(textchecks::unrepresentableProblem(QStringLiteral("欢迎€")), QString());
        const QString reason = textchecks::unrepresentableProblem(QString::fromUcs4(U"A😀"));
        QVERIFY2(reason.contains(QString::fromUcs4(U"😀")), qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(TextPictureTest)
#include "tst_text_picture.moc"
