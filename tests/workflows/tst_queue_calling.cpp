// Covers the queue-calling frame on a scripted port: the text picture (1, 2,
// 4 or 5) followed by the display block through the list command, the stage
// that failed, the refusal of input that cannot be sent, and the button
// action `run` with its fields as text, its question and its messages.
#include "protocol/led.h"
#include "support/DeviceRig.h"
#include "workflows/QueueCalling.h"

#include <QtTest>

namespace {
using Rig = DeviceRig;

queuecalling::Request welcome(queuecalling::Action action) {
    queuecalling::Request r;
    r.action = action;
    r.text = QStringLiteral("欢迎光临");
    return r;
}

queuecalling::Fields fields(queuecalling::Action action, const QString &text) {
    queuecalling::Fields f;
    f.action = action;
    f.text = text;
    return f;
}

queuecalling::Run run(Rig &r, const queuecalling::Fields &f,
                      const QString &address = QStringLiteral("1")) {
    return queuecalling::run(r.device, r.ui,
                             workflow::Connection{1, QStringLiteral("9600"), address}, f);
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
        // One turn on the port: nobody gets in between the picture and its block.
        QCOMPARE(r.port->opens, 1);
        QVERIFY(!r.port->isOpen());
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

    void aSentMessageIsReportedAndTellsThePanelWhatToShow_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("queueTicked");
        QTest::addColumn<int>("width");
        QTest::newRow("测试上行") << int(queuecalling::Action::TestUpper) << true << -1;
        QTest::newRow("上行默认") << int(queuecalling::Action::DefaultUpper) << true << 64;
        QTest::newRow("下行默认") << int(queuecalling::Action::DefaultLower) << false << -1;
    }

    void aSentMessageIsReportedAndTellsThePanelWhatToShow() {
        QFETCH(int, action);
        QFETCH(bool, queueTicked);
        QFETCH(int, width);
        Rig r;
        const queuecalling::Run done =
            run(r, fields(queuecalling::Action(action), QStringLiteral("欢迎光临")));
        QCOMPARE(done.outcome, workflow::Outcome::Done);
        QCOMPARE(done.queueTicked, queueTicked);
        QCOMPARE(done.width, width); // (9 - 1) * 8 after the upper default
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("汉字发送成功"));
        QCOMPARE(r.ui.shown.at(0).caption, QStringLiteral("汉字发送"));
    }

    void fieldsThatCannotBeSentAreRefusedWithTheirReason_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty") << ""
                               << "2"
                               << "30"
                               << "请输入汉字"
                               << "";
        QTest::newRow("a tab only") << "	"
                                    << "2"
                                    << "30"
                                    << "请输入汉字"
                                    << "";
        QTest::newRow("speed 300") << "欢迎"
                                   << "300"
                                   << "30"
                                   << "动作速度"
                                   << "汉字发送";
        QTest::newRow("258 code bytes") << QString(129, QChar(0x6B22)) << "2"
                                        << "30"
                                        << "256"
                                        << "汉字发送";
        // Would wrap to 1 in 32 bits.
        QTest::newRow("page 4294967297") << "欢迎"
                                         << "2"
                                         << "4294967297"
                                         << "页面时间"
                                         << "汉字发送";
    }

    void fieldsThatCannotBeSentAreRefusedWithTheirReason() {
        QFETCH(QString, text);
        QFETCH(QString, speed);
        QFETCH(QString, page);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Rig r;
        queuecalling::Fields f = fields(queuecalling::Action::TestUpper, text);
        f.speed = speed;
        f.pageTime = page;
        const queuecalling::Run refused = run(r, f);
        QCOMPARE(refused.outcome, workflow::Outcome::Refused);
        QVERIFY(!refused.queueTicked);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.size(), 1);
        QVERIFY2(r.ui.shown.at(0).text.contains(message), qPrintable(r.ui.shown.at(0).text));
        QCOMPARE(r.ui.shown.at(0).caption, caption);
    }

    void anAddressThatIsNoSixteenBitNumberShowsOnlyItsErrorNumber_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("error");
        QTest::newRow("65537 would wrap to board 1") << "65537" << 6;
        QTest::newRow("empty is not board 0") << "" << 13;
        QTest::newRow("letters") << "abc" << 13;
    }

    void anAddressThatIsNoSixteenBitNumberShowsOnlyItsErrorNumber() {
        QFETCH(QString, address);
        QFETCH(int, error);
        Rig r;
        const queuecalling::Run refused =
            run(r, fields(queuecalling::Action::TestUpper, QStringLiteral("欢迎")), address);
        QCOMPARE(refused.outcome, workflow::Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.statusErrors, QList<int>{error});
        QVERIFY(r.ui.messages().isEmpty());
    }

    void unrepresentableCharactersAreNamedAndSendingNeedsAYes() {
        Rig r;
        const auto f =
            fields(queuecalling::Action::TestUpper, QStringLiteral("请A001号到3号窗口\u0E01"));
        r.ui.answers = {false};
        QCOMPARE(run(r, f).outcome, workflow::Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.shown.last().kind, QStringLiteral("yesno"));
        QVERIFY(r.ui.shown.last().text.contains(QChar(0x0E01)));
        r.ui.answers = {true};
        QCOMPARE(run(r, f).outcome, workflow::Outcome::Done);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void aRefusedPictureIsReportedAsAFailure() {
        Rig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1)
                p.deliver(QByteArray(1, char(w[0] ^ 0x55)));
            else
                answerLikeBoard(p, w);
        };
        const queuecalling::Run failed =
            run(r, fields(queuecalling::Action::TestUpper, QStringLiteral("欢迎光临")));
        QCOMPARE(failed.outcome, workflow::Outcome::NotAcknowledged);
        QCOMPARE(failed.detail, queuecalling::Outcome::PictureFailed);
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送失败"));
    }
};

QTEST_GUILESS_MAIN(QueueCallingTest)
#include "tst_queue_calling.moc"
