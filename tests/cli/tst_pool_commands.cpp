// Covers ledctl pool: the attributes and sources a text is added with, the
// change of a text's attributes, ten ledctl processes adding at once to one
// screen, none of them losing another's texts, ledctl killed at random
// moments of its changes, and a start in a read-only program directory.
#include "config/CIniFile.h"
#include "config/ListFiles.h"
#include "config/RegistryFile.h"
#include "support/CliRun.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/TempProgramDir.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
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
            stored << ListFiles::readText(s.store, k).text;
        QCOMPARE(stored, expected);
        QCOMPARE(s.attributes().size(), 100);
    }

    // ledctl adding, deleting and saving the lists with a changed attribute,
    // killed with SIGKILL at a random moment of its run (seeded, 40 kills);
    // then one more start. Every text file up to TSUM holds a whole text,
    // none twice, none beyond TSUM, List2.txt has one entry per text, and
    // nothing is left beside the files.
    void killedAtAnyMomentThePoolAgreesAtTheNextStart() {
        Screen s;
        const QString ledctl = QStringLiteral(LEDCOUNTER_BIN_DIR "/ledctl");
        const QStringList screen{QStringLiteral("--dir"), s.dir.path(), QStringLiteral("--screen"),
                                 QStringLiteral("1"), QStringLiteral("pool")};
        QSet<QString> issued;
        int serial = 0;
        QRandomGenerator random(21);
        const auto command = [&] {
            const quint32 op = random.bounded(10u);
            if (op < 4) {
                QStringList args{QStringLiteral("add")};
                for (quint32 n = random.bounded(1u, 4u); n > 0; --n) {
                    args << QStringLiteral("K%1").arg(++serial);
                    issued << QStringLiteral("黄色 K%1").arg(serial);
                }
                return screen + args;
            }
            if (op < 7) return screen + QStringList{QStringLiteral("delete"), QStringLiteral("1")};
            return screen + QStringList{QStringLiteral("set"), QStringLiteral("1"),
                                        QStringLiteral("--stay"),
                                        QString::number(random.bounded(10u))};
        };
        // A whole run of an addition sets the span the kills fall in.
        QElapsedTimer clock;
        clock.start();
        QProcess first;
        issued << QStringLiteral("黄色 K0");
        first.start(ledctl, screen + QStringList{QStringLiteral("add"), QStringLiteral("K0")});
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        const quint32 span = quint32(qMax<qint64>(2000, clock.nsecsElapsed() / 1000));
        int kills = 0, runs = 0, noted = 0, leftovers = 0, beyond = 0;
        const QStringList expectedNames{QStringLiteral("List1.txt"), QStringLiteral("List2.txt"),
                                        QStringLiteral("图像.txt")};
        while (kills < 40) {
            QProcess run;
            run.start(ledctl, command());
            QVERIFY(run.waitForStarted());
            // The moment is what is random here, not a wait for an outcome.
            QThread::usleep(random.bounded(span / 2, span + span / 10));
            run.kill();
            QVERIFY(run.waitForFinished(30000));
            ++runs;
            if (run.exitStatus() != QProcess::CrashExit) continue;
            ++kills;
            // What this kill left for the next start to put right.
            const int tsum = s.tsum().toInt();
            const QStringList names = QDir(s.store).entryList(QDir::Files);
            noted += QFile::exists(s.dir.file(QStringLiteral("ledfile.change")));
            bool left = false, over = false;
            for (const QString &name : names) {
                const bool text =
                    name.startsWith(QLatin1Char(' ')) && name.endsWith(QLatin1String(".txt"));
                left = left || (!text && !expectedNames.contains(name));
                over = over || (text && name.mid(1).chopped(4).toInt() > tsum);
            }
            leftovers += left;
            beyond += over;
        }
        qInfo("%d runs, %d killed: %d left a noted change, %d new files or temporaries, %d texts "
              "beyond TSUM",
              runs, kills, noted, leftovers, beyond);
        QProcess last;
        last.start(ledctl, screen + QStringList{QStringLiteral("list")});
        QVERIFY(last.waitForFinished(30000));
        QCOMPARE(last.exitCode(), 0);

        const int count = s.tsum().toInt();
        QStringList texts, listed;
        for (int k = 1; k <= count; ++k) {
            const QByteArray bytes = readAll(s.store + ListFiles::textFileName(k));
            QVERIFY2(bytes.endsWith("\r\n"), bytes.constData());
            texts << ListFiles::readText(s.store, k).text;
            listed << QStringLiteral("%1\t%2\n").arg(k).arg(texts.last());
        }
        QVERIFY2(issued.contains(QSet<QString>(texts.begin(), texts.end())),
                 qPrintable(texts.join(QLatin1Char(','))));
        QCOMPARE(QSet<QString>(texts.begin(), texts.end()).size(), count);
        QCOMPARE(QString::fromUtf8(last.readAllStandardOutput()), listed.join(QString()));
        QCOMPARE(s.attributes().size(), count);
        QStringList expected{QStringLiteral("ledfile.ini"), QStringLiteral("List1.txt"),
                             QStringLiteral("List2.txt"), QStringLiteral("图像.txt")};
        for (int k = 1; k <= count; ++k)
            expected << ListFiles::textFileName(k);
        QStringList found;
        QDirIterator it(s.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = it.nextFileInfo().fileName();
            // The lock's own files (a kill may leave QLockFile's ".rmlock") are the lock's affair.
            if (!name.startsWith(QLatin1String("ledfile.lock"))) found << name;
        }
        expected.sort();
        found.sort();
        QVERIFY2(found == expected, qPrintable(found.join(QLatin1Char('|'))));
    }

    // Nothing may be repaired or written there, and the pool still lists.
    void aReadOnlyProgramDirectoryStillStarts() {
        Screen s;
        QCOMPARE(pool({QStringLiteral("add"), QStringLiteral("A"), QStringLiteral("B")}).code, 0);
        QVERIFY(writeAll(s.store + QStringLiteral(" 7.txt"), "orphan\r\n"));
        QVERIFY(writeAll(s.store + QStringLiteral("List2.txt.new"), "half"));
        QVERIFY(makeReadOnly(s.store) && makeReadOnly(s.dir.path()));
        CliRun listed;
        {
            RunUnprivileged asNobody;
            QVERIFY2(asNobody.active(), "cannot give up root rights for the permission test");
            listed = pool({QStringLiteral("list")});
        }
        QVERIFY(makeWritable(s.dir.path()) && makeWritable(s.store));
        QCOMPARE(listed.code, 0);
        QCOMPARE(listed.out, QStringLiteral("1\t黄色 A\n2\t黄色 B\n"));
        QVERIFY(QFile::exists(s.store + QStringLiteral(" 7.txt")));
        QVERIFY(QFile::exists(s.store + QStringLiteral("List2.txt.new")));
    }
};

QTEST_GUILESS_MAIN(PoolCommandsTest)
#include "tst_pool_commands.moc"
