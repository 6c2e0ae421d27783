// Covers ledctl's screen registry commands: `screens` lists the screens of
// ledfile.ini in the program directory, and the global option --screen takes
// port, baud rate and address from the registry by name or number, leaving
// the file untouched and refusing unknown screens with one line; a hostile
// file lists the screens it holds and says what it left out.
#include "cli/Cli.h"
#include "support/CliRun.h"
#include "support/TempProgramDir.h"

#include <QFile>
#include <QTextStream>
#include <QtTest>

namespace {
// Shows what a command would use, without touching a port.
int probe(cli::Context &ctx, cli::Arguments &) {
    ctx.out << "port " << ctx.port << " baud " << ctx.baud << " address " << ctx.address << "\n";
    return cli::ExitOk;
}

// Screen 1 is named "3" on purpose; screen 4's port names no port.
const QByteArray Registry = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                            "SUM=4\r\n"
                            "DQPSign= 2\r\n"
                            "[\xb5\xda 1\xba\xc5\xc6\xc1]\r\n"
                            "Pname=3\r\n"
                            "Pcode=5\r\n"
                            "Pbtl=115200\r\n"
                            "Padr=7\r\n"
                            "[\xb5\xda 2\xba\xc5\xc6\xc1]\r\n"
                            "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda\r\n"
                            "Pcode=2 \xd2\xd1\xbe\xad\xd5\xbc\xd3\xc3\r\n"
                            "Pbtl=19200\r\n"
                            "Padr=02\r\n"
                            "[\xb5\xda 3\xba\xc5\xc6\xc1]\r\n"
                            "Pname=\xd7\xc9\xd1\xaf\xcc\xa8\r\n"
                            "Pcode=3\r\n"
                            "Pbtl=4800\r\n"
                            "Padr=3\r\n"
                            "[\xb5\xda 4\xba\xc5\xc6\xc1]\r\n"
                            "Pname=\xb1\xb8\xd3\xc3\r\n"
                            "Pcode=0\r\n"
                            "Pbtl=9600\r\n"
                            "Padr=4\r\n";

using Run = CliRun;

Run ledctl(const QStringList &args) {
    static const QList<cli::Command> table =
        QList<cli::Command>(cli::commands())
        << cli::Command{QStringLiteral("probe"), {}, {}, {}, probe};
    return runLedctl(args, table);
}

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool install(const TempProgramDir &dir) {
    QFile f(dir.file(QStringLiteral("ledfile.ini")));
    return f.open(QIODevice::WriteOnly) && f.write(Registry) == Registry.size();
}
} // namespace

class ScreensCommandTest : public QObject {
    Q_OBJECT
  private slots:
    void screensListsNumberNamePortBaudAndAddress() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r = ledctl({QStringLiteral("screens")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("1\t3\t5\t115200\t7\n"
                                       "2\t收费窗口\t2\t19200\t2\n"
                                       "3\t咨询台\t3\t38400\t3\n"
                                       "4\t备用\t0\t9600\t4\n"));
        QCOMPARE(r.err, QString());
        QCOMPARE(readAll(dir.file(QStringLiteral("ledfile.ini"))), Registry);
        QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("MapDepot"))));
    }

    void aSumFarAboveTheSectionsListsTheScreensThereAreAndSaysSo() {
        TempProgramDir dir;
        QByteArray bytes = Registry;
        bytes.replace("SUM=4", "SUM=32767");
        QFile f(dir.file(QStringLiteral("ledfile.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        const Run r = ledctl({QStringLiteral("screens")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.count(QLatin1Char('\n')), 4);
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(r.err.contains(QStringLiteral("ledfile.ini 中 SUM=32767")), qPrintable(r.err));
        QCOMPARE(readAll(dir.file(QStringLiteral("ledfile.ini"))), bytes);
    }

    void theDirOptionNamesTheProgramDirectory() {
        TempProgramDir dir;
        TempProgramDir other;
        QVERIFY(install(other));
        const Run r = ledctl({QStringLiteral("--dir"), other.path(), QStringLiteral("screens")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.count(QLatin1Char('\n')), 4);
    }

    void withoutARegistryScreensSaysSoAndCreatesNothing() {
        TempProgramDir dir;
        const Run r = ledctl({QStringLiteral("screens")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err,
                 QStringLiteral("ledctl: no ledfile.ini in ") + dir.path() + QStringLiteral("\n"));
        QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("ledfile.ini"))));
    }

    void screensTakesNoArguments() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r = ledctl({QStringLiteral("screens"), QStringLiteral("x")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, QStringLiteral("ledctl: unexpected argument: x\n"));
    }

    void aScreenNamedOnTheCommandLineGivesItsPortBaudAndAddress() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r = ledctl(
            {QStringLiteral("--screen"), QStringLiteral("收费窗口"), QStringLiteral("probe")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("port 2 baud 19200 address 2\n"));
    }

    void aScreenNumberWorksAndAnOddBaudTextMeansTheThirdRate() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r =
            ledctl({QStringLiteral("--screen"), QStringLiteral("2"), QStringLiteral("probe")});
        QCOMPARE(r.out, QStringLiteral("port 2 baud 19200 address 2\n"));
        const Run odd =
            ledctl({QStringLiteral("--screen"), QStringLiteral("咨询台"), QStringLiteral("probe")});
        QCOMPARE(odd.out, QStringLiteral("port 3 baud 38400 address 3\n"));
    }

    void aNameWinsOverTheSameNumber() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r =
            ledctl({QStringLiteral("--screen"), QStringLiteral("3"), QStringLiteral("probe")});
        QCOMPARE(r.out, QStringLiteral("port 5 baud 115200 address 7\n"));
    }

    void explicitOptionsOverrideTheRegistry() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r =
            ledctl({QStringLiteral("--address"), QStringLiteral("9"), QStringLiteral("--screen"),
                    QStringLiteral("收费窗口"), QStringLiteral("--baud"), QStringLiteral("9600"),
                    QStringLiteral("probe")});
        QCOMPARE(r.out, QStringLiteral("port 2 baud 9600 address 9\n"));
    }

    void anUnknownScreenIsRefusedWithOneLine_data() {
        QTest::addColumn<QString>("screen");
        QTest::newRow("name") << "大厅";
        QTest::newRow("number beyond SUM") << "5";
        QTest::newRow("number zero") << "0";
    }
    void anUnknownScreenIsRefusedWithOneLine() {
        QFETCH(QString, screen);
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r = ledctl({QStringLiteral("--screen"), screen, QStringLiteral("probe")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("ledctl: no screen named or numbered %1 in %2\n")
                            .arg(screen, dir.file(QStringLiteral("ledfile.ini"))));
    }

    void aScreenWithoutAUsablePortIsRefused() {
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r =
            ledctl({QStringLiteral("--screen"), QStringLiteral("备用"), QStringLiteral("probe")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, QStringLiteral("ledctl: screen 4 (备用) has no usable port: 0\n"));
    }

    // Each row: edits separated by "|", then List1.txt of screen 1 (named "3").
    void playlistEditsTheScreensStoredListAsTheListPanelDoes_data() {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("file");
        QTest::newRow("deleting a clock entry unticks its option")
            << "add --picture 3 --effect 闪烁显示 --speed 5 --stay 10|clock clock64 on --stay 4|"
               "delete 2"
            << "0,0,0,0,0\r\n第3幅图，动作方式：闪烁显示，动作速度：5，停留时间：10\r\n";
        QTest::newRow("a clock entry read back moves up with a delete")
            << "add|add --picture 2|clock date128 on|delete 1|clock date128 off"
            << "0,0,0,0,0\r\n第2幅图，动作方式：立即显示，动作速度：2，停留时间：2\r\n";
        QTest::newRow("modify keeps what is not given")
            << "add --picture 3 --effect 闪烁显示 --speed 5|modify 1 --stay 9"
            << "0,0,0,0,0\r\n第3幅图，动作方式：闪烁显示，动作速度：5，停留时间：9\r\n";
        QTest::newRow("a modified clock entry keeps its caption")
            << "clock clock64 on|modify 1 --stay 7 --picture 5"
            << "0,0,0,0,1\r\n显示时钟64点 ，动作方式：立即显示，停留时间：7\r\n";
        QTest::newRow("clear unticks the options") << "add|clock date64 on|clear"
                                                   << "-1,0,0,0,0\r\n";
    }
    void playlistEditsTheScreensStoredListAsTheListPanelDoes() {
        QFETCH(QString, edits);
        QFETCH(QString, file);
        TempProgramDir dir;
        QVERIFY(install(dir));
        for (const QString &edit : edits.split(QLatin1Char('|'))) {
            const Run r = ledctl(QStringList{QStringLiteral("--screen"), QStringLiteral("3"),
                                             QStringLiteral("playlist")} +
                                 edit.split(QLatin1Char(' ')));
            QVERIFY2(r.code == 0, qPrintable(edit + QLatin1Char(' ') + r.err));
        }
        QStringEncoder gbk("GBK");
        QCOMPARE(readAll(dir.file(QStringLiteral("MapDepot/3/List1.txt"))), QByteArray(gbk(file)));
    }

    void playlistEditsAreRefusedWithoutTouchingTheFile_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no screen") << QStringList{QStringLiteral("playlist"), QStringLiteral("add")}
                                   << QStringLiteral("needs --screen");
        QTest::newRow("unknown effect")
            << QStringList{QStringLiteral("--screen"), QStringLiteral("3"),
                           QStringLiteral("playlist"), QStringLiteral("add"),
                           QStringLiteral("--effect"), QStringLiteral("旋转")}
            << QStringLiteral("--effect");
        QTest::newRow("line break")
            << QStringList{QStringLiteral("--screen"), QStringLiteral("3"),
                           QStringLiteral("playlist"), QStringLiteral("add"),
                           QStringLiteral("--stay"),   QStringLiteral("2\r\n3")}
            << "not a list entry";
        QTest::newRow("no such entry")
            << QStringList{QStringLiteral("--screen"), QStringLiteral("3"),
                           QStringLiteral("playlist"), QStringLiteral("delete"),
                           QStringLiteral("1")}
            << QStringLiteral("the list is empty");
    }
    void playlistEditsAreRefusedWithoutTouchingTheFile() {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        TempProgramDir dir;
        QVERIFY(install(dir));
        const Run r = ledctl(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY(!QFileInfo::exists(dir.file(QStringLiteral("MapDepot/3/List1.txt"))));
    }

    void theScreenOptionNeedsARegistry() {
        TempProgramDir dir;
        const Run r =
            ledctl({QStringLiteral("--screen"), QStringLiteral("1"), QStringLiteral("probe")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err,
                 QStringLiteral("ledctl: no ledfile.ini in ") + dir.path() + QStringLiteral("\n"));
    }
};

QTEST_GUILESS_MAIN(ScreensCommandTest)
#include "tst_screens.moc"
