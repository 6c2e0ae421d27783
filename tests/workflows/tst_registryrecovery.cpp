// Covers how the registry copes with a damaged ledfile.ini (SUM naming no
// screen, DQPSign out of range, an index key outside its list, numbers too
// large, a name that cannot be a directory) and with writes the file system
// refuses (read-only file or folder, no room): the nearest usable screen is
// selected, one error number reaches status panel 5, and nothing on disk is
// lost or rewritten behind the operator's back.
#include "config/CIniFile.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/RecordingOperator.h"
#include "support/ScreenSections.h"
#include "support/TempProgramDir.h"
#include "workflows/ScreenRegistry.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
// Three screens; screen 2 is current.
const QByteArray Installed = QByteArray("[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                        "SUM=3\r\n"
                                        "DQPSign= 2\r\n") +
                             screensections::FirstStart +
                             "[\xb5\xda 2\xba\xc5\xc6\xc1]\r\n"
                             "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda\r\n"
                             "Pcode=2\r\n"
                             "Pbtl=19200\r\n"
                             "Padr=2\r\n"
                             "Pchang=160\r\n"
                             "TSUM=1\r\n"
                             "Pgao=16\r\n"
                             "[\xb5\xda 3\xba\xc5\xc6\xc1]\r\n"
                             "Pname=\xd7\xc9\xd1\xaf\xcc\xa8\r\n"
                             "Pcode=3\r\n"
                             "Pbtl=38400\r\n"
                             "Padr=3\r\n"
                             "Pchang=96\r\n";

struct Rig {
    TempProgramDir dir;
    CIniFile ini;
    RecordingOperator ui;
    ScreenRegistry registry{ini, ui};
    int selections = 0;
    int tests = 0;
    Rig() {
        registry.onScreenSelected = [this] { ++selections; };
        registry.onConnectionTest = [this] { ++tests; };
    }
    QString iniPath() const { return dir.file(QStringLiteral("ledfile.ini")); }
    bool install(const QByteArray &bytes) { return writeAll(iniPath(), bytes); }
    QByteArray bytes() const { return readAll(iniPath()); }
    void fillNewScreen() {
        registry.fields.pname = QStringLiteral("新屏");
        registry.fields.Pchao = QStringLiteral("4");
        registry.fields.Pdizhi = QStringLiteral("4");
        registry.fields.Pchang = QStringLiteral("64");
    }
};
} // namespace

class RegistryRecoveryTest : public QObject {
    Q_OBJECT
  private slots:
    // --- damaged files ---

    void aScreenCountThatNamesNoScreenFallsBackToTheNamedSections_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("error");
        QTest::newRow("zero") << QByteArray(Installed).replace("SUM=3", "SUM=0") << 381;
        QTest::newRow("missing") << QByteArray(Installed).replace("SUM=3\r\n", "") << 381;
        QTest::newRow("not a number") << QByteArray(Installed).replace("SUM=3", "SUM=abc") << 381;
        QTest::newRow("negative") << QByteArray(Installed).replace("SUM=3", "SUM=-1") << 381;
        QTest::newRow("beyond 16 bits") << QByteArray(Installed).replace("SUM=3", "SUM=99999") << 6;
    }
    void aScreenCountThatNamesNoScreenFallsBackToTheNamedSections() {
        QFETCH(QByteArray, file);
        QFETCH(int, error);
        Rig r;
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.registry.names(),
                 (QStringList{QStringLiteral("第一号屏"), QStringLiteral("收费窗口"),
                              QStringLiteral("咨询台")}));
        QCOMPARE(r.registry.currentPosition(), 1);
        QCOMPARE(r.registry.fields.Pdizhi, QStringLiteral("2"));
        QCOMPARE(r.ui.statusErrors, QList<int>{error});
        QCOMPARE(r.selections, 1);
        QCOMPARE(r.bytes(), file);
    }

    void aFileWithoutScreensStillGivesOneScreenToWorkWith() {
        Rig r;
        const QByteArray file = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\nSUM=0\r\n";
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.registry.screenCount(), 1);
        QCOMPARE(r.registry.currentPosition(), 0);
        QCOMPARE(r.ui.statusErrors, QList<int>{381});
        QCOMPARE(r.registry.MapSavePath, QString()); // an empty name names no directory
        QCOMPARE(r.bytes(), file);
    }

    void aCurrentScreenOutOfRangeSelectsTheNearestScreen_data() {
        QTest::addColumn<QByteArray>("current");
        QTest::addColumn<int>("position");
        QTest::newRow("zero") << QByteArray("DQPSign=0") << 0;
        QTest::newRow("negative") << QByteArray("DQPSign=-2") << 0;
        QTest::newRow("beyond SUM") << QByteArray("DQPSign= 7") << 2;
        QTest::newRow("not a number") << QByteArray("DQPSign=x") << 0;
        QTest::newRow("empty") << QByteArray("DQPSign=") << 0;
    }
    void aCurrentScreenOutOfRangeSelectsTheNearestScreen() {
        QFETCH(QByteArray, current);
        QFETCH(int, position);
        Rig r;
        const QByteArray file = QByteArray(Installed).replace("DQPSign= 2", current);
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.registry.currentPosition(), position);
        QCOMPARE(r.registry.DQPSign, qint16(position + 1));
        QCOMPARE(r.ui.statusErrors, QList<int>{381});
        QCOMPARE(r.selections, 1);
        QVERIFY(!r.registry.MapSavePath.isEmpty());
        QCOMPARE(r.bytes(), file); // not rewritten until the operator picks a screen
        // The operator's choice is stored as usual.
        QVERIFY(r.registry.selectScreen(1));
        QCOMPARE(r.bytes(), Installed);
    }

    void anIndexOutsideItsListSelectsTheNearestItem_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<int>("error");
        QTest::newRow("scan 3 of an old first start")
            << QByteArray("PScan=2") << QByteArray("PScan=3") << 380;
        QTest::newRow("colour 7") << QByteArray("Pcolor=0") << QByteArray("Pcolor=7") << 380;
        QTest::newRow("rows -1") << QByteArray("PQSign=4") << QByteArray("PQSign=-1") << 380;
        QTest::newRow("type beyond 16 bits")
            << QByteArray("Pleixing=1") << QByteArray("Pleixing=99999") << 6;
    }
    void anIndexOutsideItsListSelectsTheNearestItem() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, damaged);
        QFETCH(int, error);
        Rig r;
        const QByteArray file =
            QByteArray(Installed).replace("DQPSign= 2", "DQPSign= 1").replace(line, damaged);
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.ui.statusErrors, QList<int>{error});
        const ScreenFields &f = r.registry.fields;
        QCOMPARE(f.PScan, 2); // stored 2, or 3 taken to the last item
        QCOMPARE(f.Pcolor, damaged == "Pcolor=7" ? 2 : 0);
        QCOMPARE(f.PQSign, damaged == "PQSign=-1" ? 0 : 4);
        QCOMPARE(f.Pleixing, damaged == "Pleixing=99999" ? 5 : 1);
        // The rest of the selection still runs.
        QCOMPARE(r.selections, 1);
        QCOMPARE(r.registry.MapSavePath, r.dir.file(QStringLiteral("MapDepot/第一号屏/")));
        QCOMPARE(r.bytes(), file);
    }

    void aTextCountBeyondSixteenBitsCountsNoTexts() {
        Rig r;
        const QByteArray file = QByteArray(Installed).replace("TSUM=1", "TSUM=40000");
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
        QCOMPARE(r.ui.statusErrors, QList<int>{6});
        QCOMPARE(r.bytes(), file);
    }

    void aStoredNameThatCannotBeADirectoryGetsNoStoreDirectory() {
        Rig r;
        const QByteArray file = QByteArray(Installed).replace(
            "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda", "Pname=../../x");
        QVERIFY(r.install(file));
        QVERIFY(!r.registry.load());
        QCOMPARE(r.ui.statusErrors, QList<int>{76});
        QCOMPARE(r.registry.currentPosition(), 1);
        QCOMPARE(r.registry.fields.Pdizhi, QStringLiteral("2"));
        QCOMPARE(r.registry.MapSavePath, QString());
        // Selected with no lists of its own, and the operator hears why.
        QCOMPARE(r.selections, 1);
        QVERIFY(r.ui.lastMessage().startsWith(QStringLiteral("屏名不能用作目录名")));
        QVERIFY(!QFileInfo::exists(r.dir.file(QStringLiteral("MapDepot/../../x"))));
        QCOMPARE(QDir(r.dir.file(QStringLiteral("MapDepot")))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // --- refused writes ---

    void aFirstStartInAReadOnlyFolderIsReportedOnce() {
        Rig r;
        QVERIFY(makeReadOnly(r.dir.path()));
        {
            RunUnprivileged asNobody;
            QVERIFY2(asNobody.active(), "cannot give up root rights for the permission test");
            QVERIFY(!r.registry.load());
        }
        QVERIFY(makeWritable(r.dir.path()));
        QCOMPARE(r.ui.statusErrors, QList<int>{70});
        QVERIFY(!QFileInfo::exists(r.iniPath()));
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void addInAReadOnlyFolderChangesNothingAndIsReportedOnce() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.selections = 0;
        r.fillNewScreen();
        QVERIFY(makeReadOnly(r.dir.path()));
        {
            RunUnprivileged asNobody;
            QVERIFY2(asNobody.active(), "cannot give up root rights for the permission test");
            QVERIFY(!r.registry.addScreen());
        }
        QVERIFY(makeWritable(r.dir.path()));
        QCOMPARE(r.ui.statusErrors, QList<int>{70});
        QVERIFY(r.ui.messages().isEmpty());
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QCOMPARE(r.registry.currentPosition(), 1);
        QCOMPARE(r.selections, 0);
        QCOMPARE(r.tests, 0);
    }

    void deleteWithAReadOnlyFileChangesNothingAndIsReportedOnce() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(makeReadOnly(r.iniPath()));
        QVERIFY(!r.registry.deleteScreen());
        QCOMPARE(r.ui.statusErrors, QList<int>{70});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QCOMPARE(r.registry.currentPosition(), 1);
    }

    void saveWithAReadOnlyFileKeepsTheNameAndTheStoreDirectory() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(makeReadOnly(r.iniPath()));
        r.registry.fields.pname = QStringLiteral("改名");
        QVERIFY(!r.registry.saveAndTest());
        QCOMPARE(r.ui.statusErrors, QList<int>{70});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.names().at(1), QStringLiteral("收费窗口"));
        QVERIFY(QFileInfo(r.dir.file(QStringLiteral("MapDepot/收费窗口"))).isDir());
        QVERIFY(!QFileInfo::exists(r.dir.file(QStringLiteral("MapDepot/改名"))));
        QCOMPARE(r.tests, 0);
    }

    void aReadOnlyFileDoesNotKeepTheOperatorOnOneScreen() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(makeReadOnly(r.iniPath()));
        QVERIFY(!r.registry.selectScreen(2));
        QCOMPARE(r.ui.statusErrors, QList<int>{70});
        QCOMPARE(r.registry.currentPosition(), 2);
        QCOMPARE(r.registry.fields.pname, QStringLiteral("咨询台"));
        QCOMPARE(r.selections, 2);
        QCOMPARE(r.bytes(), Installed);
    }

    void addWithoutRoomOnTheDiskChangesNothing() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.fillNewScreen();
        {
            FileSizeLimit limit(Installed.size());
            QVERIFY2(limit.active(), "cannot limit the file size");
            QVERIFY(!r.registry.addScreen());
        }
        QCOMPARE(r.ui.statusErrors, QList<int>{75});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("ledfile.ini")});
    }
};

QTEST_GUILESS_MAIN(RegistryRecoveryTest)
#include "tst_registryrecovery.moc"
