// Covers the power-on information of the image panel on a scripted board:
// the drawing surface's size, the packet count by colour type, the text
// format, the refusals before anything is sent, and the window number that
// ends the send silently when refused; hostile picture files (truncated,
// empty, 20000 x 20000, not a picture) give a black surface and one message
// naming the file.
#include "support/DeviceRig.h"
#include "workflows/ImageLibrary.h"

#include <QTemporaryDir>
#include <QtTest>

using workflow::Outcome;

namespace {
const workflow::Connection Board1{1, QStringLiteral("9600"), QStringLiteral("1")};
}

class ImageLibraryTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theSurfaceIsTheScreenLessTheWindowNumber() {
        QTemporaryDir dir;
        QImage picture(200, 10, QImage::Format_RGB32);
        picture.fill(qRgb(0, 255, 0));
        QVERIFY(picture.save(dir.filePath(QStringLiteral("p.png"))));
        RecordingOperator ui;
        QCOMPARE(
            imagelibrary::surface(ui, dir.filePath(QStringLiteral("p.png")), 128, 32, false).size(),
            QSize(128, 32));
        const QImage shown =
            imagelibrary::surface(ui, dir.filePath(QStringLiteral("p.png")), 128, 32, true);
        QCOMPARE(shown.size(), QSize(96, 32));
        QCOMPARE(shown.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(shown.pixel(0, 20), qRgb(0, 0, 0)); // below the picture: black
        QVERIFY(ui.shown.isEmpty());
        imagelibrary::surface(ui, dir.filePath(QStringLiteral("gone.bmp")), 128, 32, false);
        QCOMPARE(ui.lastMessage(), QStringLiteral("图像不存在"));
    }

    void hostilePicturesGiveABlackSurfaceAndOneMessage_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("told");
        QTest::newRow("truncated") << "picture-truncated.png"
                                   << "不是可读的图像";
        QTest::newRow("empty") << "picture-empty.bmp"
                               << "不是可读的图像";
        QTest::newRow("not a picture") << "picture-not-a-picture.bmp"
                                       << "不是可读的图像";
        QTest::newRow("20000 x 20000") << "picture-20000x20000.png"
                                       << "有 20000×20000 点，太大";
    }
    void hostilePicturesGiveABlackSurfaceAndOneMessage() {
        QFETCH(QString, file);
        QFETCH(QString, told);
        const QString path = QStringLiteral(LEDCOUNTER_SOURCE_DIR "/tests/data/hostile/") + file;
        RecordingOperator ui;
        const QImage shown = imagelibrary::surface(ui, path, 64, 16, false);
        QCOMPARE(shown.size(), QSize(64, 16));
        QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY2(ui.shown.at(0).text.contains(path) && ui.shown.at(0).text.contains(told),
                 qPrintable(ui.shown.at(0).text));
    }

    void packetsAreBandsTimesPlanes() {
        QCOMPARE(imagelibrary::packetCount(1, 32), 4);
        QCOMPARE(imagelibrary::packetCount(2, 16), 3);
        QCOMPARE(imagelibrary::packetCount(0, 17), 2);
    }

    void aPictureGoesAsItsPlanes() {
        DeviceRig r;
        imagelibrary::Request req;
        req.position = 0;
        req.surface = QImage(64, 32, QImage::Format_RGB32);
        req.surface.fill(qRgb(255, 255, 0));
        req.height = QStringLiteral("32");
        QCOMPARE(imagelibrary::send(r.device, r.ui, Board1, req, [] { return true; }),
                 Outcome::Done);
        QCOMPARE(r.port->writes.at(1), hex("04000001110004")); // picture 1, four packets
        QCOMPARE(r.port->writes.at(2), hex("00010080") + QByteArray(128, '\xFF'));
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("更新成功"));
        QCOMPARE(r.ui.shown.last().caption, QStringLiteral("更新LOGO"));
    }

    void anEmptyPowerOnTextIsTwoBlanks() {
        DeviceRig r;
        imagelibrary::Request req;
        req.picture = false;
        req.colour = 147;
        QCOMPARE(imagelibrary::send(r.device, r.ui, Board1, req, {}), Outcome::Done);
        QCOMPARE(r.port->writes.at(1), hex("04000001130101")); // command 19, counter 257
        QCOMPARE(r.port->writes.at(2), hex("00010003 932020"));
    }

    void refusalsComeBeforeAnythingIsSent_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("windowNumber");
        QTest::addColumn<QString>("message");
        QTest::newRow("window number refused") << 0 << 64 << 16 << false << "";
        QTest::newRow("nothing selected") << -1 << 64 << 16 << true << "未选中图像";
        QTest::newRow("wider than 512 dots") << 0 << 520 << 16 << true << "图像宽于512点，不能发送";
        // 129 bands of two planes.
        QTest::newRow("258 packets") << 0 << 64 << 2049 << true << "图像超过255包，不能发送";
    }

    void refusalsComeBeforeAnythingIsSent() {
        QFETCH(int, position);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, windowNumber);
        QFETCH(QString, message);
        DeviceRig r;
        imagelibrary::Request req;
        req.position = position;
        req.surface = QImage(width, 16, QImage::Format_RGB32);
        req.height = QString::number(height);
        int windowNumbersSent = 0;
        imagelibrary::send(r.device, r.ui, Board1, req, [&] {
            ++windowNumbersSent;
            return windowNumber;
        });
        QVERIFY(r.port->writes.isEmpty());
        QCOMPARE(windowNumbersSent, message.isEmpty() ? 1 : 0);
        QCOMPARE(r.ui.lastMessage(), message);
    }
};

QTEST_GUILESS_MAIN(ImageLibraryTest)
#include "tst_image_library.moc"
