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
        QTest::newRow("text empty") << QStringList{"text", "1", ""} << "请输入汉字";
        QTest::newRow("text only line breaks") << QStringList{"text", "1", "\r\n"} << "请输入汉字";
        QTest::newRow("text too long") << QStringList{"text", "1", tooLong} << "257";
        QTest::newRow("text picture 0") << QStringList{"text", "0", "A"} << "picture";
        QTest::newRow("text picture 240") << QStringList{"text", "240", "A"} << "picture";
        QTest::newRow("text colour 256")
            << QStringList{"text", "1", "A", "--colour", "256"} << "颜色必须在0到255之间：256";
        QTest::newRow("text speed without effect")
            << QStringList{"text", "1", "A", "--speed", "3"} << "--effect";
        QTest::newRow("text stay 300")
            << QStringList{"text", "1", "A", "--effect", "7", "--stay", "300"} << "停留时间";
        QTest::newRow("text missing text") << QStringList{"text", "1"} << "PICTURE and TEXT";
        QTest::newRow("text extra") << QStringList{"text", "1", "A", "B"} << "unexpected";
        QTest::newRow("text emoji")
            << QStringList{"text", "1", QString::fromUcs4(U"A😀")} << QString::fromUcs4(U"😀");
        QTest::newRow("call sideways") << QStringList{"call", "sideways", "A"} << "upper or lower";
        QTest::newRow("call speed 300") << QStringList{"call", "upper", "A", "--speed", "300"}
                                        << "动作速度必须在0到255之间：300";
        QTest::newRow("call page -1")
            << QStringList{"call", "lower", "A", "--page", "-1"} << "页面时间";
        QTest::newRow("call effect 256")
            << QStringList{"call", "lower", "A", "--effect", "256"} << "动作方式";
        QTest::newRow("call stay abc")
            << QStringList{"call", "upper", "A", "--stay", "abc"} << "not a number";
        QTest::newRow("call too long") << QStringList{"call", "upper", tooLong} << "信息太长";
        QTest::newRow("call empty") << QStringList{"call", "upper", ""} << "请输入汉字";
        QTest::newRow("call emoji")
            << QStringList{"call", "upper", QString::fromUcs4(U"叫😀")} << QString::fromUcs4(U"😀");
        QTest::newRow("default missing text") << QStringList{"default", "upper"} << "TEXT";
        QTest::newRow("playlist without entries") << QStringList{"playlist"} << "ENTRY";
        QTest::newRow("playlist --show without --screen")
            << QStringList{"playlist", "--show"} << "need --screen";
        QTest::newRow("playlist hello")
            << QStringList{"playlist", "hello world"} << "not a list entry";
        QTest::newRow("playlist unknown effect")
            << QStringList{"playlist", "第1幅图，动作方式：旋转，动作速度：2，停留时间：2"}
            << "unknown effect";
        QTest::newRow("playlist picture 256")
            << QStringList{"playlist", "第256幅图，动作方式：立即显示，动作速度：2，停留时间：2"}
            << "error 6";
        QTest::newRow("default colour -1")
            << QStringList{"default", "lower", "A", "--colour", "-1"} << "颜色";
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
        const Run text = ledctl({"--lossy", "text", "1", QString::fromUcs4(U"A😀")});
        QCOMPARE(text.code, 1);
        QCOMPARE(text.out, QStringLiteral("not acknowledged\n"));
        const Run call = ledctl({"call", "upper", QString::fromUcs4(U"叫😀"), "--lossy"});
        QCOMPARE(call.code, 1);
        QCOMPARE(call.out, QStringLiteral("picture not acknowledged\n"));
    }

    void lossyAgreesToNoOtherQuestion() {
        QFile ini(m_dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[\xc6\xc1\xd7\xdc\xca\xfd]\r\nSUM=1\r\nDQPSign=1\r\n" +
                  screensections::FirstStart);
        ini.close();
        QCOMPARE(ledctl({"--screen", "1", "pool", "add", "A", "B"}).code, 0);
        // The first failed text asks whether to go on; --lossy does not say Yes.
        const Run r = ledctl({"--screen", "1", "--lossy", "send-all"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("第 1更新失败")), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("第 2更新失败")), qPrintable(r.err));
    }

    void validInputGetsPastTheChecks() {
        const Run r = ledctl({"default", "lower", "欢迎光临", "--colour", "177", "--page", "0",
                              "--effect", "8", "--speed", "255", "--stay", "0"});
        QCOMPARE(r.code, 1);
        QVERIFY2(!r.err.contains(QStringLiteral("ledctl:")), qPrintable(r.err));
        const Run t = ledctl({"text", "239", "欢迎", "--effect", "7", "--speed", "1"});
        QCOMPARE(t.code, 1);
        QVERIFY2(!t.err.contains(QStringLiteral("ledctl:")), qPrintable(t.err));
    }
};

QTEST_GUILESS_MAIN(TextCommandsTest)
#include "tst_text_commands.moc"
