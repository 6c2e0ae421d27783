// Covers the queue-calling sends on a scripted port: the text picture (1, 2,
// 4 or 5) followed by the display block through the list command, the stage
// that failed, and the refusal of input that cannot be sent.
#include "protocol/QueueCalling.h"
#include "protocol/led.h"
#include "support/DeviceRig.h"

#include <QtTest>

namespace {
using Rig = DeviceRig;

queuecalling::Request welcome(queuecalling::Action action) {
    queuecalling::Request r;
    r.action = action;
    r.text = QStringLiteral("欢迎光临");
    return r;
}
} // namespace

class QueueCallingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void testUpperWithWelcomeSendsPictureOneThenTheDisplayBlock() {
        Rig r;
        const queuecalling::Result result =
            queuecalling::send(r.device, welcome(queuecalling::Action::TestUpper));
        QCOMPARE(result.outcome, queuecalling::Outcome::Sent);
        QCOMPARE(result.length, qint16(9));
        QCOMPARE(r.port->writes, (QList<QByteArray>{
                                     hex("AA550001"),
                                     hex("04000001110701"),
                                     hex("0001000900BBB6D3ADB9E2C1D9"),
                                     hex("38"),
                                     hex("AA550001"),
                                     hex("04000001020001"),
                                     hex("000100041E000202"),
                                     hex("1B"),
                                 }));
    }

    void eachActionStoresItsOwnPicture_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("测试上行") << int(queuecalling::Action::TestUpper) << hex("04000001110701");
        QTest::newRow("测试下行") << int(queuecalling::Action::TestLower) << hex("04000001120701");
        QTest::newRow("上行默认") << int(queuecalling::Action::DefaultUpper)
                                  << hex("04000001140701");
        QTest::newRow("下行默认") << int(queuecalling::Action::DefaultLower)
                                  << hex("04000001150701");
    }

    void eachActionStoresItsOwnPicture() {
        QFETCH(int, action);
        QFETCH(QByteArray, header);
        Rig r;
        const auto a = queuecalling::Action(action);
        QCOMPARE(queuecalling::send(r.device, welcome(a)).outcome, queuecalling::Outcome::Sent);
        QCOMPARE(r.port->writes.at(1), header);
    }

    void colourEffectSpeedStayAndPageTimeGoWhereTheyBelong() {
        Rig r;
        queuecalling::Request request = welcome(queuecalling::Action::TestLower);
        request.colour = 177;
        request.pageTime = 10;
        request.effect = 8;
        request.speed = 5;
        request.stay = 0;
        QCOMPARE(queuecalling::send(r.device, request).outcome, queuecalling::Outcome::Sent);
        QCOMPARE(r.port->writes.at(2), hex("00010009B1BBB6D3ADB9E2C1D9"));
        QCOMPARE(r.port->writes.at(6), hex("000100040A080500"));
    }

    void aMessageOfOneBlankIsSentAsCode20() {
        Rig r;
        queuecalling::Request request = welcome(queuecalling::Action::TestUpper);
        request.text = QStringLiteral(" ");
        const queuecalling::Result result = queuecalling::send(r.device, request);
        QCOMPARE(result.outcome, queuecalling::Outcome::Sent);
        QCOMPARE(result.length, qint16(2));
        QCOMPARE(r.port->writes.at(1), hex("04000001110001"));
        QCOMPARE(r.port->writes.at(2), hex("000100020020"));
    }

    void aScreenThatRefusesThePictureGetsNoDisplayBlock() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1) {
                p.deliver(hex("00")); // wrong checksum back
            } else {
                answerLikeBoard(p, w);
            }
        };
        const queuecalling::Result result =
            queuecalling::send(r.device, welcome(queuecalling::Action::TestUpper));
        QCOMPARE(result.outcome, queuecalling::Outcome::PictureFailed);
        QCOMPARE(r.port->writes.size(), 4);
        QCOMPARE(r.port->writes.last(), hex("38"));
    }

    void aScreenThatRefusesTheDisplayBlockIsReportedAsSuch() {
        Rig r;
        int links = 0;
        r.port->onWrite = [&links](FakePort &p, const QByteArray &w) {
            const bool link = w.size() == 4 && w.startsWith(hex("AA55"));
            if (link && ++links == 2) return; // silent at the list command
            answerLikeBoard(p, w);
        };
        const queuecalling::Result result =
            queuecalling::send(r.device, welcome(queuecalling::Action::DefaultUpper));
        QCOMPARE(result.outcome, queuecalling::Outcome::DisplayFailed);
        QCOMPARE(result.length, qint16(9));
        QCOMPARE(r.port->writes.size(), 5);
    }

    void inputThatCannotBeSentIsRefusedBeforeAnythingIsWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("stay");
        QTest::addColumn<int>("colour");
        QTest::newRow("empty") << QString() << 30 << 2 << 2 << 0;
        QTest::newRow("only line breaks") << QStringLiteral("\r\n") << 30 << 2 << 2 << 0;
        QTest::newRow("257 code bytes") << QString(257, QLatin1Char('A')) << 30 << 2 << 2 << 0;
        QTest::newRow("page 256") << QStringLiteral("A") << 256 << 2 << 2 << 0;
        QTest::newRow("speed 300") << QStringLiteral("A") << 30 << 300 << 2 << 0;
        QTest::newRow("stay -1") << QStringLiteral("A") << 30 << 2 << -1 << 0;
        QTest::newRow("colour 256") << QStringLiteral("A") << 30 << 2 << 2 << 256;
    }

    void inputThatCannotBeSentIsRefusedBeforeAnythingIsWritten() {
        QFETCH(QString, text);
        QFETCH(int, page);
        QFETCH(int, speed);
        QFETCH(int, stay);
        QFETCH(int, colour);
        Rig r;
        queuecalling::Request request = welcome(queuecalling::Action::TestUpper);
        request.text = text;
        request.pageTime = page;
        request.speed = speed;
        request.stay = stay;
        request.colour = colour;
        QVERIFY(!queuecalling::validate(request).isEmpty());
        QCOMPARE(queuecalling::send(r.device, request).outcome, queuecalling::Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
    }

    void theLongestMessageIs256CodeBytes() {
        Rig r;
        queuecalling::Request request = welcome(queuecalling::Action::TestUpper);
        request.text = QString(256, QLatin1Char('A'));
        QCOMPARE(queuecalling::validate(request), QString());
        QCOMPARE(queuecalling::send(r.device, request).outcome, queuecalling::Outcome::Sent);
        QCOMPARE(r.port->writes.at(1), hex("0400000111FF01"));
    }

    void displayBlockIsPageEffectSpeedStay() {
        queuecalling::Request request;
        QCOMPARE(queuecalling::displayBlock(request), hex("1E000202"));
        QCOMPARE(queuecalling::pictureNumber(queuecalling::Action::DefaultLower), 5);
    }
};

QTEST_GUILESS_MAIN(QueueCallingTest)
#include "tst_queue_calling.moc"
