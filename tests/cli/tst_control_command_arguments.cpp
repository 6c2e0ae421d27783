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
    return QStringList{
               "protocol-switch", "--oe", "high", "--data-polarity", "negative", "--length", "80",
               "--brightness",    "255"} +
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
        QTest::newRow("brightness missing") << QStringList{"brightness"} << "missing";
        QTest::newRow("power maybe") << QStringList{"power", "maybe"} << "on or off";
        QTest::newRow("power missing") << QStringList{"power"} << "missing";
        // The panel's error numbers, as its status bar shows them.
        QTest::newRow("start-picture 256") << QStringList{"start-picture", "256"} << "error 6";
        QTest::newRow("start-picture abc") << QStringList{"start-picture", "abc"} << "error 13";
        QTest::newRow("clock offset 40000")
            << QStringList{"clock", "--offset", "40000"} << "error 6";
        QTest::newRow("clock offset abc") << QStringList{"clock", "--offset", "abc"} << "error 13";
        QTest::newRow("clock stray") << QStringList{"clock", "now"} << "unexpected";
        QTest::newRow("clock no offset") << QStringList{"clock", "--offset"} << "needs a value";
        QTest::newRow("clock two offsets")
            << QStringList{"clock", "--offset", "1", "--offset", "2"} << "unexpected";
        // An option of another part of the command.
        QTest::newRow("radio channel interval")
            << QStringList{"radio", "channel", "22", "--interval", "500"}
            << "unexpected argument: --interval";
        QTest::newRow("list odd hex") << QStringList{"list", "ABC"} << "not hex";
        QTest::newRow("list not hex") << QStringList{"list", "GG"} << "not hex";
        QTest::newRow("list too long")
            << QStringList{"list", QString(2050, QLatin1Char('0'))} << "1024";
        QTest::newRow("switch oe middle") << QStringList{"protocol-switch",
                                                         "--oe",
                                                         "middle",
                                                         "--data-polarity",
                                                         "negative",
                                                         "--length",
                                                         "80",
                                                         "--brightness",
                                                         "1"}
                                          << "low or high";
        QTest::newRow("switch polarity") << QStringList{"protocol-switch",
                                                        "--oe",
                                                        "low",
                                                        "--data-polarity",
                                                        "neutral",
                                                        "--length",
                                                        "80",
                                                        "--brightness",
                                                        "1"}
                                         << "negative or positive";
        QTest::newRow("switch no length")
            << QStringList{"protocol-switch", "--oe",         "low", "--data-polarity",
                           "negative",        "--brightness", "1"}
            << "--length";
        QTest::newRow("switch length 7") << QStringList{"protocol-switch",
                                                        "--oe",
                                                        "low",
                                                        "--data-polarity",
                                                        "negative",
                                                        "--length",
                                                        "7",
                                                        "--brightness",
                                                        "1"}
                                         << "8 to 2055";
        QTest::newRow("switch brightness 256") << QStringList{"protocol-switch",
                                                              "--oe",
                                                              "low",
                                                              "--data-polarity",
                                                              "negative",
                                                              "--length",
                                                              "80",
                                                              "--brightness",
                                                              "256"}
                                               << "0 to 255";
        QTest::newRow("switch address 300")
            << QStringList{"--address", "300"} + protocolSwitch() << "0 to 255, not 300";
        QTest::newRow("switch stray") << protocolSwitch({"--fast"}) << "unexpected";
        QTest::newRow("set-properties board 13")
            << QStringList{"set-properties", "--board", "13"}
            << "--board must be one of 128, 9, 11, 12, 2, 1, not 13";
        QTest::newRow("set-properties direction 2")
            << QStringList{"set-properties", "--direction", "2"} << "one of 0, 1";
        // The address change reads its address as the panel does: error numbers.
        QTest::newRow("set-address 300") << QStringList{"set-address", "300"} << "error 6";
        QTest::newRow("set-address abc") << QStringList{"set-address", "abc"} << "error 13";
        QTest::newRow("set-address baud")
            << QStringList{"set-address", "5", "--new-baud", "1200"} << "--new-baud must be";
        QTest::newRow("properties --store")
            << QStringList{"properties", "--store"} << "--store needs --screen";
        QTest::newRow("upload bios")
            << QStringList{"upload", "bios", "f"} << "font, asc, arm or fpga";
        QTest::newRow("upload 300")
            << QStringList{"upload", "font", "f", "--packet-size", "300"} << "256, 512 or 528";
        QTest::newRow("upload no file") << QStringList{"upload", "arm"} << "FILE is missing";
        QTest::newRow("batch unknown part")
            << QStringList{"batch", "open", "reboot", "--password", "tavorel"}
            << "unknown batch part reboot";
        QTest::newRow("batch move without address")
            << QStringList{"batch", "baud38400", "--password", "tavorel"} << "need --new-address";
        QTest::newRow("radio tune") << QStringList{"radio", "tune"} << "check, channel N or auto N";
        QTest::newRow("radio channel x") << QStringList{"radio", "channel", "x"} << "not a number";
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
        const Run r = ledctl({"--help"});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QList<cli::Command> &table = cli::commands();
        QCOMPARE(lines.size(), table.size() + 3);
        for (qsizetype i = 0; i < table.size(); ++i)
            QVERIFY2(lines.at(i + 3).startsWith(QStringLiteral("  %1 ").arg(table.at(i).name)),
                     qPrintable(lines.at(i + 3)));
        for (const cli::Command &c : table) {
            const Run one = ledctl({c.name, "--help"});
            QCOMPARE(one.code, 0);
            QVERIFY2(one.err.startsWith(QStringLiteral("usage: ledctl %1").arg(c.name)),
                     qPrintable(one.err));
            QCOMPARE(one.err.count(QLatin1Char('\n')), c.options.size() + 2);
        }
    }

    // --yes repeats a failed part, but an unattended run must end.
    void batchWithYesTriesAFailingPartAgainAFewTimesThenEnds() {
        const Run r = ledctl({"--yes", "batch", "open", "--password", "tavorel"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count(QStringLiteral("开屏失败，是否继续发送？")), 4);
        QVERIFY(!r.err.contains(QStringLiteral("更新成功")));
    }

    void validArgumentsGetPastTheChecks_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("brightness") << QStringList{"brightness", "0"};
        // The panel clamps brightness and reads a text without a number as 0.
        QTest::newRow("brightness 300") << QStringList{"brightness", "300"};
        QTest::newRow("brightness abc") << QStringList{"brightness", "abc"};
        // A dash starts no option: the value is a negative number.
        QTest::newRow("brightness -5") << QStringList{"brightness", "-5"};
        QTest::newRow("power on") << QStringList{"power", "on"};
        QTest::newRow("power off") << QStringList{"power", "off"};
        QTest::newRow("start-picture") << QStringList{"start-picture", "255"};
        QTest::newRow("clock") << QStringList{"clock", "--offset", "-3600"};
        QTest::newRow("list") << QStringList{"list", "011E0202", "02 1E 02 02"};
        QTest::newRow("protocol-switch") << protocolSwitch();
        const QString font = m_dir.file(QStringLiteral("font.bin"));
        QFile(font).open(QIODevice::WriteOnly);
        QTest::newRow("upload, size first")
            << QStringList{"upload", "--packet-size", "512", "font", font};
        QTest::newRow("radio channel") << QStringList{"radio", "channel", "22"};
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
