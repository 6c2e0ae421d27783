// Covers the repair at start: a change of several files noted as made is
// finished, one that never got that far is dropped with every temporary a
// write left, and text files beyond TSUM go; files of others stay.
#include "config/CIniFile.h"
#include "config/ProgramDirLock.h"
#include "config/RegistryFile.h"
#include "config/StoreRepair.h"
#include "protocol/VbError.h"
#include "support/FileBytes.h"
#include "support/TempProgramDir.h"

#include <QDir>
#include <QDirIterator>
#include <QtTest>

namespace {
const QString Store = QStringLiteral("MapDepot/第一号屏/");

struct Rig {
    TempProgramDir dir;
    CIniFile ini;
    explicit Rig(const QString &tsum) {
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        ini.WriteStrings(RegistryFile::firstStartValues());
        ini.WriteString(RegistryFile::sectionName(1), QStringLiteral("TSUM"), tsum);
        QDir(dir.path()).mkpath(Store);
    }
    // Every file but ledfile.ini and the lock, by its path in the program directory.
    QStringList files() const {
        QStringList names;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(dir.path()).relativeFilePath(it.next());
            if (name != QLatin1String("ledfile.ini") && name != QLatin1String("ledfile.lock"))
                names.append(name);
        }
        names.sort();
        return names;
    }
};
} // namespace

class StoreRepairTest : public QObject {
    Q_OBJECT
  private slots:
    // `present`: files made before the start, each holding its own name;
    // "ledfile.ini.new" holds the registry with TSUM 1. `left`: what stays,
    // "name<origin" for a file that must now hold origin's bytes.
    void whatAKillLeftIsPutRightAtStart_data() {
        QTest::addColumn<QString>("tsum");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("left");
        const auto at = [](const char *name) { return Store + QString::fromUtf8(name); };
        QTest::newRow("texts beyond TSUM go")
            << QStringLiteral("2")
            << QStringList{at(" 1.txt"), at(" 2.txt"), at(" 3.txt"), at(" 12.txt")}
            << QStringList{at(" 1.txt"), at(" 2.txt")};
        QTest::newRow("a count that means nothing keeps every text")
            << QStringLiteral("x") << QStringList{at(" 1.txt"), at(" 3.txt")}
            << QStringList{at(" 1.txt"), at(" 3.txt")};
        QTest::newRow("temporaries and unnoted new files go, others' files stay")
            << QStringLiteral("0")
            << QStringList{at("图像.txt.AbC123"),
                           at("List2.txt.new"),
                           at("List1.txt.new.x1Y2z3"),
                           at("List1.txt"),
                           QStringLiteral("ledfile.ini.Qw12Er"),
                           QStringLiteral("ledfile.ini.new"),
                           at("notes.txt.abcdef")}
            << QStringList{at("List1.txt"), at("notes.txt.abcdef")};
        // Killed after " 1.txt" took its place: List2.txt and TSUM follow,
        // and the text beyond the new count goes.
        QTest::newRow("a noted change half put in place is finished")
            << QStringLiteral("2")
            << QStringList{at(" 1.txt"),
                           at(" 2.txt"),
                           at("List2.txt"),
                           at("List2.txt.new"),
                           QStringLiteral("ledfile.ini.new"),
                           QStringLiteral("ledfile.change<") + at(" 1.txt") + QStringLiteral("\n") +
                               at("List2.txt") + QStringLiteral("\nledfile.ini\n")}
            << QStringList{at(" 1.txt"), at("List2.txt<") + at("List2.txt.new")};
    }

    void whatAKillLeftIsPutRightAtStart() {
        QFETCH(QString, tsum);
        QFETCH(QStringList, present);
        QFETCH(QStringList, left);
        Rig r(tsum);
        QByteArray iniAfter = readAll(r.ini.filePath());
        for (const QString &entry : present) {
            const QString name = entry.section(QLatin1Char('<'), 0, 0);
            QByteArray bytes = entry.contains(QLatin1Char('<'))
                                   ? entry.section(QLatin1Char('<'), 1).toUtf8()
                                   : name.toUtf8();
            if (name == QLatin1String("ledfile.ini.new"))
                bytes = iniAfter = *r.ini.BytesAfter(
                    {{RegistryFile::sectionName(1), QStringLiteral("TSUM"), QStringLiteral("1")}});
            QVERIFY(writeAll(r.dir.file(name), bytes));
        }
        const bool noted = present.last().startsWith(QLatin1String("ledfile.change"));
        const QByteArray iniBefore = readAll(r.ini.filePath());
        StoreRepair::run();
        QStringList names;
        for (const QString &entry : left)
            names.append(entry.section(QLatin1Char('<'), 0, 0));
        names.sort();
        QCOMPARE(r.files(), names);
        for (const QString &entry : left) {
            const QString origin = entry.section(QLatin1Char('<'), 1);
            QCOMPARE(readAll(r.dir.file(entry.section(QLatin1Char('<'), 0, 0))),
                     (origin.isEmpty() ? entry : origin).toUtf8());
        }
        QCOMPARE(readAll(r.ini.filePath()), noted ? iniAfter : iniBefore);
    }

    // A holder killed between making the lock file and writing its process
    // id into it leaves the file empty; one that has stayed so for a while
    // is no one's, while a fresh one may be a holder's at work.
    void anEmptyLockFileBlocksOnlyWhileItIsFresh_data() {
        QTest::addColumn<int>("ageMs");
        QTest::addColumn<bool>("taken");
        QTest::newRow("left by a kill long ago") << 60000 << true;
        QTest::newRow("just made") << 0 << false;
    }
    void anEmptyLockFileBlocksOnlyWhileItIsFresh() {
        QFETCH(int, ageMs);
        QFETCH(bool, taken);
        TempProgramDir dir;
        QFile lock(dir.file(ProgramDirLock::fileName()));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addMSecs(-ageMs),
                                 QFileDevice::FileModificationTime));
        lock.close();
        bool got = false;
        try {
            const ProgramDirLock held(300);
            got = true;
        } catch (const VbError &) {
        }
        QCOMPARE(got, taken);
    }
};

QTEST_GUILESS_MAIN(StoreRepairTest)
#include "tst_store_repair.moc"
