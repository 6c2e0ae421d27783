// Covers the file loaders: packets per row, the last row's tail, the empty
// file, the length patch, and the refusals before anything is loaded.
#include "protocol/led.h"
#include "support/ErrorNumber.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

class FileLoaderTest : public QObject {
    Q_OBJECT
  private slots:
    void aFileFillsItsPackets_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("packet");
        QTest::addColumn<int>("packets");
        QTest::newRow("1056 in 528") << 1056 << 528 << 2;
        QTest::newRow("1000 in 528") << 1000 << 528 << 2;
        QTest::newRow("empty") << 0 << 528 << 0;
        QTest::newRow("300 in 256") << 300 << 256 << 2;
    }

    void aFileFillsItsPackets() {
        QFETCH(int, size);
        QFETCH(int, packet);
        QFETCH(int, packets);
        QTemporaryDir dir;
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(char(i * 7));
        QVERIFY(writeAll(dir.filePath(QStringLiteral("f.bin")), bytes));
        led device;
        device.table().setRow(1, 0, QByteArray(528, 'x')); // left from an earlier command
        QCOMPARE(int(device.filetoarray(dir.filePath(QStringLiteral("f.bin")), qint16(packet))),
                 packets);
        for (int k = 0; k < packets; ++k) {
            const QByteArray part = bytes.mid(k * packet, packet);
            QCOMPARE(device.table().row(k, packet),
                     part + QByteArray(packet - part.size(), '\xFF'));
        }
    }

    void theFirmwareLoaderWritesTheLength() {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(QStringLiteral("fw.bin")), QByteArray(70000, '\x55')));
        led device;
        QCOMPARE(int(device.filetoarray9200(dir.filePath(QStringLiteral("fw.bin")), 528)), 133);
        QCOMPARE(device.table().row(0, 24).mid(20), QByteArray::fromHex("70110100"));
    }

    void refusalsLoadNothing() {
        QTemporaryDir dir;
        led device;
        QCOMPARE(errorNumberOf(
                     [&] { device.filetoarray(dir.filePath(QStringLiteral("gone.bin")), 528); }),
                 53);
        QVERIFY(writeAll(dir.filePath(QStringLiteral("big.bin")), QByteArray(32768 * 2, 'a')));
        QCOMPARE(
            errorNumberOf([&] { device.filetoarray(dir.filePath(QStringLiteral("big.bin")), 1); }),
            6);
        QCOMPARE(
            errorNumberOf([&] { device.filetoarray(dir.filePath(QStringLiteral("big.bin")), 0); }),
            6);
        QCOMPARE(device.table().allocatedRows(), 0);
    }

    void whatIsNoFileIsNamed() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        led device;
        const auto refusal = [&](const QString &path) {
            try {
                device.filetoarray(path, 528);
            } catch (const VbError &e) {
                return QString::number(e.number()) + e.text();
            }
            return QString();
        };
        QVERIFY(refusal(dir.path()).startsWith(QStringLiteral("75是文件夹")));
        QVERIFY(refusal(fifo).startsWith(QStringLiteral("75是管道")));
        QVERIFY(refusal(QStringLiteral("/dev/null")).startsWith(QStringLiteral("75是设备")));
    }
};

QTEST_GUILESS_MAIN(FileLoaderTest)
#include "tst_file_loader.moc"
