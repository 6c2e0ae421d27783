// Covers the argument checks of ledctl brightness, power, start-picture,
// clock, list, protocol-switch, upload and radio through cli::run (exit 2
// with a one-line reason before anything is sent), and the upload's
// progress line. Port 128 names no device, so a command that
// gets past its checks fails to open.
#include "cli/Cli.h"
#include "cli/ProgressLine.h"
#include "support/CliRun.h"
#include "support/TempProgramDir.h"

#include <QTextStream>
#include <QtTest>

namespace {
using Run = CliRun;

// Port 128 has no device: nothing a test does here can reach a real port.
Run ledctl(const QStringList &args) {
    return runLedctl(QStringList{QStringLiteral("--port"), QStringLiteral("128")} + args);
}

QStringList protocolSwitch(const QStringList &extra = {}) {
    return QStringList{QStringLiteral("protocol-switch"),
                       QStringLiteral("--oe"),
                       QStringLiteral("high"),
                       QStringLiteral("--data-polarity"),
                       QStringLiteral("negative"),
                       QStringLiteral("--length"),
                       QStringLiteral("80"),
                       QStringLiteral("--brightness"),
                       QStringLiteral("255")} +
           extra;
}
} // namespace

class ControlCommandArgumentsTest : public QObject {
    Q_OBJECT
    TempProgramDir m_dir;

  private slots:
    void refusalsGiveExit2AndAOneLineReason_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        QTest::newRow("brightness missing")
            << QStringList{QStringLiteral("brightness")} << QStringLiteral("missing");
        QTest::newRow("power maybe")
            << QStringList{QStringLiteral("power"), QStringLiteral("maybe")}
            << QStringLiteral("on or off");
        QTest::newRow("power missing")
            << QStringList{QStringLiteral("power")} << QStringLiteral("missing");
        // The panel's error numbers, as its status bar shows them.
        QTest::newRow("start-picture 256")
            << QStringList{QStringLiteral("start-picture"), QStringLiteral("256")}
            << QStringLiteral("error 6");
        QTest::newRow("start-picture abc")
            << QStringList{QStringLiteral("start-picture"), QStringLiteral("abc")}
            << QStringLiteral("error 13");
        QTest::newRow("clock offset 40000")
            << QStringList{QStringLiteral("clock"), QStringLiteral("--offset"),
                           QStringLiteral("40000")}
            << QStringLiteral("error 6");
        QTest::newRow("clock offset abc")
            << QStringList{QStringLiteral("clock"), QStringLiteral("--offset"),
                           QStringLiteral("abc")}
            << QStringLiteral("error 13");
        QTest::newRow("clock stray") << QStringList{QStringLiteral("clock"), QStringLiteral("now")}
                                     << QStringLiteral("unexpected");
        QTest::newRow("clock no offset")
            << QStringList{QStringLiteral("clock"), QStringLiteral("--offset")}
            << QStringLiteral("needs a value");
        QTest::newRow("clock two offsets")
            << QStringList{QStringLiteral("clock"), QStringLiteral("--offset"), QStringLiteral("1"),
                           QStringLiteral("--offset"), QStringLiteral("2")}
            << QStringLiteral("unexpected");
        // An option of another part of the command.
        QTest::newRow("radio channel interval")
            << QStringList{QStringLiteral("radio"), QStringLiteral("channel"), QStringLiteral("22"),
                           QStringLiteral("--interval"), QStringLiteral("500")}
            << "unexpected argument: --interval";
        QTest::newRow("list odd hex") << QStringList{QStringLiteral("list"), QStringLiteral("ABC")}
                                      << QStringLiteral("not hex");
        QTest::newRow("list not hex") << QStringList{QStringLiteral("list"), QStringLiteral("GG")}
                                      << QStringLiteral("not hex");
        QTest::newRow("list too long")
            << QStringList{QStringLiteral("list"), QString(2050, QLatin1Char('0'))}
            << QStringLiteral("1024");
        QTest::newRow("switch oe middle") << QStringList{QStringLiteral("protocol-switch"),
                                                         QStringLiteral("--oe"),
                                                         QStringLiteral("middle"),
                                                         QStringLiteral("--data-polarity"),
                                                         QStringLiteral("negative"),
                                                         QStringLiteral("--length"),
                                                         QStringLiteral("80"),
                                                         QStringLiteral("--brightness"),
                                                         QStringLiteral("1")}
                                          << "low or high";
        QTest::newRow("switch polarity") << QStringList{QStringLiteral("protocol-switch"),
                                                        QStringLiteral("--oe"),
                                                        QStringLiteral("low"),
                                                        QStringLiteral("--data-polarity"),
                                                        QStringLiteral("neutral"),
                                                        QStringLiteral("--length"),
                                                        QStringLiteral("80"),
                                                        QStringLiteral("--brightness"),
                                                        QStringLiteral("1")}
                                         << "negative or positive";
        QTest::newRow("switch no length") << QStringList{QStringLiteral("protocol-switch"),
                                                         QStringLiteral("--oe"),
                                                         QStringLiteral("low"),
                                                         QStringLiteral("--data-polarity"),
                                                         QStringLiteral("negative"),
                                                         QStringLiteral("--brightness"),
                                                         QStringLiteral("1")}
                                          << "--length";
        QTest::newRow("switch length 7") << QStringList{QStringLiteral("protocol-switch"),
                                                        QStringLiteral("--oe"),
                                                        QStringLiteral("low"),
                                                        QStringLiteral("--data-polarity"),
                                                        QStringLiteral("negative"),
                                                        QStringLiteral("--length"),
                                                        QStringLiteral("7"),
                                                        QStringLiteral("--brightness"),
                                                        QStringLiteral("1")}
                                         << "8 to 2055";
        QTest::newRow("switch brightness 256") << QStringList{QStringLiteral("protocol-switch"),
                                                              QStringLiteral("--oe"),
                                                              QStringLiteral("low"),
                                                              QStringLiteral("--data-polarity"),
                                                              QStringLiteral("negative"),
                                                              QStringLiteral("--length"),
                                                              QStringLiteral("80"),
                                                              QStringLiteral("--brightness"),
                                                              QStringLiteral("256")}
                                               << "0 to 255";
        QTest::newRow("switch address 300")
            << QStringList{QStringLiteral("--address"), QStringLiteral("300")} + protocolSwitch()
            << QStringLiteral("0 to 255, not 300");
        QTest::newRow("switch stray")
            << protocolSwitch({QStringLiteral("--fast")}) << QStringLiteral("unexpected");
        QTest::newRow("set-properties board 13")
            << QStringList{QStringLiteral("set-properties"), QStringLiteral("--board"),
                           QStringLiteral("13")}
            << "--board must be one of 128, 9, 11, 12, 2, 1, not 13";
        QTest::newRow("set-properties direction 2")
            << QStringList{QStringLiteral("set-properties"), QStringLiteral("--direction"),
                           QStringLiteral("2")}
            << QStringLiteral("one of 0, 1");
        // The address change reads its address as the panel does: error numbers.
        QTest::newRow("set-address 300")
            << QStringList{QStringLiteral("set-address"), QStringLiteral("300")}
            << QStringLiteral("error 6");
        QTest::newRow("set-address abc")
            << QStringList{QStringLiteral("set-address"), QStringLiteral("abc")}
            << QStringLiteral("error 13");
        QTest::newRow("set-address baud")
            << QStringList{QStringLiteral("set-address"), QStringLiteral("5"),
                           QStringLiteral("--new-baud"), QStringLiteral("1200")}
            << QStringLiteral("--new-baud must be");
        QTest::newRow("properties --store")
            << QStringList{QStringLiteral("properties"), QStringLiteral("--store")}
            << QStringLiteral("--store needs --screen");
        QTest::newRow("upload bios")
            << QStringList{QStringLiteral("upload"), QStringLiteral("bios"), QStringLiteral("f")}
            << QStringLiteral("font, asc, arm or fpga");
        QTest::newRow("upload 300")
            << QStringList{QStringLiteral("upload"), QStringLiteral("font"), QStringLiteral("f"),
                           QStringLiteral("--packet-size"), QStringLiteral("300")}
            << QStringLiteral("256, 512 or 528");
        QTest::newRow("upload no file")
            << QStringList{QStringLiteral("upload"), QStringLiteral("arm")}
            << QStringLiteral("FILE is missing");
        QTest::newRow("batch unknown part")
            << QStringList{QStringLiteral("batch"), QStringLiteral("open"),
                           QStringLiteral("reboot"), QStringLiteral("--password"),
                           QStringLiteral("tavorel")}
            << "unknown batch part reboot";
        QTest::newRow("batch move without address")
            << QStringList{QStringLiteral("batch"), QStringLiteral("baud38400"),
                           QStringLiteral("--password"), QStringLiteral("tavorel")}
            << QStringLiteral("need --new-address");
        QTest::newRow("scan range backwards")
            << QStringList{QStringLiteral("scan"), QStringLiteral("--addresses"),
                           QStringLiteral("9-3")}
            << QStringLiteral("地址范围应为 A-B，0 到 511: 9-3");
        QTest::newRow("scan beyond answering addresses")
            << QStringList{QStringLiteral("scan"), QStringLiteral("--addresses"),
                           QStringLiteral("0-512")}
            << QStringLiteral("地址范围");
        QTest::newRow("scan baud 4800")
            << QStringList{QStringLiteral("scan"), QStringLiteral("--bauds"),
                           QStringLiteral("9600,4800")}
            << QStringLiteral("波特率只能是 9600、19200、38400 或 115200: 4800");
        QTest::newRow("radio tune") << QStringList{QStringLiteral("radio"), QStringLiteral("tune")}
                                    << QStringLiteral("check, channel N or auto N");
        QTest::newRow("radio channel x")
            << QStringList{QStringLiteral("radio"), QStringLiteral("channel"), QStringLiteral("x")}
            << QStringLiteral("not a number");
    }

    void theUploadProgressLineReads_data() {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<QString>("line");
        QTest::newRow("start") << 0 << 0 << "0/190 packets  0%";
        QTest::newRow("half") << 95 << 10000 << "95/190 packets  50%  5.0 kB/s  10 s left";
        QTest::newRow("done") << 190 << 19000 << "190/190 packets  100%  5.3 kB/s  0 s left";
    }
    void theUploadProgressLineReads() {
        QFETCH(int, sent);
        QFETCH(int, elapsedMs);
        QTEST(cli::ProgressLine::line(sent, 190, 528, elapsedMs), "line");
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

    // The table gives one line per command in its own order; a command's
    // help gives its usage, its purpose and one line per option.
    void helpListsEveryCommandOnALineOfItsOwn() {
        const Run r = ledctl({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QList<cli::Command> &table = cli::commands();
        QCOMPARE(lines.size(), table.size() + 3);
        for (qsizetype i = 0; i < table.size(); ++i)
            QVERIFY2(lines.at(i + 3).startsWith(QStringLiteral("  %1 ").arg(table.at(i).name)),
                     qPrintable(lines.at(i + 3)));
        for (const cli::Command &c : table) {
            const Run one = ledctl({c.name, QStringLiteral("--help")});
            QCOMPARE(one.code, 0);
            QVERIFY2(one.err.startsWith(QStringLiteral("usage: ledctl %1").arg(c.name)),
                     qPrintable(one.err));
            QCOMPARE(one.err.count(QLatin1Char('\n')), c.options.size() + 2);
        }
    }

    // --yes repeats a failed part, but an unattended run must end.
    void batchWithYesTriesAFailingPartAgainAFewTimesThenEnds() {
        const Run r =
            ledctl({QStringLiteral("--yes"), QStringLiteral("batch"), QStringLiteral("open"),
                    QStringLiteral("--password"), QStringLiteral("tavorel")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("开屏失败，是否继续发送？")), 4);
        QVERIFY(!r.err.contains(QStringLiteral("更新成功")));
    }

    void validArgumentsGetPastTheChecks_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("brightness")
            << QStringList{QStringLiteral("brightness"), QStringLiteral("0")};
        // The panel clamps brightness and reads a text without a number as 0.
        QTest::newRow("brightness 300")
            << QStringList{QStringLiteral("brightness"), QStringLiteral("300")};
        QTest::newRow("brightness abc")
            << QStringList{QStringLiteral("brightness"), QStringLiteral("abc")};
        // A dash starts no option: the value is a negative number.
        QTest::newRow("brightness -5")
            << QStringList{QStringLiteral("brightness"), QStringLiteral("-5")};
        QTest::newRow("power on") << QStringList{QStringLiteral("power"), QStringLiteral("on")};
        QTest::newRow("power off") << QStringList{QStringLiteral("power"), QStringLiteral("off")};
        QTest::newRow("start-picture")
            << QStringList{QStringLiteral("start-picture"), QStringLiteral("255")};
        QTest::newRow("clock") << QStringList{QStringLiteral("clock"), QStringLiteral("--offset"),
                                              QStringLiteral("-3600")};
        QTest::newRow("list") << QStringList{QStringLiteral("list"), QStringLiteral("011E0202"),
                                             QStringLiteral("02 1E 02 02")};
        QTest::newRow("protocol-switch") << protocolSwitch();
        const QString font = m_dir.file(QStringLiteral("font.bin"));
        QFile(font).open(QIODevice::WriteOnly);
        QTest::newRow("upload, size first")
            << QStringList{QStringLiteral("upload"), QStringLiteral("--packet-size"),
                           QStringLiteral("512"), QStringLiteral("font"), font};
        QTest::newRow("radio channel") << QStringList{
            QStringLiteral("radio"), QStringLiteral("channel"), QStringLiteral("22")};
    }

    void validArgumentsGetPastTheChecks() {
        QFETCH(QStringList, args);
        const Run r = ledctl(args);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QStringLiteral("not acknowledged\n"));
        // The workflow's messages may follow, but no refusal.
        QVERIFY2(!r.err.contains(QStringLiteral("ledctl:")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(ControlCommandArgumentsTest)
#include "tst_control_command_arguments.moc"
