// Covers ledctl pool: the attributes and sources a text is added with, the
// change of a text's attributes, and ten ledctl processes adding at once to
// one screen, none of them losing another's texts.
#include "config/CIniFile.h"
#include "config/ListFiles.h"
#include "config/RegistryFile.h"
#include "support/CliRun.h"
#include "support/FileBytes.h"
#include "support/TempProgramDir.h"

#include <QProcess>
#include <QSet>
#include <QtTest>
#include <memory>

namespace {
struct Screen {
    TempProgramDir dir;
    CIniFile ini;
    const QString store = dir.file(QStringLiteral("MapDepot/第一号屏/"));
    Screen() {
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        ini.WriteStrings(RegistryFile::firstStartValues());
    }
    QStringList attributes() const {
        return ListFiles::read(store + QStringLiteral("List2.txt"), 6).list.entries;
    }
    QString tsum() {
        return ini.ReadString(RegistryFile::sectionName(1), QStringLiteral("TSUM"), 100);
    }
};

CliRun pool(const QStringList &args) {
    return runLedctl(
        QStringList{QStringLiteral("--screen"), QStringLiteral("1"), QStringLiteral("pool")} +
        args);
}
} // namespace

class PoolCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void textsAreAddedWithTheirAttributesAndChangedLater() {
        Screen s;
        QVERIFY(writeAll(s.dir.file(QStringLiteral("t.txt")), "AB\r\nCD"));
        QCOMPARE(
            pool({QStringLiteral("add"), QString(100, QLatin1Char('x')), QStringLiteral("--file"),
                  s.dir.file(QStringLiteral("t.txt")), QStringLiteral("--effect"),
                  QStringLiteral("闪烁显示"), QStringLiteral("--speed"), QStringLiteral("5"),
                  QStringLiteral("--stay"), QStringLiteral("3"), QStringLiteral("--161d")})
                .code,
            0);
        // 100 cells fit the 161D width of 132: one line, then the file's text.
        QCOMPARE(pool({QStringLiteral("list")}).out, QStringLiteral("1\t黄色 ") +
                                                         QString(100, QLatin1Char('x')) +
                                                         QStringLiteral("\n2\t黄色 ABCD\n"));
        QCOMPARE(pool({QStringLiteral("set"), QStringLiteral("2"), QStringLiteral("--stay"),
                       QStringLiteral("9")})
                     .code,
                 0);
        QCOMPARE(s.attributes(),
                 (QStringList{QStringLiteral("，动作方式：闪烁显示，动作速度：5，停留时间：3"),
                              QStringLiteral("，动作方式：闪烁显示，动作速度：5，停留时间：9")}));
        QCOMPARE(pool({QStringLiteral("set"), QStringLiteral("3"), QStringLiteral("--stay"),
                       QStringLiteral("9")})
                     .code,
                 2);
        QCOMPARE(s.tsum(), QStringLiteral("2"));
        // A character the text file cannot hold is told, not turned into "?" silently.
        const CliRun lossy = pool({QStringLiteral("add"), QStringLiteral("A😀")});
        QCOMPARE(lossy.code, 0);
        QVERIFY2(lossy.err.contains(QStringLiteral("😀")) && lossy.err.contains(QStringLiteral("?")),
                 qPrintable(lossy.err));
    }

    void tenAddsAtOnceKeepEveryText() {
        Screen s;
        std::vector<std::unique_ptr<QProcess>> runs;
        QSet<QString> expected;
        for (int i = 0; i < 10; ++i) {
            QStringList args{QStringLiteral("--dir"),    s.dir.path(),
                             QStringLiteral("--screen"), QStringLiteral("1"),
                             QStringLiteral("pool"),     QStringLiteral("add")};
            for (int j = 0; j < 10; ++j) {
                args << QStringLiteral("T%1-%2").arg(i).arg(j);
                expected << QStringLiteral("黄色 T%1-%2").arg(i).arg(j);
            }
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(LEDCOUNTER_BIN_DIR "/ledctl"), args);
        }
        for (auto &run : runs) {
            QVERIFY(run->waitForFinished(60000));
            QVERIFY2(run->exitCode() == 0, run->readAllStandardError().constData());
        }
        QCOMPARE(s.tsum(), QStringLiteral("100"));
        QSet<QString> stored;
        for (int k = 1; k <= 100; ++k)
            stored << ListFiles::readText(s.store, k);
        QCOMPARE(stored, expected);
        QCOMPARE(s.attributes().size(), 100);
    }
};

QTEST_GUILESS_MAIN(PoolCommandsTest)
#include "tst_pool_commands.moc"
