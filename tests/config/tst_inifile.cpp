// Covers CIniFile, the gateway to ledfile.ini: code page 936 and CR LF on
// disk, names matched without regard to case, trimmed values, Size as a byte
// count that never splits a character, values replaced in place with every
// other byte kept (also in a file written by an existing installation),
// ReadInt's missing-versus-zero rule, and writes that are refused or fail
// leaving the old file as it was.
#include "config/CIniFile.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/ScreenSections.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString fixturePath() {
    return QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/config/fixtures/installed-ledfile.ini");
}

// The fixture as it lies on disk: GBK, CR LF, a blank line before screen 3.
const QByteArray Installed = screensections::InstalledFile;

// Replaces the first `oldLine` after `header` in `bytes`.
QByteArray replaceLineAfter(QByteArray bytes, const QByteArray &header, const QByteArray &oldLine,
                            const QByteArray &newLine) {
    const qsizetype from = bytes.indexOf(header);
    const qsizetype at = bytes.indexOf("\r\n" + oldLine, from) + 2;
    if (from < 0 || at < 2) return QByteArray("<line not found>");
    return bytes.replace(at, oldLine.size(), newLine);
}

struct Rig {
    QTemporaryDir dir;
    CIniFile ini;
    QString path;
    Rig() : path(dir.filePath(QStringLiteral("ledfile.ini"))) { ini.SpecifyIni(path); }
    bool install(const QByteArray &bytes) { return writeAll(path, bytes); }
    QByteArray bytes() const { return readAll(path); }
};
} // namespace

class IniFileTest : public QObject {
    Q_OBJECT
  private slots:
    // --- naming the file ---

    void withoutAFileEveryOperationSaysSo() {
        CIniFile ini;
        QVERIFY(ini.NoIniFile());
        QCOMPARE(ini.ErrorMsg, QStringLiteral("没有指定 INI 文件"));
        ini.ErrorMsg.clear();
        QVERIFY(
            !ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("SUM"), QStringLiteral("1")));
        QCOMPARE(ini.ErrorMsg, QStringLiteral("没有指定 INI 文件"));
        ini.ErrorMsg.clear();
        QCOMPARE(ini.ReadString(QStringLiteral("屏总数"), QStringLiteral("SUM"), 10), QString());
        QCOMPARE(ini.ErrorMsg, QStringLiteral("没有指定 INI 文件"));
    }

    void aNamedFileClearsTheMessage() {
        Rig r;
        r.ini.ErrorMsg = QStringLiteral("old");
        QVERIFY(!r.ini.NoIniFile());
        QCOMPARE(r.ini.ErrorMsg, QString());
    }

    void blanksAroundThePathAreNotPartOfIt() {
        Rig r;
        r.ini.SpecifyIni(QStringLiteral("  ") + r.path + QStringLiteral(" \t"));
        QCOMPARE(r.ini.filePath(), r.path);
        QVERIFY(r.ini.WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(r.bytes(), QByteArray("[a]\r\nk=v\r\n"));
    }

    // --- writing ---

    void writingToAMissingFileCreatesItInCodePage936WithCrLf() {
        Rig r;
        QVERIFY(r.ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("SUM"),
                                  QStringLiteral("1")));
        QVERIFY(r.ini.WriteString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"),
                                  QStringLiteral("第一号屏")));
        QVERIFY(r.ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("DQPSign"),
                                  QStringLiteral(" 1")));
        QCOMPARE(r.bytes(), QByteArray("[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                       "SUM=1\r\n"
                                       "DQPSign= 1\r\n"
                                       "[\xb5\xda 1\xba\xc5\xc6\xc1]\r\n"
                                       "Pname=\xb5\xda\xd2\xbb\xba\xc5\xc6\xc1\r\n"));
        QCOMPARE(r.ini.ErrorMsg, QString());
    }

    void theEuroSignIsTheSingleByte80AsInWindowsCodePage936() {
        Rig r;
        QVERIFY(r.ini.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("€5")));
        QCOMPARE(r.bytes(), QByteArray("[s]\r\nk=\x80"
                                       "5\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("s"), QStringLiteral("k"), 100),
                 QStringLiteral("€5"));
    }

    void aValueIsReplacedInPlaceAndEveryOtherLineKeepsItsBytesAndOrder() {
        Rig r;
        QVERIFY(r.install("; kept comment\r\n[A]\r\nx = 1 \r\ny=2\n[B]\r\nx=3\r\n"));
        QVERIFY(r.ini.WriteString(QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("99")));
        QCOMPARE(r.bytes(), QByteArray("; kept comment\r\n[A]\r\nx =99\r\ny=2\n[B]\r\nx=3\r\n"));
    }

    void aNewKeyGoesAfterTheSectionsLastKeyBeforeItsBlankLines() {
        Rig r;
        QVERIFY(r.install("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"));
        QVERIFY(r.ini.WriteString(QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("3")));
        QVERIFY(r.ini.WriteString(QStringLiteral("B"), QStringLiteral("w"), QStringLiteral("4")));
        QVERIFY(r.ini.WriteString(QStringLiteral("C"), QStringLiteral("v"), QStringLiteral("5")));
        QCOMPARE(r.bytes(),
                 QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\nw=4\r\n[C]\r\nv=5\r\n"));
    }

    void aLastLineWithoutLineEndGetsOneBeforeAnythingIsAdded() {
        Rig r;
        QVERIFY(r.install("[A]\r\nx=1"));
        QVERIFY(r.ini.WriteString(QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
        QVERIFY(r.install("[A]\r\nx=1"));
        QVERIFY(r.ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("7")));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=7"));
        QVERIFY(r.ini.WriteString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("2")));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=7\r\n[B]\r\ny=2\r\n"));
    }

    void valuesAndNamesThatWouldBreakALineAreRefused() {
        Rig r;
        QVERIFY(r.install("[A]\r\nx=1\r\n"));
        QVERIFY(!r.ini.WriteString(QStringLiteral("A"), QStringLiteral("x"),
                                   QStringLiteral("2\r\n[B]")));
        QCOMPARE(r.ini.ErrorMsg, QStringLiteral("写入失败"));
        QVERIFY(
            !r.ini.WriteString(QStringLiteral("A]x"), QStringLiteral("x"), QStringLiteral("2")));
        QVERIFY(
            !r.ini.WriteString(QStringLiteral("A"), QStringLiteral("x=y"), QStringLiteral("2")));
        QVERIFY(!r.ini.WriteString(QStringLiteral("A"), QStringLiteral(""), QStringLiteral("2")));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=1\r\n"));
    }

    void severalWritesReachTheDiskTogether() {
        Rig r;
        QVERIFY(
            r.ini.WriteStrings({{QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1")},
                                {QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("2")},
                                {QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("3")}}));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=3\r\n[B]\r\ny=2\r\n"));
        // One refused entry keeps all of them off the disk.
        QVERIFY(!r.ini.WriteStrings(
            {{QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("4")},
             {QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("\n")}}));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=3\r\n[B]\r\ny=2\r\n"));
    }

    // --- reading ---

    void sectionAndKeyNamesMatchWithoutRegardToCase() {
        Rig r;
        QVERIFY(r.install("[Screen]\r\nPNAME=abc\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("sCREEN"), QStringLiteral("pname"), 100),
                 QStringLiteral("abc"));
    }

    void blanksAroundAStoredValueAreNotPartOfIt() {
        Rig r;
        QVERIFY(r.install("[G]\r\nDQPSign= 2\r\n  key\t=\t x y \t\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("G"), QStringLiteral("DQPSign"), 10),
                 QStringLiteral("2"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("G"), QStringLiteral("key"), 10),
                 QStringLiteral("x y"));
    }

    void aMissingSectionOrKeyReadsAsEmptyTextWithoutAMessage() {
        Rig r;
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("x"), 100), QString());
        QCOMPARE(r.ini.ErrorMsg, QString());
        QVERIFY(r.install("[A]\r\nx=1\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("第 9号屏"), QStringLiteral("x"), 100), QString());
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("y"), 100), QString());
        QCOMPARE(r.ini.ErrorMsg, QString());
    }

    void theFirstOfTwoSectionsOrKeysOfTheSameNameCounts() {
        Rig r;
        QVERIFY(r.install("[A]\r\nx=1\r\nX=2\r\n[a]\r\nx=3\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("x"), 100),
                 QStringLiteral("1"));
        QVERIFY(r.ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("5")));
        QCOMPARE(r.bytes(), QByteArray("[A]\r\nx=5\r\nX=2\r\n[a]\r\nx=3\r\n"));
    }

    void aDoubleByteCharacterEndingInBracketOrBackslashStaysInItsName() {
        // 廬 is 8F 5D and 嘰 is 87 5C in code page 936.
        Rig r;
        QVERIFY(r.install("[\x8f]\xc9\xbd]\r\nPname=\x87\\\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("廬山"), QStringLiteral("Pname"), 100),
                 QStringLiteral("嘰"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("廬"), QStringLiteral("Pname"), 100), QString());
    }

    void sizeCountsBytesAndGivesBackAtMostSizeMinusOne() {
        Rig r;
        QVERIFY(r.install("[A]\r\nascii=123456789\r\n"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("ascii"), 10),
                 QStringLiteral("123456789"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("ascii"), 9),
                 QStringLiteral("12345678"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("ascii"), 1), QString());
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("ascii"), 0), QString());
    }

    void sizeNeverCutsADoubleByteCharacterInHalf() {
        Rig r;
        QVERIFY(
            r.ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("a汉字")));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), 6),
                 QStringLiteral("a汉字"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), 5),
                 QStringLiteral("a汉"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), 4),
                 QStringLiteral("a汉"));
        QCOMPARE(r.ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), 3),
                 QStringLiteral("a"));
    }

    void aNameOfFiftyChineseCharactersComesBackAsFortyNine() {
        Rig r;
        const QString fifty = QString(50, QChar(0x5C4F)); // 屏
        const QString fortyNine = QString(49, QChar(0x5C4F));
        QVERIFY(r.ini.WriteString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"), fifty));
        QCOMPARE(r.ini.ReadString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"), 100),
                 fortyNine);
        QVERIFY(r.ini.WriteString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"), fortyNine));
        QCOMPARE(r.ini.ReadString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"), 100),
                 fortyNine);
        QVERIFY(r.ini.WriteString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"),
                                  fortyNine + QLatin1Char('x')));
        QCOMPARE(r.ini.ReadString(QStringLiteral("第 1号屏"), QStringLiteral("Pname"), 100),
                 fortyNine + QLatin1Char('x'));
    }

    void readIntTellsAMissingKeyFromAStoredZero() {
        Rig r;
        QVERIFY(r.install("[A]\r\nzero=0\r\nn= -12abc\r\nword=abc\r\n"));
        QCOMPARE(r.ini.ReadInt(QStringLiteral("A"), QStringLiteral("zero")), 0);
        QCOMPARE(r.ini.ErrorMsg, QString());
        QCOMPARE(r.ini.ReadInt(QStringLiteral("A"), QStringLiteral("missing")), 0);
        QCOMPARE(r.ini.ErrorMsg, QStringLiteral("不能读取"));
        QCOMPARE(r.ini.ReadInt(QStringLiteral("A"), QStringLiteral("n")), -12);
        QCOMPARE(r.ini.ErrorMsg, QString());
        QCOMPARE(r.ini.ReadInt(QStringLiteral("A"), QStringLiteral("word")), 0);
        QCOMPARE(r.ini.ErrorMsg, QString());
    }

    // --- a file written by an existing installation ---

    void theFixtureIsTheInstalledFileByteForByte() { QCOMPARE(readAll(fixturePath()), Installed); }

    void anInstalledFileReadsBackExactly_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("value");
        QTest::newRow("SUM") << "屏总数"
                             << "SUM" << 10 << "3";
        QTest::newRow("DQPSign with its blank") << "屏总数"
                                                << "DQPSign" << 10 << "2";
        QTest::newRow("name 1") << "第 1号屏"
                                << "Pname" << 100 << "第一号屏";
        QTest::newRow("window number") << "第 1号屏"
                                       << "windowNo" << 100 << "01";
        QTest::newRow("name 2") << "第 2号屏"
                                << "Pname" << 100 << "收费窗口";
        QTest::newRow("busy port") << "第 2号屏"
                                   << "Pcode" << 100 << "2 已经占用";
        QTest::newRow("baud 2") << "第 2号屏"
                                << "Pbtl" << 100 << "19200";
        QTest::newRow("row rule 2") << "第 2号屏"
                                    << "PColRule" << 100 << "4";
        QTest::newRow("name 3 after a blank line") << "第 3号屏"
                                                   << "Pname" << 100 << "廬山咨询台";
        QTest::newRow("address 3") << "第 3号屏"
                                   << "Padr" << 100 << "03";
        QTest::newRow("absent key") << "第 3号屏"
                                    << "TSUM" << 100 << "";
    }
    void anInstalledFileReadsBackExactly() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, size);
        QFETCH(QString, value);
        CIniFile ini;
        ini.SpecifyIni(fixturePath());
        QCOMPARE(ini.ReadString(section, key, size), value);
    }

    void changingAnInstalledFileKeyByKeyKeepsEveryOtherByte() {
        Rig r;
        QVERIFY(QFile::copy(fixturePath(), r.path));
        QVERIFY(makeWritable(r.path));
        struct Change {
            QString section, key, value;
            QByteArray header, oldLine, newLine;
        };
        const QByteArray global = "[\xc6\xc1\xd7\xdc\xca\xfd]";
        const QByteArray s1 = "[\xb5\xda 1\xba\xc5\xc6\xc1]";
        const QByteArray s2 = "[\xb5\xda 2\xba\xc5\xc6\xc1]";
        const QByteArray s3 = "[\xb5\xda 3\xba\xc5\xc6\xc1]";
        const QList<Change> changes{
            {QStringLiteral("屏总数"), QStringLiteral("DQPSign"), QStringLiteral(" 3"), global,
             "DQPSign= 2", "DQPSign= 3"},
            {QStringLiteral("屏总数"), QStringLiteral("SUM"), QStringLiteral("4"), global, "SUM=3",
             "SUM=4"},
            {QStringLiteral("第 2号屏"), QStringLiteral("Padr"), QStringLiteral("7"), s2, "Padr=2",
             "Padr=7"},
            {QStringLiteral("第 3号屏"), QStringLiteral("Padr"), QStringLiteral("8"), s3, "Padr=03",
             "Padr=8"},
            {QStringLiteral("第 1号屏"), QStringLiteral("Padr"), QStringLiteral("9"), s1, "Padr=1",
             "Padr=9"},
            {QStringLiteral("第 2号屏"), QStringLiteral("Pname"), QStringLiteral("测试屏"), s2,
             "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda", "Pname=\xb2\xe2\xca\xd4\xc6\xc1"},
            {QStringLiteral("第 2号屏"), QStringLiteral("Pcode"), QStringLiteral("2"), s2,
             "Pcode=2 \xd2\xd1\xbe\xad\xd5\xbc\xd3\xc3", "Pcode=2"},
            {QStringLiteral("第 1号屏"), QStringLiteral("windowNo"), QStringLiteral("窗口七"), s1,
             "windowNo=01", "windowNo=\xb4\xb0\xbf\xda\xc6\xdf"},
            {QStringLiteral("第 1号屏"), QStringLiteral("PScan"), QStringLiteral("0"), s1,
             "PScan=2", "PScan=0"},
            {QStringLiteral("第 2号屏"), QStringLiteral("PCol_F"), QStringLiteral("0"), s2,
             "PCol_F=1", "PCol_F=0"},
            {QStringLiteral("第 3号屏"), QStringLiteral("Pchang"), QStringLiteral("256"), s3,
             "Pchang=96", "Pchang=256"},
        };
        QByteArray expected = Installed;
        for (const Change &c : changes) {
            QVERIFY2(r.ini.WriteString(c.section, c.key, c.value), qPrintable(c.key));
            expected = replaceLineAfter(expected, c.header, c.oldLine, c.newLine);
            QCOMPARE(r.bytes(), expected);
            QCOMPARE(r.ini.ReadString(c.section, c.key, 100), c.value.trimmed());
        }
        // A key the screen lacked goes after its last key, at the end of the file.
        QVERIFY(r.ini.WriteString(QStringLiteral("第 3号屏"), QStringLiteral("TSUM"),
                                  QStringLiteral("0")));
        QCOMPARE(r.bytes(), expected + "TSUM=0\r\n");
        // Section 2 ends in a blank line: its new key goes before it.
        QVERIFY(r.ini.WriteString(QStringLiteral("第 2号屏"), QStringLiteral("windowNo"),
                                  QStringLiteral("5")));
        QCOMPARE(r.bytes(), QByteArray(expected + "TSUM=0\r\n")
                                .replace("PCol_F=0\r\n\r\n", "PCol_F=0\r\nwindowNo=5\r\n\r\n"));
    }

    void writingTheSameValueAgainLeavesTheFileUntouched() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(makeReadOnly(r.path));
        QVERIFY(r.ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("DQPSign"),
                                  QStringLiteral(" 2")));
        QCOMPARE(r.ini.lastWriteError(), 0);
        QCOMPARE(r.bytes(), Installed);
    }

    // --- refused and failed writes ---

    void aReadOnlyFileIsRefusedAndKeptByteForByte() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(makeReadOnly(r.path));
        QVERIFY(!r.ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("SUM"),
                                   QStringLiteral("9")));
        QCOMPARE(r.ini.ErrorMsg, QStringLiteral("写入失败"));
        QCOMPARE(r.ini.lastWriteError(), 70);
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("ledfile.ini")});
    }

    void aReadOnlyFolderRefusesTheWriteAndKeepsTheOldFile() {
        Rig r;
        QVERIFY(r.install(Installed));
        QVERIFY(makeReadOnly(r.dir.path()));
        {
            RunUnprivileged asNobody;
            QVERIFY2(asNobody.active(), "cannot give up root rights for the permission test");
            QCOMPARE(r.ini.ReadString(QStringLiteral("屏总数"), QStringLiteral("SUM"), 10),
                     QStringLiteral("3"));
            QVERIFY(!r.ini.WriteString(QStringLiteral("屏总数"), QStringLiteral("SUM"),
                                       QStringLiteral("9")));
            QCOMPARE(r.ini.ErrorMsg, QStringLiteral("写入失败"));
            QCOMPARE(r.ini.lastWriteError(), 70);
        }
        QVERIFY(makeWritable(r.dir.path()));
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("ledfile.ini")});
    }

    void aWriteThatRunsOutOfSpaceKeepsTheOldFile() {
        Rig r;
        QVERIFY(r.install(Installed));
        {
            FileSizeLimit limit(Installed.size() + 10);
            QVERIFY2(limit.active(), "cannot limit the file size");
            QVERIFY(!r.ini.WriteString(QStringLiteral("第 3号屏"), QStringLiteral("windowNo"),
                                       QString(100, QLatin1Char('x'))));
        }
        QCOMPARE(r.ini.ErrorMsg, QStringLiteral("写入失败"));
        // The size limit fails as "file too large" (75); a full disk would give 61.
        QCOMPARE(r.ini.lastWriteError(), 75);
        QCOMPARE(r.bytes(), Installed);
        QCOMPARE(QDir(r.dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("ledfile.ini")});
        // Once there is room again the same write succeeds.
        QVERIFY(r.ini.WriteString(QStringLiteral("第 3号屏"), QStringLiteral("windowNo"),
                                  QString(100, QLatin1Char('x'))));
        QCOMPARE(r.bytes(), Installed + "windowNo=" + QByteArray(100, 'x') + "\r\n");
    }

    void aFolderThatDoesNotExistIsReportedAsPathNotFound() {
        CIniFile ini;
        QTemporaryDir dir;
        ini.SpecifyIni(dir.filePath(QStringLiteral("missing/ledfile.ini")));
        QVERIFY(!ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1")));
        QCOMPARE(ini.ErrorMsg, QStringLiteral("写入失败"));
        QCOMPARE(ini.lastWriteError(), 76);
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
