// "更新ARM" and "更新FPGA" on a scripted board: the header and packets of a
// file, the empty field, an empty file, and files that cannot be sent (each
// ends with its message and sends nothing). The loader's rows are pinned by
// the encoding tests.
#include "support/DeviceRig.h"
#include "workflows/FileUpload.h"

#include <QTemporaryDir>
#include <QtTest>

using workflow::Outcome;

namespace {
struct Rig : DeviceRig {
    QTemporaryDir dir;
    workflow::Connection row{1, QStringLiteral("9600"), QStringLiteral("1")};
    QString file(qint64 size) {
        const QString path = dir.filePath(QStringLiteral("firmware.bin"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(size)) return {};
        return path;
    }
};
} // namespace

class FileUploadTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void anUpdateSendsTheFileIn528BytePackets_data() {
        QTest::addColumn<bool>("arm");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("packets");
        QTest::newRow("ARM, 100 000 bytes")
            << true << qint64(100000) << hex("04000001 0500BE") << 190;
        QTest::newRow("FPGA, 528 bytes") << false << qint64(528) << hex("04000001 0E0001") << 1;
        QTest::newRow("empty file") << true << qint64(0) << hex("04000001 050000") << 0;
    }
    void anUpdateSendsTheFileIn528BytePackets() {
        QFETCH(bool, arm);
        QFETCH(qint64, size);
        QFETCH(QByteArray, header);
        QFETCH(int, packets);
        Rig r;
        const QString path = r.file(size);
        QCOMPARE(fileupload::update(r.device, r.ui, r.row, path,
                                    arm ? fileupload::arm() : fileupload::fpga()),
                 Outcome::Done);
        QCOMPARE(r.port->writes.at(1), header);
        // Link check, header, then a packet and its checksum each.
        QCOMPARE(r.port->writes.size(), 2 + 2 * packets);
        if (packets > 0) QCOMPARE(r.port->writes.at(2).left(4), hex("00010210"));
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("更新成功")});
    }

    void firmwareWithALengthWordCarriesItsLength() {
        Rig r;
        fileupload::Kind kind = fileupload::arm();
        kind.lengthWord = true;
        QCOMPARE(fileupload::update(r.device, r.ui, r.row, r.file(70000), kind), Outcome::Done);
        QCOMPARE(r.port->writes.at(2).mid(4 + 20, 4), hex("70110100"));
    }

    void whatCannotBeSentEndsWithItsMessage_data() {
        QTest::addColumn<int>("kind"); // 0 empty field, 1 missing file, 2 too large, 3 silent
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<int>>("status");
        QTest::newRow("empty field")
            << 0 << QStringList{QStringLiteral("请选择ASC文件")} << QList<int>{};
        QTest::newRow("missing file")
            << 1 << QStringList{QStringLiteral("更新失败")} << QList<int>{53};
        QTest::newRow("32768 packets")
            << 2 << QStringList{QStringLiteral("文件太大：32768包（最多32767包）")} << QList<int>{};
        QTest::newRow("no answer") << 3 << QStringList{QStringLiteral("更新失败")} << QList<int>{};
    }
    void whatCannotBeSentEndsWithItsMessage() {
        QFETCH(int, kind);
        Rig r;
        QString path;
        if (kind == 1) path = r.dir.filePath(QStringLiteral("missing.bin"));
        if (kind == 2) path = r.file(32767LL * 528 + 1);
        if (kind == 3) {
            path = r.file(10);
            r.port->onWrite = nullptr;
        }
        fileupload::update(r.device, r.ui, r.row, path, fileupload::fpga());
        QTEST(r.ui.messages(), "messages");
        QTEST(r.ui.statusErrors, "status");
        QCOMPARE(r.port->writes.size(), kind == 3 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(FileUploadTest)
#include "tst_file_upload.moc"
