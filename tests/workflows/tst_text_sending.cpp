// Covers "发送信息" and "发送logo" on a scripted board: the pictures and lists
// they store, the second transfer at the address + 512, the message's text
// file, the logo's segments and its failure messages.
#include "support/DeviceRig.h"
#include "support/FileBytes.h"
#include "workflows/ScreenLists.h"
#include "workflows/TextSending.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using workflow::Outcome;

namespace {
// The command bytes of the headers written, in order.
QList<int> commands(const FakePort &port) {
    QList<int> out;
    for (const QByteArray &w : port.writes)
        if (w.size() == 7 && w.startsWith(hex("0400"))) out.append(quint8(w.at(4)));
    return out;
}

textsending::Fields message(const QString &text) {
    textsending::Fields f;
    f.text = text;
    f.colour = 0x32;
    f.effect = 7;
    f.speed = QStringLiteral("5");
    f.stay = QStringLiteral("3");
    f.background = QStringLiteral("黄色");
    return f;
}

const workflow::Connection Board1{1, QStringLiteral("9600"), QStringLiteral("1")};
} // namespace

class TextSendingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void aMessageIsPictureElevenWithItsEntryThenPictureTwo() {
        DeviceRig r;
        QTemporaryDir dir;
        textsending::Fields f = message(QStringLiteral("欢迎光临"));
        f.pictureField = QStringLiteral("3");
        TextPoolModel pool;
        pool.setTextLines(
            {QStringLiteral("红色 一"), QStringLiteral("红色 二"), QStringLiteral("红色 三")});
        QCOMPARE(textsending::sendMessage(r.device, r.ui, Board1, f,
                                          dir.path() + QStringLiteral("/"), &pool),
                 Outcome::Done);
        // Pool text 3 shows what its file now holds.
        QCOMPARE(pool.textLines(),
                 (QStringList{QStringLiteral("红色 一"), QStringLiteral("红色 二"),
                              QStringLiteral("黄色 欢迎光临")}));
        QCOMPARE(commands(*r.port), (QList<int>{27, 2, 18}));
        QCOMPARE(r.port->writes.at(1), hex("040000011B0701"));
        QCOMPARE(r.port->writes.at(6), hex("00010004 0B070503"));
        QCOMPARE(r.port->writes.at(10), hex("00010009 32BBB6D3ADB9E2C1D9"));
        QStringDecoder gbk("GBK");
        QCOMPARE(QString(gbk.decode(readAll(dir.filePath(QStringLiteral(" 3.txt"))))),
                 QStringLiteral("黄色 欢迎光临\r\n"));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void withItsOwnEffectTheSecondTransferGoesToAddressPlus512() {
        DeviceRig r;
        textsending::Fields f = message(QStringLiteral("欢迎"));
        f.withEffect = true;
        QCOMPARE(textsending::sendMessage(r.device, r.ui, Board1, f, QString()), Outcome::Done);
        QCOMPARE(r.port->writes.at(8), hex("AA550201"));
        QCOMPARE(r.port->writes.at(9), hex("0400020112 0301")); // n - 1 = 3
        QCOMPARE(r.port->writes.at(10), hex("00010008 07050332 BBB6D3AD"));
        // Only picture 11 can be acknowledged: without it there is no success.
        DeviceRig silent;
        silent.port->onWrite = nullptr;
        QCOMPARE(textsending::sendMessage(silent.device, silent.ui, Board1, f, QString()),
                 Outcome::NotAcknowledged);
        QCOMPARE(silent.ui.lastMessage(), QStringLiteral("汉字发送失败"));
    }

    void aPictureFieldThatIsNoNumberSkipsOnlyTheKeptFile() {
        DeviceRig r;
        QTemporaryDir dir;
        textsending::Fields f = message(QStringLiteral("欢迎"));
        f.pictureField = QStringLiteral("../x");
        QCOMPARE(
            textsending::sendMessage(r.device, r.ui, Board1, f, dir.path() + QStringLiteral("/")),
            Outcome::Done);
        QCOMPARE(commands(*r.port), (QList<int>{27, 2, 18})); // sent all the same
        QCOMPARE(r.ui.statusErrors, QList<int>{13});
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
    }

    // The calling frame's words for the same input; nothing goes out.
    void badSpeedStayOrCharactersAreToldAsTheCallingFrameTellsThem() {
        struct Case {
            bool logo;
            const char *speed, *stay;
            QString text, shown;
        };
        const QString lossy = QStringLiteral("以下字符无法显示，将以“?”发送：😀，是否继续发送？");
        for (const Case &c : {Case{false, "999", "2", QStringLiteral("欢迎"),
                                   QStringLiteral("动作速度必须在0到255之间：999")},
                              Case{true, "2", "-1", QStringLiteral("欢迎"),
                                   QStringLiteral("停留时间必须在0到255之间：-1")},
                              Case{false, "2", "2", QString::fromUcs4(U"欢😀"), lossy},
                              Case{true, "2", "2", QString::fromUcs4(U"欢😀"), lossy}}) {
            DeviceRig r;
            r.ui.answers = {false};
            textsending::Fields f = message(c.text);
            f.speed = QString::fromLatin1(c.speed);
            f.stay = QString::fromLatin1(c.stay);
            QCOMPARE(c.logo ? textsending::sendLogo(r.device, r.ui, Board1, f)
                            : textsending::sendMessage(r.device, r.ui, Board1, f, {}),
                     Outcome::Refused);
            QCOMPARE(r.ui.shown.size(), 1);
            QCOMPARE(r.ui.shown.at(0).text + r.ui.shown.at(0).caption,
                     c.shown + QStringLiteral("汉字发送"));
            QVERIFY(r.port->writes.isEmpty());
        }
    }

    void aLogoIsCutIntoPicturesOfThirtyTwoCharacters() {
        DeviceRig r;
        const QString text = QString(70, QLatin1Char('A'));
        QCOMPARE(textsending::logoSegments(text).mid(0, 4),
                 (QStringList{QString(32, QLatin1Char('A')), QString(32, QLatin1Char('A')),
                              QString(6, QLatin1Char('A')), QString()}));
        QCOMPARE(textsending::sendLogo(r.device, r.ui, Board1, message(text)), Outcome::Done);
        QCOMPARE(commands(*r.port), (QList<int>{17, 18, 19, 2}));
        QCOMPARE(r.port->writes.at(r.port->writes.size() - 2),
                 hex("0001000C 01070503 02070503 03070503"));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("汉字发送成功"));
    }

    void aLogoOfLineBreaksOnlyIsRefusedWithNothingSent() {
        DeviceRig r;
        QCOMPARE(textsending::sendLogo(r.device, r.ui, Board1, message(QStringLiteral("\n\n\n"))),
                 Outcome::Refused);
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("请输入汉字")});
    }

    void aRefusedLogoPictureStopsTheSendsAndTheList() {
        DeviceRig r;
        int headers = 0;
        r.port->onWrite = [&headers](FakePort &p, const QByteArray &w) {
            if (w.size() == 7 && w.startsWith(hex("0400")) && ++headers == 2) return;
            answerLikeBoard(p, w);
        };
        QCOMPARE(
            textsending::sendLogo(r.device, r.ui, Board1, message(QString(70, QLatin1Char('A')))),
            Outcome::NotAcknowledged);
        QCOMPARE(commands(*r.port), (QList<int>{17, 18}));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("第2条Logo信息发送失败 "));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("Logo发送"));
    }
};

QTEST_GUILESS_MAIN(TextSendingTest)
#include "tst_text_sending.moc"
