// Covers the list and text files of a screen's store directory: the bytes a
// list is written as, the header flags read back, files of an existing
// installation read and written back byte for byte, a header counting more
// lines than follow, and a refused write that leaves the old file whole.
// Hostile list and text files (tests/data/hostile, huge ones made here):
// what is text is loaded, every line left out is named.
#include "config/ListFiles.h"
#include "protocol/VbError.h"
#include "support/ErrorNumber.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray gbk(const QString &text) {
    QStringEncoder e("GBK");
    return e.encode(text);
}
const QString Picture = QStringLiteral("第1幅图，动作方式：立即显示，动作速度：2，停留时间：2");
const QString Clock = QStringLiteral("显示时钟128点，动作方式：立即显示，停留时间：5");
QByteArray hostile(const char *name) {
    return readAll(QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/data/hostile/") +
                   QLatin1String(name));
}
} // namespace

class ListFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void listsAreWrittenAsHeaderAndLines_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<bool>>("flags");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty message list")
            << QStringList{} << QList<bool>(4, false) << QByteArray("-1,0,0,0,0\r\n");
        QTest::newRow("three entries, clock 128 ticked")
            << QStringList{Picture, Picture, Clock} << QList<bool>{false, true, false, false}
            << gbk(QStringLiteral("2,0,1,0,0\r\n") + Picture + QStringLiteral("\r\n") + Picture +
                   QStringLiteral("\r\n") + Clock + QStringLiteral("\r\n"));
        QTest::newRow("image list, no flags")
            << QStringList{QStringLiteral("/home/a/logo.bmp")} << QList<bool>{}
            << QByteArray("0\r\n/home/a/logo.bmp\r\n");
    }

    void listsAreWrittenAsHeaderAndLines() {
        QFETCH(QStringList, entries);
        QFETCH(QList<bool>, flags);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(ListFiles::messageListName());
        ListFiles::write(path, {entries, flags});
        QCOMPARE(readAll(path), bytes);
        const ListFiles::Loaded back = ListFiles::read(path, int(flags.size()));
        QVERIFY(back.exists);
        QCOMPARE(back.list.entries, entries);
        QCOMPARE(back.list.flags, flags);
        QCOMPARE(back.error, 0);
    }

    void anInstallationsFilesReadAndWriteBackByteForByte() {
        QTemporaryDir dir;
        const QString path = dir.filePath(ListFiles::attributeListName());
        // The second list file: 按屏长截取 ticked, 自动更新列表 not.
        const QByteArray written =
            gbk(QStringLiteral("1,0,0,1,0,1,0\r\n黄色,立即显示,2,2\r\n红色,连续左移,2,5\r\n"));
        QVERIFY(writeAll(path, written));
        const ListFiles::Loaded loaded = ListFiles::read(path, 6);
        QCOMPARE(loaded.list.flags, (QList<bool>{false, false, true, false, true, false}));
        QCOMPARE(loaded.list.entries.size(), 2);
        ListFiles::write(path, loaded.list);
        QCOMPARE(readAll(path), written);
    }

    void aHeaderCountingMoreLinesLoadsThoseThereAre() {
        QTemporaryDir dir;
        const QString path = dir.filePath(ListFiles::imageListName());
        for (const char *count : {"3", "2147483647", "9223372036854775807"}) {
            QVERIFY(writeAll(path, QByteArray(count) + "\r\na.bmp\r\nb.bmp\r\n"));
            const ListFiles::Loaded loaded = ListFiles::read(path, 0);
            QCOMPARE(loaded.list.entries,
                     (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.bmp")}));
            QCOMPARE(loaded.error, 62);
        }
        QVERIFY(!ListFiles::read(dir.filePath(QStringLiteral("none.txt")), 4).exists);
    }

    void hostileListFilesLoadTheirTextLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<int>>("skipped");
        QTest::addColumn<int>("error");
        QTest::newRow("count above the lines") << hostile("list-count-exceeds-lines.txt")
                                               << QStringList{Picture} << QList<int>{} << 62;
        QTest::newRow("bytes that are no code page 936")
            << hostile("list-invalid-936.txt") << QStringList{Picture, Clock} << QList<int>{3} << 0;
        QTest::newRow("a 1 MB line")
            << gbk(QStringLiteral("1,0,0,0,0\r\n")) + QByteArray(1 << 20, 'x') + "\r\n" +
                   gbk(Clock + QStringLiteral("\r\n"))
            << QStringList{Clock} << QList<int>{2} << 0;
        QTest::newRow("LF only") << gbk(QStringLiteral("1,0,0,0,0\n") + Picture +
                                        QLatin1Char('\n') + Clock)
                                 << QStringList{Picture, Clock} << QList<int>{} << 0;
    }
    void hostileListFilesLoadTheirTextLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QFETCH(QList<int>, skipped);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(ListFiles::messageListName());
        QVERIFY(writeAll(path, bytes));
        const ListFiles::Loaded loaded = ListFiles::read(path, 4);
        QCOMPARE(loaded.list.entries, entries);
        QCOMPARE(loaded.skippedLines, skipped);
        QCOMPARE(loaded.error, error);
        QCOMPARE(readAll(path), bytes);
    }

    void hostileTextFilesAreNotLoaded_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << QByteArray() << int(ListFiles::TextRead::Missing) << QString();
        QTest::newRow("binary") << hostile("text-binary.txt") << int(ListFiles::TextRead::NotText)
                                << QString();
        QTest::newRow("10 MB line")
            << QByteArray(10 << 20, 'x') << int(ListFiles::TextRead::TooLong) << QString();
        QTest::newRow("4096 bytes fit")
            << QByteArray(4096, 'x') + "\r\nnext" << int(ListFiles::TextRead::Loaded)
            << QString(4096, QLatin1Char('x'));
    }
    void hostileTextFilesAreNotLoaded() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QString, text);
        QTemporaryDir dir;
        if (!bytes.isEmpty()) QVERIFY(writeAll(dir.filePath(ListFiles::textFileName(1)), bytes));
        const ListFiles::TextRead read = ListFiles::readText(dir.path(), 1);
        QCOMPARE(int(read.status), status);
        QCOMPARE(read.text, text);
    }

    void aRefusedWriteLeavesTheOldFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(ListFiles::messageListName());
        ListFiles::write(path, {{Picture}, QList<bool>(4, false)});
        const QByteArray before = readAll(path);
        QVERIFY(makeReadOnly(dir.path()));
        int error = 0;
        {
            RunUnprivileged nobody;
            QVERIFY(nobody.active());
            error = errorNumberOf([&] {
                ListFiles::write(path, {{Picture, Clock}, QList<bool>(4, true)});
            });
        }
        QVERIFY(makeWritable(dir.path()));
        QCOMPARE(error, 70);
        QCOMPARE(readAll(path), before);
        QCOMPARE(errorNumberOf(
                     [&] { ListFiles::write(dir.filePath(QStringLiteral("gone/List1.txt")), {}); }),
                 76);
        // A store directory that was never made: nothing lands in the working directory.
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const int relative = errorNumberOf([] { ListFiles::write(QStringLiteral("new.txt"), {}); });
        QVERIFY(QDir::setCurrent(cwd));
        QCOMPARE(relative, 76);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.txt"))));
    }

    void lineBreaksNeverSplitAnEntry() {
        QCOMPARE(ListFiles::bytes({{QStringLiteral("a\r\nb"), QStringLiteral("c\nd\r")}, {}}),
                 QByteArray("1\r\nab\r\ncd\r\n"));
        QCOMPARE(ListFiles::textFileBytes(QStringLiteral("黄色 请到\r\n三号")),
                 gbk(QStringLiteral("黄色 请到三号\r\n")));
    }

    void textFilesAreNamedWithALeadingBlank() {
        QTemporaryDir dir;
        QCOMPARE(ListFiles::textFileName(12), QStringLiteral(" 12.txt"));
        QVERIFY(writeAll(dir.filePath(QStringLiteral(" 1.txt")),
                         gbk(QStringLiteral("黄色 欢迎光临\r\n"))));
        QCOMPARE(ListFiles::readText(dir.path(), 1).text, QStringLiteral("黄色 欢迎光临"));
        QCOMPARE(ListFiles::readText(dir.path(), 2).status, ListFiles::TextRead::Missing);
    }
};

QTEST_GUILESS_MAIN(ListFilesTest)
#include "tst_list_files.moc"
