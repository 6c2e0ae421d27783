// Covers the screen registry on a temporary program directory: the file of a
// first start byte for byte, loading and selecting screens from a file of an
// existing installation, add with taken names and addresses, save-and-test,
// renaming with its store directory, and delete of the first, a middle and
// the last screen with every key of the file checked after renumbering.
#include "config/CIniFile.h"
#include "config/RegistryFile.h"
#include "protocol/VbError.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/RecordingOperator.h"
#include "support/ScreenSections.h"
#include "support/TempProgramDir.h"
#include "workflows/ScreenRegistry.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QByteArray FirstStart = QByteArray("[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                         "SUM=1\r\n"
                                         "DQPSign=1\r\n") +
                              screensections::FirstStart;

const QByteArray Global = screensections::InstalledGlobal;

const QByteArray Screen1 = screensections::InstalledScreen1;

const QByteArray Screen2 = screensections::InstalledScreen2;

const QByteArray Screen3 = screensections::InstalledScreen3;

const QByteArray Installed = Global + Screen1 + Screen2 + Screen3;

// Screen 2's properties in section 1's key order, without the window keys
// that only screen 1 had.
const QByteArray Screen2MovedTo1 = "[\xb5\xda 1\xba\xc5\xc6\xc1]\r\n"
                                   "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda\r\n"
                                   "Pcode=2 \xd2\xd1\xbe\xad\xd5\xbc\xd3\xc3\r\n"
                                   "Pbtl=19200\r\n"
                                   "Padr=2\r\n"
                                   "Pchang=160\r\n"
                                   "TSUM=1\r\n"
                                   "Pgao=16\r\n"
                                   "Pcolor=2\r\n"
                                   "Pleixing=3\r\n"
                                   "PQSign=3\r\n"
                                   "PScan=1\r\n"
                                   "POE=0\r\n"
                                   "PDataSign=1\r\n"
                                   "PColRule=4\r\n"
                                   "PCol_F=1\r\n";

// Screen 3 in section 2: the keys screen 3 never had are gone with screen 2.
const QByteArray Screen3MovedTo2 = "[\xb5\xda 2\xba\xc5\xc6\xc1]\r\n"
                                   "Pname=\x8f]\xc9\xbd\xd7\xc9\xd1\xaf\xcc\xa8\r\n"
                                   "Pcode=3\r\n"
                                   "Pbtl=38400\r\n"
                                   "Pchang=96\r\n"
                                   "Padr=03\r\n"
                                   "\r\n";

const QByteArray TwoScreensCurrent1 = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                      "SUM=2\r\n"
                                      "DQPSign= 1\r\n";

const QByteArray TwoScreensCurrent2 = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                      "SUM=2\r\n"
                                      "DQPSign= 2\r\n";

struct Rig {
    TempProgramDir dir;
    CIniFile ini;
    RecordingOperator ui;
    ScreenRegistry registry{ini, ui};
    QStringList calls; // hook calls in order
    Rig() {
        registry.onScreenSelected = [this] {
            calls << QStringLiteral("selected %1").arg(registry.DQPSign);
        };
        registry.onConnectionTest = [this] {
            calls << QStringLiteral("test %1").arg(registry.DQPSign);
        };
    }
    QString iniPath() const { return dir.file(QStringLiteral("ledfile.ini")); }
    bool install(const QByteArray &bytes) { return writeAll(iniPath(), bytes); }
    QByteArray bytes() const { return readAll(iniPath()); }
    QString store(const QString &name) const {
        return dir.file(QStringLiteral("MapDepot/") + name);
    }
    QStringList names() const { return registry.names(); }
    // Stored values of screen n (0: the global section); the file's layout is the INI tests'.
    QStringList values(int n, std::initializer_list<const char *> keys) {
        QStringList out;
        for (const char *k : keys)
            out << ini.ReadString(n ? RegistryFile::sectionName(n) : RegistryFile::globalSection(),
                                  QString::fromLatin1(k), RegistryFile::ScreenSize);
        return out;
    }
};
} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
  private slots:
    // --- load and select ---

    void aFirstStartWritesTheDefaultFileByteForByte() {
        Rig r;
        QSignalSpy changed(&r.registry, &ScreenRegistry::currentScreenChanged);
        QVERIFY(r.registry.load());
        QCOMPARE(r.bytes(), FirstStart);
        QCOMPARE(r.names(), QStringList{QStringLiteral("第一号屏")});
        QCOMPARE(r.registry.currentPosition(), 0);
        QCOMPARE(r.registry.DQPSign, qint16(1));
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toInt(), 0);
        QCOMPARE(r.calls, QStringList{QStringLiteral("selected 1")});
        QVERIFY(r.ui.shown.isEmpty());
    }

    void aFirstStartFillsTheFieldsWithTheFirstScreen() {
        Rig r;
        QVERIFY(r.registry.load());
        const ScreenFields &f = r.registry.fields;
        QCOMPARE(f.pname, QStringLiteral("第一号屏"));
        QCOMPARE(f.Pchao, QStringLiteral("1"));
        QCOMPARE(f.Pbtl, QStringLiteral("9600"));
        QCOMPARE(BaudRate::position(f.Pbtl), 0);
        QCOMPARE(f.Pdizhi, QStringLiteral("1"));
        QCOMPARE(f.Pchang, QStringLiteral("128"));
        QCOMPARE(f.pgao, QStringLiteral("32"));
        QCOMPARE(f.Pcolor, 0);
        QCOMPARE(f.Pleixing, 1);
        QCOMPARE(f.POE, 0);
        QCOMPARE(f.PDataSign, 0);
        QCOMPARE(f.PCol_F, 0);
        QCOMPARE(f.PColRule, 0);
        QCOMPARE(f.PQSign, 4);
        QCOMPARE(f.PScan, 2);
    }

    void aFirstStartCreatesTheStoreDirectoryNamedAfterTheScreen() {
        Rig r;
        QVERIFY(r.registry.load());
        QCOMPARE(r.registry.MapSavePath, r.store(QStringLiteral("第一号屏/")));
        QVERIFY(QFileInfo(r.registry.MapSavePath).isDir());
    }

    void loadingAnInstalledFileSelectsTheStoredScreenAndWritesNothing() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QCOMPARE(r.names(), (QStringList{QStringLiteral("第一号屏"), QStringLiteral("收费窗口"),
                                         QStringLiteral("廬山咨询台")}));
        QCOMPARE(r.registry.currentPosition(), 1);
        QCOMPARE(r.registry.DQPSign, qint16(2));
        QCOMPARE(r.registry.DQPTgeshu, qint16(1));
        QCOMPARE(r.registry.currentSection(), QStringLiteral("第 2号屏"));
        const ScreenFields &f = r.registry.fields;
        QCOMPARE(f.pname, QStringLiteral("收费窗口"));
        QCOMPARE(f.Pchao, QStringLiteral("2")); // "2 已经占用" is port 2
        QCOMPARE(f.Pbtl, QStringLiteral("19200"));
        QCOMPARE(f.Pdizhi, QStringLiteral("2"));
        QCOMPARE(f.Pchang, QStringLiteral("160"));
        QCOMPARE(f.pgao, QStringLiteral("16"));
        QCOMPARE(f.Pcolor, 2);
        QCOMPARE(f.Pleixing, 3);
        QCOMPARE(f.POE, 0);
        QCOMPARE(f.PDataSign, 1);
        QCOMPARE(f.PCol_F, 1);
        QCOMPARE(f.PColRule, 4);
        QCOMPARE(f.PQSign, 3);
        QCOMPARE(f.PScan, 1);
        QCOMPARE(r.bytes(), Installed);
        QVERIFY(r.ui.shown.isEmpty());
    }

    void selectingAnotherScreenStoresItAsCurrentAndChangesNothingElse() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.calls.clear();
        QVERIFY(r.registry.selectScreen(2));
        QCOMPARE(r.bytes(), QByteArray(Installed).replace("DQPSign= 2", "DQPSign= 3"));
        QCOMPARE(r.calls, QStringList{QStringLiteral("selected 3")});
        const ScreenFields &f = r.registry.fields;
        QCOMPARE(f.pname, QStringLiteral("廬山咨询台"));
        QCOMPARE(f.Pchao, QStringLiteral("3"));
        QCOMPARE(f.Pbtl, QStringLiteral("38400"));
        QCOMPARE(f.Pdizhi, QStringLiteral("3")); // stored as "03"
        QCOMPARE(f.Pchang, QStringLiteral("96"));
        QCOMPARE(f.pgao, QStringLiteral("0")); // absent keys read as 0
        QCOMPARE(f.PScan, 0);
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
        QCOMPARE(r.registry.MapSavePath, r.store(QStringLiteral("廬山咨询台/")));
        // Selecting it again writes nothing more.
        const QByteArray before = r.bytes();
        QVERIFY(r.registry.selectScreen(2));
        QCOMPARE(r.bytes(), before);
    }

    void aBaudRateOfAnyOtherTextSelectsTheThirdRate() {
        Rig r;
        QVERIFY(r.install(QByteArray(Installed).replace("Pbtl=9600", "Pbtl=4800")));
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.selectScreen(0));
        QCOMPARE(r.registry.fields.Pbtl, QStringLiteral("38400"));
        QCOMPARE(BaudRate::position(QStringLiteral("4800")), 2);
        QCOMPARE(BaudRate::position(QStringLiteral("115200")), 3);
    }

    void screenTenLivesInTheSectionWithOneBlankBeforeItsDigits() {
        Rig r;
        QByteArray file = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\nSUM=10\r\nDQPSign= 10\r\n";
        for (int n = 1; n <= 10; ++n)
            file += "[\xb5\xda " + QByteArray::number(n) + "\xba\xc5\xc6\xc1]\r\nPname=s" +
                    QByteArray::number(n) + "\r\nPadr=" + QByteArray::number(n) + "\r\n";
        QVERIFY(r.install(file));
        QVERIFY(r.registry.load());
        QCOMPARE(r.registry.screenCount(), 10);
        QCOMPARE(r.registry.fields.pname, QStringLiteral("s10"));
        QCOMPARE(r.registry.fields.Pdizhi, QStringLiteral("10"));
        QCOMPARE(r.registry.currentSection(), QStringLiteral("第 10号屏"));
    }

    // --- add ---

    void addingAScreenAppendsItsFiveKeysMakesItCurrentAndThenTestsIt() {
        Rig r;
        QVERIFY(r.registry.load());
        r.calls.clear();
        r.registry.fields.pname = QStringLiteral("窗口二");
        r.registry.fields.Pchao = QStringLiteral("2");
        r.registry.fields.Pbtl = QStringLiteral("19200");
        r.registry.fields.Pdizhi = QStringLiteral("2");
        r.registry.fields.Pchang = QStringLiteral("96");
        QVERIFY(r.registry.addScreen());
        QCOMPARE(r.values(0, {"SUM", "DQPSign"}), (QStringList{u"2"_s, u"2"_s}));
        QCOMPARE(r.values(2, {"Pname", "Pcode", "Pbtl", "Pchang", "Padr", "Pgao"}),
                 (QStringList{u"窗口二"_s, u"2"_s, u"19200"_s, u"96"_s, u"2"_s, QString()}));
        QVERIFY(r.bytes().contains(screensections::FirstStart));
        QCOMPARE(r.names(), (QStringList{QStringLiteral("第一号屏"), QStringLiteral("窗口二")}));
        QCOMPARE(r.registry.currentPosition(), 1);
        QCOMPARE(r.calls, (QStringList{QStringLiteral("selected 2"), QStringLiteral("test 2")}));
        QCOMPARE(r.registry.fields.pgao, QStringLiteral("0"));
        QCOMPARE(r.registry.fields.PQSign, 0);
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
        QVERIFY(QFileInfo(r.store(QStringLiteral("窗口二"))).isDir());
        QVERIFY(r.ui.shown.isEmpty());
    }

    void addingWithAnAddressAlreadyTakenIsRefused_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("same text") << "2";
        QTest::newRow("leading zero") << "02";
        QTest::newRow("blanks") << " 2 ";
        QTest::newRow("stored with a leading zero") << "3";
    }
    void addingWithAnAddressAlreadyTakenIsRefused() {
        QFETCH(QString, address);
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.calls.clear();
        r.registry.fields.pname = QStringLiteral("新屏");
        r.registry.fields.Pdizhi = address;
        QVERIFY(r.registry.addScreen());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("板卡号码重复，请输入合适的卡号")});
        QCOMPARE(r.ui.shown.first().caption, QStringLiteral("屏幕管理"));
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QCOMPARE(r.registry.currentPosition(), 1);
        QVERIFY(r.calls.isEmpty());
    }

    void addingWithANameAlreadyTakenIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("same text") << "收费窗口";
        QTest::newRow("with blanks around") << " 收费窗口 ";
    }
    void addingWithANameAlreadyTakenIsRefused() {
        QFETCH(QString, name);
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.calls.clear();
        r.registry.fields.pname = name;
        r.registry.fields.Pdizhi = QStringLiteral("9");
        QVERIFY(r.registry.addScreen());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("屏名已经存在，请更换屏名称")});
        QCOMPARE(r.ui.shown.first().caption, QStringLiteral("屏幕管理"));
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QVERIFY(r.calls.isEmpty());
    }

    void addingWithANameThatCannotNameADirectoryIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("屏名无效，请更换屏名称");
        QTest::newRow("empty") << "" << invalid;
        QTest::newRow("blanks") << "   " << invalid;
        QTest::newRow("slash") << "a/b" << invalid;
        QTest::newRow("backslash") << "a\\b" << invalid;
        QTest::newRow("parent") << ".." << invalid;
        QTest::newRow("no code in 936")
            << "屏\U0001F600"
            << QStringLiteral("屏名中的字符“\U0001F600”不能存入文件，请更换屏名称");
        QTest::newRow("longer than 99 bytes") << QString(50, QChar(0x5C4F)) << invalid;
    }
    void addingWithANameThatCannotNameADirectoryIsRefused() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.registry.fields.pname = name;
        r.registry.fields.Pdizhi = QStringLiteral("9");
        QVERIFY(r.registry.addScreen());
        QCOMPARE(r.ui.messages(), QStringList{message});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("ledfile.ini"), QStringLiteral("MapDepot")}));
    }

    void aNewScreenInASectionLeftByADeletedOneKeepsNoneOfItsKeys() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.selectScreen(2));
        QVERIFY(r.registry.deleteScreen()); // section 3 stays behind, hidden by SUM
        r.registry.fields.pname = QStringLiteral("新屏");
        r.registry.fields.Pchao = QStringLiteral("4");
        r.registry.fields.Pbtl = QStringLiteral("9600");
        r.registry.fields.Pdizhi = QStringLiteral("4");
        r.registry.fields.Pchang = QStringLiteral("64");
        QVERIFY(r.registry.addScreen());
        QCOMPARE(r.values(3, {"Pname", "Pcode", "Pbtl", "Pchang", "Padr"}),
                 (QStringList{u"新屏"_s, u"4"_s, u"9600"_s, u"64"_s, u"4"_s}));
        QVERIFY(r.bytes().startsWith(QByteArray(Global).replace("DQPSign= 2", "DQPSign= 3") +
                                     Screen1 + Screen2));
        QCOMPARE(r.registry.fields.pgao, QStringLiteral("0"));
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
    }

    // --- save and test ---

    void savingAnUnchangedScreenRewritesTheSameValuesAndTestsIt() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.selectScreen(0));
        r.calls.clear();
        QVERIFY(r.registry.saveAndTest());
        QVERIFY(r.ui.shown.isEmpty());
        QCOMPARE(r.bytes(), QByteArray(Installed).replace("DQPSign= 2", "DQPSign= 1"));
        QCOMPARE(r.calls, (QStringList{QStringLiteral("selected 1"), QStringLiteral("test 1")}));
        QCOMPARE(r.registry.currentPosition(), 0);
    }

    void savingStoresTheFiveFieldsInTheirPlaces() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load()); // screen 2 is current
        r.registry.fields.Pchao = QStringLiteral("5");
        r.registry.fields.Pbtl = QStringLiteral("115200");
        r.registry.fields.Pdizhi = QStringLiteral("12");
        r.registry.fields.Pchang = QStringLiteral("192");
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.values(2, {"Pname", "Pcode", "Pbtl", "Pchang", "Padr", "Pgao"}),
                 (QStringList{u"收费窗口"_s, u"5"_s, u"115200"_s, u"192"_s, u"12"_s, u"16"_s}));
        QVERIFY(r.bytes().startsWith(Global + Screen1));
        QVERIFY(r.bytes().endsWith(Screen3));
        QCOMPARE(r.registry.fields.Pdizhi, QStringLiteral("12"));
        QCOMPARE(BaudRate::position(r.registry.fields.Pbtl), 3);
    }

    void savingWithAnotherScreensAddressIsRefused() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.calls.clear();
        r.registry.fields.Pdizhi = QStringLiteral("01");
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("板卡号码重复，请输入合适的卡号")});
        QCOMPARE(r.bytes(), Installed);
        QVERIFY(r.calls.isEmpty());
    }

    void savingWithAnotherScreensNameIsRefused() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        r.registry.fields.pname = QStringLiteral("廬山咨询台");
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("屏名已经存在，请更换屏名称")});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.names().at(1), QStringLiteral("收费窗口"));
    }

    void renamingAScreenMovesItsStoreDirectoryWithIt() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(writeAll(r.registry.MapSavePath + QStringLiteral("List1.txt"), "-1,0,0,0,0\r\n"));
        r.registry.fields.pname = QStringLiteral("大厅收费");
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.names().at(1), QStringLiteral("大厅收费"));
        QCOMPARE(r.registry.fields.pname, QStringLiteral("大厅收费"));
        QCOMPARE(r.registry.MapSavePath, r.store(QStringLiteral("大厅收费/")));
        QCOMPARE(readAll(r.store(QStringLiteral("大厅收费/List1.txt"))),
                 QByteArray("-1,0,0,0,0\r\n"));
        QVERIFY(!QFileInfo::exists(r.store(QStringLiteral("收费窗口"))));
        QCOMPARE(r.bytes(), QByteArray(Installed)
                                .replace("Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda",
                                         "Pname=\xb4\xf3\xcc\xfc\xca\xd5\xb7\xd1")
                                .replace("Pcode=2 \xd2\xd1\xbe\xad\xd5\xbc\xd3\xc3", "Pcode=2"));
    }

    void renamingOntoALeftoverDirectoryAsksBeforeReplacingIt() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(writeAll(r.registry.MapSavePath + QStringLiteral(" 1.txt"), "own"));
        QVERIFY(QDir().mkpath(r.store(QStringLiteral("大厅收费"))));
        QVERIFY(writeAll(r.store(QStringLiteral("大厅收费/ 1.txt")), "leftover"));
        r.registry.fields.pname = QStringLiteral("大厅收费");
        r.ui.answers = {false};
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.names().at(1), QStringLiteral("收费窗口"));
        QCOMPARE(readAll(r.store(QStringLiteral("收费窗口/ 1.txt"))), QByteArray("own"));
        QCOMPARE(readAll(r.store(QStringLiteral("大厅收费/ 1.txt"))), QByteArray("leftover"));
        r.ui.answers = {true};
        QVERIFY(r.registry.saveAndTest());
        QCOMPARE(r.names().at(1), QStringLiteral("大厅收费"));
        QCOMPARE(r.registry.MapSavePath, r.store(QStringLiteral("大厅收费/")));
        QCOMPARE(readAll(r.store(QStringLiteral("大厅收费/ 1.txt"))), QByteArray("own"));
        QCOMPARE(
            QDir(r.store(QString())).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("大厅收费")});
    }

    // --- delete ---

    void aReadOnlyRegistryIsToldInWordsAndNothingChanges_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("words");
        QTest::newRow("add") << "add"
                             << "屏幕没有增加";
        QTest::newRow("save") << "save"
                              << "屏幕设置没有保存";
        QTest::newRow("delete") << "delete"
                                << "屏幕没有删除";
    }
    void aReadOnlyRegistryIsToldInWordsAndNothingChanges() {
        QFETCH(QString, action);
        QFETCH(QString, words);
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(makeReadOnly(r.iniPath()));
        r.registry.fields.pname = QStringLiteral("新屏");
        r.registry.fields.Pdizhi = QStringLiteral("9");
        {
            RunUnprivileged nobody;
            QVERIFY(nobody.active());
            if (action == QLatin1String("add")) QVERIFY(!r.registry.addScreen());
            if (action == QLatin1String("save")) QVERIFY(!r.registry.saveAndTest());
            if (action == QLatin1String("delete")) QVERIFY(!r.registry.deleteScreen());
        }
        QCOMPARE(r.ui.messages(),
                 QStringList{QStringLiteral("ledfile.ini 不能写入（只读或没有权限），") + words});
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(r.registry.screenCount(), 3);
        QCOMPARE(r.names().at(1), QStringLiteral("收费窗口"));
    }

    void theLastRemainingScreenCannotBeDeleted() {
        Rig r;
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.deleteScreen());
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("不能删除所有屏幕")});
        QCOMPARE(r.ui.shown.first().caption, QStringLiteral("屏幕管理"));
        QCOMPARE(r.bytes(), FirstStart);
        QCOMPARE(r.registry.screenCount(), 1);
    }

    void deletingMovesEveryKeyOfTheFollowingScreensDown_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("texts");
        const QString n1 = QStringLiteral("第一号屏");
        const QString n2 = QStringLiteral("收费窗口");
        const QString n3 = QStringLiteral("廬山咨询台");
        QTest::newRow("first") << 0
                               << TwoScreensCurrent1 + Screen2MovedTo1 + Screen3MovedTo2 + Screen3
                               << 0 << QStringList{n2, n3} << "2" << 1;
        QTest::newRow("middle") << 1 << TwoScreensCurrent1 + Screen1 + Screen3MovedTo2 + Screen3
                                << 0 << QStringList{n1, n3} << "1" << 4;
        QTest::newRow("last") << 2 << TwoScreensCurrent2 + Screen1 + Screen2 + Screen3 << 1
                              << QStringList{n1, n2} << "2" << 1;
    }
    void deletingMovesEveryKeyOfTheFollowingScreensDown() {
        QFETCH(int, position);
        QFETCH(QByteArray, file);
        QFETCH(int, current);
        QFETCH(QStringList, names);
        QFETCH(QString, address);
        QFETCH(int, texts);
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.selectScreen(position));
        const QString removedStore = r.registry.MapSavePath;
        r.calls.clear();
        QVERIFY(r.registry.deleteScreen());
        QVERIFY(r.ui.shown.isEmpty());
        QCOMPARE(r.bytes(), file);
        QCOMPARE(r.names(), names);
        QCOMPARE(r.registry.currentPosition(), current);
        QCOMPARE(r.registry.DQPSign, qint16(current + 1));
        QCOMPARE(r.registry.fields.pname, names.at(current));
        QCOMPARE(r.registry.fields.Pdizhi, address);
        QCOMPARE(r.registry.DQPTgeshu, qint16(texts));
        QCOMPARE(r.calls, QStringList{QStringLiteral("selected %1").arg(current + 1)});
        QVERIFY(QFileInfo(removedStore).isDir()); // the operator's files are not removed
    }

    void aScreenMovedDownKeepsItsPropertiesWhenSelected() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(r.registry.load());
        QVERIFY(r.registry.selectScreen(0));
        QVERIFY(r.registry.deleteScreen());
        QVERIFY(r.registry.selectScreen(1));
        QCOMPARE(r.registry.fields.pname, QStringLiteral("廬山咨询台"));
        QCOMPARE(r.registry.fields.pgao, QStringLiteral("0"));
        QCOMPARE(r.registry.fields.PColRule, 0);
        QCOMPARE(r.registry.DQPTgeshu, qint16(0));
        QVERIFY(r.ui.statusErrors.isEmpty());
    }

    // --- hooks ---

    void anErrorInTheSelectionHookIsShownOnceInStatusPanelFive() {
        Rig r;
        QVERIFY(r.install(Installed));
        r.registry.onScreenSelected = [] { throw VbError(53, QStringLiteral("file not found")); };
        QVERIFY(!r.registry.load());
        QCOMPARE(r.ui.statusErrors, QList<int>{53});
        QCOMPARE(r.registry.currentPosition(), 1); // the screen is current all the same
        QVERIFY(!r.registry.selectScreen(0));
        QCOMPARE(r.ui.statusErrors, (QList<int>{53, 53}));
    }

    void anErrorInTheConnectionTestEndsAddAfterTheScreenIsStored() {
        Rig r;
        QVERIFY(r.registry.load());
        r.registry.onConnectionTest = [] { throw VbError(13, QStringLiteral("type mismatch")); };
        r.registry.fields.pname = QStringLiteral("二");
        r.registry.fields.Pdizhi = QStringLiteral("2");
        QVERIFY(!r.registry.addScreen());
        QCOMPARE(r.ui.statusErrors, QList<int>{13});
        QCOMPARE(r.registry.screenCount(), 2);
        QCOMPARE(r.registry.currentPosition(), 1);
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
