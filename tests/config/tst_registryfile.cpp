// Covers the pieces every Part uses to read ledfile.ini: the numeric value of
// a stored text, its 16-bit conversion, section names, the baud-rate
// position, which screen names can name a store directory, and the list of
// registered screens that ledctl prints, also from hostile files
// (tests/data/hostile: cut off, random bytes, LF only, UTF-8 with a byte
// order mark, SUM far above the sections, duplicate sections, 10 MB, a 1 MB
// value): what is valid is listed, the rest is told, the file is untouched.
#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "config/StoreDirectory.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"
#include "support/ErrorNumber.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/TempProgramDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QtTest>

namespace {
QByteArray hostile(const char *name) {
    return readAll(QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/data/hostile/") +
                   QLatin1String(name));
}
QByteArray gbk(const QString &text) {
    QStringEncoder e("GBK");
    return e.encode(text);
}
} // namespace

class RegistryFileTest : public QObject {
    Q_OBJECT
  private slots:
    void hostileLedfilesListWhatIsValid_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("told"); // a "not loaded" text naming ledfile.ini
        const QStringList both{QStringLiteral("甲屏"), QStringLiteral("乙屏")};
        QTest::newRow("cut off in a name")
            << hostile("ledfile-truncated.ini") << QStringList{QStringLiteral("甲")} << true;
        QTest::newRow("random bytes")
            << hostile("ledfile-random.ini") << QStringList{QString()} << false;
        QTest::newRow("LF only") << hostile("ledfile-lf-only.ini") << both << false;
        QTest::newRow("UTF-8 with a byte order mark")
            << hostile("ledfile-utf8-bom.ini") << both << false;
        QTest::newRow("SUM 32767, two sections")
            << hostile("ledfile-sum-far-above.ini") << both << true;
        QTest::newRow("SUM 32767, no section")
            << gbk(QStringLiteral("[屏总数]\r\nSUM=32767\r\n")) << QStringList{QString()} << true;
        QTest::newRow("duplicate sections: the first counts")
            << hostile("ledfile-duplicate-sections.ini") << both << false;
        const QByteArray valid = hostile("ledfile-lf-only.ini").replace("\n", "\r\n");
        QTest::newRow("10 MB")
            << valid + "[junk]\r\n" +
                   QByteArray("k=" + QByteArray(60, 'x') + "\r\n").repeated(10 << 14)
            << both << false;
        QTest::newRow("1 MB value, cut to the key's size")
            << QByteArray(valid).replace(gbk(QStringLiteral("乙屏")),
                                         gbk(QStringLiteral("乙").repeated(1 << 19)))
            << QStringList{both.at(0), QStringLiteral("乙").repeated(49)} << false;
    }
    void hostileLedfilesListWhatIsValid() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        QFETCH(bool, told);
        TempProgramDir dir;
        QVERIFY(writeAll(RegistryFile::path(), bytes));
        CIniFile ini;
        ini.SpecifyIni(RegistryFile::path());
        QElapsedTimer clock;
        clock.start();
        QStringList listed;
        for (const RegistryFile::RegisteredScreen &s : RegistryFile::readScreens(ini))
            listed.append(s.name);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(listed, names);
        const QString notLoaded = RegistryFile::screenCount(ini).notLoaded;
        QCOMPARE(notLoaded.startsWith(QStringLiteral("ledfile.ini ")), told);
        QCOMPARE(readAll(RegistryFile::path()), bytes);
    }

    void theNumericValueTakesTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "128" << 128.0;
        QTest::newRow("busy port") << "3 已经占用" << 3.0;
        QTest::newRow("port with error") << "5 错误8010" << 5.0;
        QTest::newRow("leading blank") << " 2" << 2.0;
        QTest::newRow("blanks inside") << "1 2" << 12.0;
        QTest::newRow("leading zero") << "01" << 1.0;
        QTest::newRow("sign") << "-7x" << -7.0;
        QTest::newRow("fraction") << "1.5" << 1.5;
        QTest::newRow("exponent") << "2e3" << 2000.0;
        QTest::newRow("exponent without digits") << "3e" << 3.0;
        QTest::newRow("word") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("dot") << "." << 0.0;
        QTest::newRow("full-width digits are no number") << "３" << 0.0;
    }
    void theNumericValueTakesTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(NumericText::value(text), value);
    }

    void sixteenBitConversionRoundsHalvesToEvenAndOverflowsBeyond() {
        QCOMPARE(NumericText::toInt16(2.5), qint16(2));
        QCOMPARE(NumericText::toInt16(3.5), qint16(4));
        QCOMPARE(NumericText::toInt16(-2.5), qint16(-2));
        QCOMPARE(NumericText::toInt16(32767.4), qint16(32767));
        QCOMPARE(NumericText::toInt16(-32768), qint16(-32768));
        for (double tooLarge : {32767.6, 40000.0, -32769.0}) {
            try {
                NumericText::toInt16(tooLarge);
                QFAIL("no overflow raised");
            } catch (const VbError &e) {
                QCOMPARE(e.number(), 6);
            }
        }
    }

    void numbersAreShownAsDecimalText() {
        QCOMPARE(NumericText::format(3), QStringLiteral("3"));
        QCOMPARE(NumericText::format(-2), QStringLiteral("-2"));
        QCOMPARE(NumericText::format(0), QStringLiteral("0"));
        QCOMPARE(NumericText::format(1.5), QStringLiteral("1.5"));
    }

    void aScreenSectionHasOneBlankBeforeTheDigits() {
        QCOMPARE(RegistryFile::sectionName(1), QStringLiteral("第 1号屏"));
        QCOMPARE(RegistryFile::sectionName(10), QStringLiteral("第 10号屏"));
        QCOMPARE(RegistryFile::sectionName(12), QStringLiteral("第 12号屏"));
    }

    void theBaudRatePositionFollowsTheListWithTheThirdForAnythingElse() {
        QCOMPARE(BaudRate::position(QStringLiteral("9600")), 0);
        QCOMPARE(BaudRate::position(QStringLiteral("19200")), 1);
        QCOMPARE(BaudRate::position(QStringLiteral("38400")), 2);
        QCOMPARE(BaudRate::position(QStringLiteral("115200")), 3);
        QCOMPARE(BaudRate::position(QStringLiteral("4800")), 2);
        QCOMPARE(BaudRate::position(QString()), 2);
        QCOMPARE(BaudRate::text(0), QStringLiteral("9600"));
        QCOMPARE(BaudRate::text(3), QStringLiteral("115200"));
        QCOMPARE(BaudRate::text(7), QStringLiteral("38400"));
    }

    void aScreenNameMustBeAUsableDirectoryName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("chinese") << "第一号屏" << true;
        QTest::newRow("blanks around") << " 窗口 1 " << true;
        QTest::newRow("49 chinese characters") << QString(49, QChar(0x5C4F)) << true;
        QTest::newRow("50 chinese characters") << QString(50, QChar(0x5C4F)) << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << " .. " << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("colon") << "a:b" << false;
        QTest::newRow("tab") << "a\tb" << false;
        QTest::newRow("no code in 936") << "屏\U0001F600" << false;
    }
    void aScreenNameMustBeAUsableDirectoryName() {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(StoreDirectory::isUsableName(name), usable);
    }

    void theStoreDirectoryLiesUnderMapDepotInTheProgramDirectory() {
        TempProgramDir dir;
        QCOMPARE(StoreDirectory::pathFor(QStringLiteral(" 窗口 ")),
                 dir.file(QStringLiteral("MapDepot/窗口/")));
        // Names in a hand-edited file never lead out of MapDepot.
        QCOMPARE(errorNumberOf([] { StoreDirectory::pathFor(QStringLiteral("../../x")); }), 76);
        QCOMPARE(RegistryFile::path(), dir.file(QStringLiteral("ledfile.ini")));
    }

    void aReadOnlyProgramDirectoryMovesTheFilesAndSaysWhere() {
        QTemporaryDir exe, data;
        QCOMPARE(ProgramDir::locate(exe.path(), data.path()).path, exe.path());
        QVERIFY(ProgramDir::locate(exe.path(), data.path()).notice.isEmpty());
        QVERIFY(makeReadOnly(exe.path()));
        ProgramDir::Location moved;
        {
            RunUnprivileged nobody;
            QVERIFY(nobody.active());
            moved = ProgramDir::locate(exe.path(), data.path());
        }
        QVERIFY(makeWritable(exe.path()));
        QCOMPARE(moved.path, data.path());
        QVERIFY2(moved.notice.contains(exe.path()) && moved.notice.contains(data.path()),
                 qPrintable(moved.notice));
    }

    void theRegisteredScreensAreReadWithTheirConnectionSettings() {
        TempProgramDir dir;
        QVERIFY(QFile::copy(
            QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/config/fixtures/installed-ledfile.ini"),
            RegistryFile::path()));
        CIniFile ini;
        ini.SpecifyIni(RegistryFile::path());
        const QList<RegistryFile::RegisteredScreen> screens = RegistryFile::readScreens(ini);
        QCOMPARE(screens.size(), 3);
        QCOMPARE(screens.at(1).number, 2);
        QCOMPARE(screens.at(1).name, QStringLiteral("收费窗口"));
        QCOMPARE(screens.at(1).port, 2);
        QCOMPARE(screens.at(1).baud, QStringLiteral("19200"));
        QCOMPARE(screens.at(1).address, 2);
        QCOMPARE(screens.at(2).name, QStringLiteral("廬山咨询台"));
        QCOMPARE(screens.at(2).baud, QStringLiteral("38400"));
        QCOMPARE(screens.at(2).address, 3);
        QCOMPARE(RegistryFile::screenCount(ini).error, 0);
    }
};

QTEST_GUILESS_MAIN(RegistryFileTest)
#include "tst_registryfile.moc"
