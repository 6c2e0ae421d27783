// Covers the argument checks of ledctl text, call and default through
// cli::run: what is refused with exit 2 and a one-line reason before anything
// is sent, and that --lossy lets unrepresentable characters through. Port 128
// names no device, so a command that gets past its checks fails to open.
#include "cli/Cli.h"
#include "support/CliRun.h"
#include "support/ScreenSections.h"
#include "support/TempProgramDir.h"

#include <QFile>
#include <QTextStream>
#include <QtTest>

namespace {
using Run = CliRun;

// Port 128 has no device: nothing a test does here can reach a real port.
Run ledctl(const QStringList &args) {
    return runLedctl(QStringList{QStringLiteral("--port"), QStringLiteral("128")} + args);
}
} // namespace

class TextCommandsTest : public QObject {
    Q_OBJECT
    TempProgramDir m_dir;

  private slots:
    void refusalsGiveExit2AndAOneLineReason_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        const QString tooLong(257, QLatin1Char('A'));
        QTest::newRow("text empty")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("")}
            << QStringLiteral("请输入汉字");
        QTest::newRow("text only line breaks")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("\r\n")}
            << QStringLiteral("请输入汉字");
        QTest::newRow("text too long")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), tooLong}
            << QStringLiteral("257");
        QTest::newRow("text picture 0")
            << QStringList{QStringLiteral("text"), QStringLiteral("0"), QStringLiteral("A")}
            << QStringLiteral("picture");
        QTest::newRow("text picture 240")
            << QStringList{QStringLiteral("text"), QStringLiteral("240"), QStringLiteral("A")}
            << QStringLiteral("picture");
        QTest::newRow("text colour 256")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("A"),
                           QStringLiteral("--colour"), QStringLiteral("256")}
            << QStringLiteral("颜色必须在0到255之间：256");
        QTest::newRow("text speed without effect")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), QStringLiteral("A"),
                           QStringLiteral("--speed"), QStringLiteral("3")}
            << QStringLiteral("--effect");
        QTest::newRow("text stay 300")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"),
                           QStringLiteral("A"),    QStringLiteral("--effect"),
                           QStringLiteral("7"),    QStringLiteral("--stay"),
                           QStringLiteral("300")}
            << QStringLiteral("停留时间");
        QTest::newRow("text missing text")
            << QStringList{QStringLiteral("text"), QStringLiteral("1")}
            << QStringLiteral("PICTURE and TEXT");
        QTest::newRow("text extra") << QStringList{QStringLiteral("text"), QStringLiteral("1"),
                                                   QStringLiteral("A"), QStringLiteral("B")}
                                    << QStringLiteral("unexpected");
        QTest::newRow("text emoji")
            << QStringList{QStringLiteral("text"), QStringLiteral("1"), QString::fromUcs4(U"A😀")}
            << QString::fromUcs4(U"😀");
        QTest::newRow("call sideways")
            << QStringList{QStringLiteral("call"), QStringLiteral("sideways"), QStringLiteral("A")}
            << QStringLiteral("upper or lower");
        QTest::newRow("call speed 300")
            << QStringList{QStringLiteral("call"), QStringLiteral("upper"), QStringLiteral("A"),
                           QStringLiteral("--speed"), QStringLiteral("300")}
            << "动作速度必须在0到255之间：300";
        QTest::newRow("call page -1")
            << QStringList{QStringLiteral("call"), QStringLiteral("lower"), QStringLiteral("A"),
                           QStringLiteral("--page"), QStringLiteral("-1")}
            << QStringLiteral("页面时间");
        QTest::newRow("call effect 256")
            << QStringList{QStringLiteral("call"), QStringLiteral("lower"), QStringLiteral("A"),
                           QStringLiteral("--effect"), QStringLiteral("256")}
            << QStringLiteral("动作方式");
        QTest::newRow("call stay abc")
            << QStringList{QStringLiteral("call"), QStringLiteral("upper"), QStringLiteral("A"),
                           QStringLiteral("--stay"), QStringLiteral("abc")}
            << QStringLiteral("not a number");
        QTest::newRow("call too long")
            << QStringList{QStringLiteral("call"), QStringLiteral("upper"), tooLong}
            << QStringLiteral("信息太长");
        QTest::newRow("call empty")
            << QStringList{QStringLiteral("call"), QStringLiteral("upper"), QStringLiteral("")}
            << QStringLiteral("请输入汉字");
        QTest::newRow("call emoji") << QStringList{QStringLiteral("call"), QStringLiteral("upper"),
                                                   QString::fromUcs4(U"叫😀")}
                                    << QString::fromUcs4(U"😀");
        QTest::newRow("default missing text")
            << QStringList{QStringLiteral("default"), QStringLiteral("upper")}
            << QStringLiteral("TEXT");
        QTest::newRow("playlist without entries")
            << QStringList{QStringLiteral("playlist")} << QStringLiteral("ENTRY");
        QTest::newRow("playlist --show without --screen")
            << QStringList{QStringLiteral("playlist"), QStringLiteral("--show")}
            << QStringLiteral("need --screen");
        QTest::newRow("playlist hello")
            << QStringList{QStringLiteral("playlist"), QStringLiteral("hello world")}
            << QStringLiteral("not a list entry");
        QTest::newRow("playlist unknown effect")
            << QStringList{QStringLiteral("playlist"),
                           QStringLiteral("第1幅图，动作方式：旋转，动作速度：2，停留时间：2")}
            << "unknown effect";
        QTest::newRow("playlist picture 256")
            << QStringList{QStringLiteral("playlist"),
                           QStringLiteral(
                               "第256幅图，动作方式：立即显示，动作速度：2，停留时间：2")}
            << "error 6";
        QTest::newRow("default colour -1")
            << QStringList{QStringLiteral("default"), QStringLiteral("lower"), QStringLiteral("A"),
                           QStringLiteral("--colour"), QStringLiteral("-1")}
            << QStringLiteral("颜色");
    }

    void refusalsGiveExit2AndAOneLineReason() {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        const Run r = ledctl(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY(r.out.isEmpty());
    }

    void lossyLetsUnrepresentableCharactersThrough() {
        // Past the checks the command reaches the port, which does not exist.
        const Run text = ledctl({QStringLiteral("--lossy"), QStringLiteral("text"),
                                 QStringLiteral("1"), QString::fromUcs4(U"A😀")});
        QCOMPARE(text.code, 1);
        QCOMPARE(text.out, QStringLiteral("not acknowledged\n"));
        const Run call = ledctl({QStringLiteral("call"), QStringLiteral("upper"),
                                 QString::fromUcs4(U"叫😀"), QStringLiteral("--lossy")});
        QCOMPARE(call.code, 1);
        QCOMPARE(call.out, QStringLiteral("picture not acknowledged\n"));
    }

    void lossyAgreesToNoOtherQuestion() {
        QFile ini(m_dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[\xc6\xc1\xd7\xdc\xca\xfd]\r\nSUM=1\r\nDQPSign=1\r\n" +
                  screensections::FirstStart);
        ini.close();
        QCOMPARE(ledctl({QStringLiteral("--screen"), QStringLiteral("1"), QStringLiteral("pool"),
                         QStringLiteral("add"), QStringLiteral("A"), QStringLiteral("B")})
                     .code,
                 0);
        // The first failed text asks whether to go on; --lossy does not say Yes.
        const Run r = ledctl({QStringLiteral("--screen"), QStringLiteral("1"),
                              QStringLiteral("--lossy"), QStringLiteral("send-all")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("第 1更新失败")), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("第 2更新失败")), qPrintable(r.err));
    }

    void validInputGetsPastTheChecks() {
        const Run r =
            ledctl({QStringLiteral("default"), QStringLiteral("lower"), QStringLiteral("欢迎光临"),
                    QStringLiteral("--colour"), QStringLiteral("177"), QStringLiteral("--page"),
                    QStringLiteral("0"), QStringLiteral("--effect"), QStringLiteral("8"),
                    QStringLiteral("--speed"), QStringLiteral("255"), QStringLiteral("--stay"),
                    QStringLiteral("0")});
        QCOMPARE(r.code, 1);
        QVERIFY2(!r.err.contains(QStringLiteral("ledctl:")), qPrintable(r.err));
        const Run t = ledctl({QStringLiteral("text"), QStringLiteral("239"), QStringLiteral("欢迎"),
                              QStringLiteral("--effect"), QStringLiteral("7"),
                              QStringLiteral("--speed"), QStringLiteral("1")});
        QCOMPARE(t.code, 1);
        QVERIFY2(!t.err.contains(QStringLiteral("ledctl:")), qPrintable(t.err));
    }
};

QTEST_GUILESS_MAIN(TextCommandsTest)
#include "tst_text_commands.moc"
