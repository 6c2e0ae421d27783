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
    QStringList attributes() const { return ListFiles::read(store + "List2.txt", 6).list.entries; }
    QString tsum() { return ini.ReadString(RegistryFile::sectionName(1), "TSUM", 100); }
};

CliRun pool(const QStringList &args) {
    return runLedctl(QStringList{"--screen", "1", "pool"} + args);
}
} // namespace

class PoolCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void textsAreAddedWithTheirAttributesAndChangedLater() {
        Screen s;
        QVERIFY(writeAll(s.dir.file(QStringLiteral("t.txt")), "AB\r\nCD"));
        QCOMPARE(pool({"add", QString(100, 'x'), "--file", s.dir.file("t.txt"), "--effect",
                       "闪烁显示", "--speed", "5", "--stay", "3", "--161d"})
                     .code,
                 0);
        // 100 cells fit the 161D width of 132: one line, then the file's text.
        QCOMPARE(pool({"list"}).out, "1\t黄色 " + QString(100, 'x') + "\n2\t黄色 ABCD\n");
        QCOMPARE(pool({"set", "2", "--stay", "9"}).code, 0);
        QCOMPARE(s.attributes(), (QStringList{"，动作方式：闪烁显示，动作速度：5，停留时间：3",
                                              "，动作方式：闪烁显示，动作速度：5，停留时间：9"}));
        QCOMPARE(pool({"set", "3", "--stay", "9"}).code, 2);
        QCOMPARE(s.tsum(), QStringLiteral("2"));
        // A character the text file cannot hold is told, not turned into "?" silently.
        const CliRun lossy = pool({"add", "A😀"});
        QCOMPARE(lossy.code, 0);
        QVERIFY2(lossy.err.contains("😀") && lossy.err.contains("?"), qPrintable(lossy.err));
    }

    void tenAddsAtOnceKeepEveryText() {
        Screen s;
        std::vector<std::unique_ptr<QProcess>> runs;
        QSet<QString> expected;
        for (int i = 0; i < 10; ++i) {
            QStringList args{"--dir", s.dir.path(), "--screen", "1", "pool", "add"};
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
            stored << ListFiles::readText(s.store, k).text;
        QCOMPARE(stored, expected);
        QCOMPARE(s.attributes().size(), 100);
    }
};

QTEST_GUILESS_MAIN(PoolCommandsTest)
#include "tst_pool_commands.moc"
