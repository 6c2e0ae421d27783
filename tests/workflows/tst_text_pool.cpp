// Covers the text pool: the line cutter's cells, text files in UTF-8 or code
// page 936, adding and deleting with their files and TSUM, and send-all with
// its question per refused text and the rebuilt message list. A store with
// hostile files loads what is text, names what it left out, and a save
// does not rewrite a file from the part of it that was loaded.
#include "config/CIniFile.h"
#include "support/DeviceRig.h"
#include "support/ErrorNumber.h"
#include "support/FailDevice.h"
#include "support/FileBytes.h"
#include "support/FileFaults.h"
#include "support/TempProgramDir.h"
#include "workflows/TextPool.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

using workflow::Outcome;

namespace {
const QString Attribute = QStringLiteral("，动作方式：闪烁显示，动作速度：5，停留时间：3");
const TextPoolModel::Attributes Attributes = ListFiles::readAttributes(Attribute);

struct Rig : DeviceRig {
    TempProgramDir dir;
    CIniFile ini;
    ScreenLists lists;
    textpool::Store store;
    Rig() {
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        store = {dir.path() + QLatin1Char('/'), {&ini, QStringLiteral("第 1号屏")}};
    }
    QString text(int k) {
        QStringDecoder gbk("GBK");
        return gbk.decode(readAll(dir.file(QStringLiteral(" %1.txt").arg(k))));
    }
    // Every file of the program directory but the lock, with its bytes.
    QMap<QString, QByteArray> files() {
        QMap<QString, QByteArray> all;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            if (name != QLatin1String("ledfile.lock")) all.insert(name, readAll(dir.file(name)));
        return all;
    }
    QString tsum() { return ini.ReadString(store.section.name, QStringLiteral("TSUM"), 100); }
};
} // namespace

class TextPoolTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void aHostileStoreLoadsWhatIsTextAndKeepsItsFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("tsum");
        QTest::addColumn<int>("texts");    // pool texts loaded
        QTest::addColumn<QString>("told"); // in the one message
        const auto fixture = [](const char *name) {
            return readAll(QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/data/hostile/") +
                           QLatin1String(name));
        };
        QTest::newRow("TSUM 1000000") << QStringLiteral(" 1.txt") << QByteArray("A hello\r\n")
                                      << 1000000 << 1 << QStringLiteral("TSUM=1000000");
        QTest::newRow("binary text file") << QStringLiteral(" 1.txt") << fixture("text-binary.txt")
                                          << 2 << 0 << QStringLiteral(" 1.txt 不是文字");
        QTest::newRow("message list with bytes no text has")
            << QStringLiteral("List1.txt") << fixture("list-invalid-936.txt") << 0 << 0
            << QStringLiteral("List1.txt 第 3 行");
    }
    void aHostileStoreLoadsWhatIsTextAndKeepsItsFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, tsum);
        QFETCH(int, texts);
        QFETCH(QString, told);
        Rig r;
        QVERIFY(writeAll(r.dir.file(QStringLiteral("List1.txt")), "-1,0,0,0,0\r\n"));
        QVERIFY(writeAll(r.dir.file(file), bytes));
        QString leftOut;
        QElapsedTimer clock;
        clock.start();
        r.lists.pool.setTextLines(ScreenLists::textPool(r.store.directory, tsum, &leftOut));
        r.lists.load(r.store.directory);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(r.lists.pool.textCount(), texts);
        QVERIFY2((leftOut + r.lists.notLoaded).contains(told),
                 qPrintable(leftOut + r.lists.notLoaded));
        r.lists.save(r.store.directory);
        QCOMPARE(readAll(r.dir.file(file)), bytes);
    }

    void linesAreCutByCells_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("lengths"); // characters per line
        const QString hanzi(20, QChar(0x6B22));
        QTest::newRow("70 ASCII") << QString(70, QLatin1Char('a')) << QList<int>{66, 4};
        QTest::newRow("32 ASCII, 20 Chinese")
            << QString(32, QLatin1Char('a')) + hanzi << QList<int>{49, 3};
        QTest::newRow("33 ASCII, 20 Chinese")
            << QString(33, QLatin1Char('a')) + hanzi << QList<int>{49, 4};
        QTest::newRow("line breaks dropped") << QStringLiteral("AB\r\nCD") << QList<int>{4};
    }

    void linesAreCutByCells() {
        QFETCH(QString, text);
        QFETCH(QList<int>, lengths);
        QList<int> got;
        for (const QString &l : textpool::cutLines(text, 66))
            got << int(l.size());
        QCOMPARE(got, lengths);
    }

    void narrowScreensStillCutEveryLine() {
        QCOMPARE(textpool::cutLines(QStringLiteral("A欢迎B"), 2),
                 (QStringList{QStringLiteral("A"), QStringLiteral("欢"), QStringLiteral("迎"),
                              QStringLiteral("B")}));
        QCOMPARE(textpool::cutLines(QStringLiteral("欢AB"), 1),
                 (QStringList{QStringLiteral("欢"), QStringLiteral("A"), QStringLiteral("B")}));
    }

    void aScreenLengthNoIntHoldsCutsNothing() {
        const int width = textpool::lineWidth(true, QStringLiteral("1e48"), false);
        QCOMPARE(textpool::cutLines(QStringLiteral("欢迎光临"), width),
                 QStringList{QStringLiteral("欢迎光临")});
    }

    void aFileReadsTheSameInUtf8AndCodePage936() {
        QStringEncoder gbk("GBK");
        const QString text = QStringLiteral("请到\r\n三号窗口");
        QCOMPARE(textpool::fileText(text.toUtf8()), QStringLiteral("请到三号窗口"));
        QCOMPARE(textpool::fileText("\xEF\xBB\xBF" + text.toUtf8()),
                 QStringLiteral("请到三号窗口"));
        QCOMPARE(textpool::fileText(gbk.encode(text)), QStringLiteral("请到三号窗口"));
        QCOMPARE(textpool::fileText("AB\r\nCD"), QStringLiteral("ABCD"));
    }

    void addingAndDeletingKeepFilesAndCount() {
        Rig r;
        textpool::add(r.lists, r.store,
                      {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")},
                      QStringLiteral("红色"), Attributes);
        QCOMPARE(r.lists.pool.textLines(),
                 (QStringList{QStringLiteral("红色 一"), QStringLiteral("红色 二"),
                              QStringLiteral("红色 三")}));
        QCOMPARE(r.lists.pool.attributeLines(), QStringList(3, Attribute));
        QCOMPARE(r.text(3), QStringLiteral("红色 三\r\n"));
        QCOMPARE(r.tsum(), QStringLiteral("3"));
        QCOMPARE(textpool::remove(r.lists, r.store, 1), 0);
        QCOMPARE(r.text(2), QStringLiteral("红色 三\r\n"));
        QCOMPARE(r.text(3), QStringLiteral("红色 三\r\n")); // beyond TSUM, left on disk
        QCOMPARE(r.tsum(), QStringLiteral("2"));
        textpool::clear(r.lists, r.store);
        QVERIFY(!QFile::exists(r.dir.file(QStringLiteral(" 1.txt"))));
        QCOMPARE(r.tsum(), QStringLiteral("0"));
    }

    // Whatever fails, the pool in memory, its text files, List2 and TSUM stay
    // as they were, and the error's number comes out.
    void aFailedChangeLeavesEverythingAsItWas_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("readOnly");
        QTest::newRow("delete, a later text file") << "delete"
                                                   << " 3.txt";
        QTest::newRow("add, the attribute list") << "add"
                                                 << "List2.txt";
        QTest::newRow("add, the registry") << "add"
                                           << "ledfile.ini";
        QTest::newRow("clear, the registry") << "clear"
                                             << "ledfile.ini";
        QTest::newRow("clear, the attribute list") << "clear"
                                                   << "List2.txt";
    }

    void aFailedChangeLeavesEverythingAsItWas() {
        QFETCH(QString, operation);
        QFETCH(QString, readOnly);
        Rig r;
        const QStringList texts{QStringLiteral("红色 一"), QStringLiteral("红色 二"),
                                QStringLiteral("红色 三"), QStringLiteral("红色 四")};
        textpool::add(r.lists, r.store,
                      {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                       QStringLiteral("四")},
                      QStringLiteral("红色"), Attributes);
        const QByteArray list2 = readAll(r.dir.file(QStringLiteral("List2.txt")));
        QVERIFY(makeReadOnly(r.dir.file(readOnly)));
        const int error = errorNumberOf([&] {
            if (operation == QLatin1String("delete")) textpool::remove(r.lists, r.store, 0);
            if (operation == QLatin1String("add"))
                textpool::add(r.lists, r.store, {QStringLiteral("五")}, QStringLiteral("红色"),
                              Attributes);
            if (operation == QLatin1String("clear")) textpool::clear(r.lists, r.store);
        });
        makeWritable(r.dir.file(readOnly));
        QCOMPARE(error, 70);
        QCOMPARE(r.lists.pool.textLines(), texts);
        QCOMPARE(r.lists.pool.attributeLines(), QStringList(4, Attribute));
        for (int k = 1; k <= 4; ++k)
            QCOMPARE(r.text(k), texts.at(k - 1) + QStringLiteral("\r\n"));
        QVERIFY(!QFile::exists(r.dir.file(QStringLiteral(" 5.txt"))));
        QCOMPARE(readAll(r.dir.file(QStringLiteral("List2.txt"))), list2);
        QCOMPARE(r.tsum(), QStringLiteral("4"));
    }

    // The disk runs full at one write of a change (rows: each new file, then
    // the note naming them): no file torn or replaced, nothing left beside
    // them, the pool as it was, and 61 for the operator.
    void aDiskFullAtAnyWriteKeepsTheOldFiles_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("failing");
        const QList<std::pair<const char *, int>> writes{
            {"add", 4}, {"delete", 5}, {"clear", 4}, {"save", 4}};
        for (const auto &[operation, count] : writes)
            for (int n = 1; n <= count; ++n)
                QTest::addRow("%s, write %d", operation, n) << QString::fromLatin1(operation) << n;
    }

    void aDiskFullAtAnyWriteKeepsTheOldFiles() {
        QFETCH(QString, operation);
        QFETCH(int, failing);
        Rig r;
        textpool::add(r.lists, r.store,
                      {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")},
                      QStringLiteral("红色"), Attributes);
        r.lists.save(r.store.directory);
        const QStringList texts = r.lists.pool.textLines();
        const QMap<QString, QByteArray> before = r.files();
        VbError raised(0, QString());
        {
            DiskFaults disk(failing);
            try {
                if (operation == QLatin1String("add"))
                    textpool::add(r.lists, r.store, {QStringLiteral("四")}, QStringLiteral("红色"),
                                  Attributes);
                if (operation == QLatin1String("delete")) textpool::remove(r.lists, r.store, 0);
                if (operation == QLatin1String("clear")) textpool::clear(r.lists, r.store);
                if (operation == QLatin1String("save")) {
                    r.lists.messages.clearAll();
                    r.lists.images.setStringList({QStringLiteral("新图.bmp")});
                    r.lists.save(r.store.directory);
                }
            } catch (const VbError &e) {
                raised = e;
            }
        }
        QCOMPARE(raised.number(), 61);
        QVERIFY2(raised.text().startsWith(QStringLiteral("写入失败：")), qPrintable(raised.text()));
        QCOMPARE(r.files(), before);
        QCOMPARE(r.lists.pool.textLines(), texts);
    }

    // Texts without attributes (files of other makes) stay out of the
    // attribute view; changing one text's attributes changes that row only.
    void thePoolShowsEachHalfAndChangesRowByRow() {
        TextPoolModel pool;
        pool.setTextLines(
            {QStringLiteral("红色 一"), QStringLiteral("绿色 二"), QStringLiteral("黄色 三")});
        pool.setAttributeLines({Attribute});
        QCOMPARE(pool.textView()->rowCount(), 3);
        QCOMPARE(pool.attributeView()->rowCount(), 1);
        QCOMPARE(pool.attributeView()->index(0, 0).data().toString(), Attribute);
        QSignalSpy reset(&pool, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&pool, &QAbstractItemModel::dataChanged);
        pool.setAttributes(0, textpool::attributeEntry(QStringLiteral("立即显示"),
                                                       QStringLiteral("2"), QStringLiteral("2")));
        QCOMPARE(reset.count(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(pool.attributeView()->index(0, 0).data().toString(),
                 QStringLiteral("，动作方式：立即显示，动作速度：2，停留时间：2"));
    }

    // Lists and texts of an existing installation, in shapes of every make,
    // go back to disk as they came: through a save, and through a deletion
    // that rewrites the texts after it.
    void anInstallationsFilesGoBackByteForByte() {
        const QString installed =
            QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/config/fixtures/installed-store/");
        Rig r;
        QCOMPARE(r.lists.load(installed), 0);
        r.lists.pool.setTextLines(ScreenLists::textPool(installed, 4));
        r.lists.save(r.store.directory);
        for (const QString &name : {ListFiles::messageListName(), ListFiles::attributeListName(),
                                    ListFiles::imageListName()})
            QCOMPARE(readAll(r.store.directory + name), readAll(installed + name));
        textpool::remove(r.lists, r.store, 0);
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(readAll(r.store.directory + ListFiles::textFileName(k)),
                     readAll(installed + ListFiles::textFileName(k + 1)));
    }

    void sendAllStoresEveryTextAndRebuildsTheList() {
        Rig r;
        textpool::add(r.lists, r.store, {QStringLiteral("欢迎光临"), QStringLiteral("请稍候")},
                      QStringLiteral("绿色"), Attributes);
        const textpool::SendAll sent =
            textpool::sendAll(r.device, r.ui, {1, QStringLiteral("9600"), QStringLiteral("1")},
                              r.lists, true, {true, false, false, true});
        QCOMPARE(sent.outcome, Outcome::Done);
        QCOMPARE(r.port->writes.at(1), hex("04000001110701"));
        QCOMPARE(r.port->writes.at(2), hex("00010009 55BBB6D3ADB9E2C1D9"));
        QCOMPARE(sent.width, 48);
        QCOMPARE(r.lists.messages.lines(),
                 (QStringList{QStringLiteral("显示日期128点，动作方式：立即显示，停留时间：2"),
                              QStringLiteral("显示时钟64点 ，动作方式：立即显示，停留时间：2"),
                              QStringLiteral("第1幅图") + Attribute,
                              QStringLiteral("第2幅图") + Attribute}));
        QCOMPARE(r.port->writes.at(r.port->writes.size() - 2),
                 hex("00010010 FE000002 FD000002 01070503 02070503"));
        QCOMPARE(r.ui.messages(),
                 (QStringList{QStringLiteral("汉字发送成功"), QStringLiteral("列表发送成功")}));
    }

    void aRefusedTextAnsweredNoEndsTheRun() {
        Rig r;
        textpool::add(r.lists, r.store, {QStringLiteral("一"), QStringLiteral("二")},
                      QStringLiteral("黄色"), Attributes);
        r.port->onWrite = nullptr;
        r.ui.answers = {false};
        textpool::sendAll(r.device, r.ui, {1, QStringLiteral("9600"), QStringLiteral("1")}, r.lists,
                          true, {});
        QCOMPARE(r.ui.shown.size(), 1);
        QCOMPARE(r.ui.shown.at(0).text, QStringLiteral("第 1更新失败，是否继续发送？"));
        QCOMPARE(r.ui.shown.at(0).caption, QStringLiteral("更新失败"));
        QCOMPARE(r.port->writes.size(), 1); // the first link check, nothing after
        QCOMPARE(r.lists.messages.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TextPoolTest)
#include "tst_text_pool.moc"
