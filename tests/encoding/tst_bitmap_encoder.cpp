// Covers the bitmap encoders: band planes and their order per colour type,
// the plane size returned, the lit threshold, the columns left out, and the
// rows of the last band below the picture kept dark.
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "support/ErrorNumber.h"

#include <QtTest>

namespace {
QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}
} // namespace

class BitmapEncoderTest : public QObject {
    Q_OBJECT
  private slots:
    void planesFollowTheColourType_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("type"); // planes per band
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<QByteArray>>("rows");
        const QByteArray ones(32, '\xFF'), zeros(32, '\0');
        QTest::newRow("16 x 16 yellow, two colours")
            << filled(16, 16, qRgb(255, 255, 0)) << 2 << 32 << QList<QByteArray>{ones, ones};
        QTest::newRow("16 x 16 red, one colour reads green")
            << filled(16, 16, qRgb(255, 0, 0)) << 1 << 32 << QList<QByteArray>{zeros};
        QTest::newRow("channel 63 dark") << filled(16, 16, qRgb(63, 63, 63)) << 3 << 32
                                         << QList<QByteArray>{zeros, zeros, zeros};
        QTest::newRow("channel 64 lit, blue only")
            << filled(16, 16, qRgb(0, 0, 64)) << 3 << 32 << QList<QByteArray>{zeros, zeros, ones};
        // B = 2: columns 16 to 19 are not encoded.
        QTest::newRow("width 20") << filled(20, 16, qRgb(0, 255, 0)) << 1 << 32
                                  << QList<QByteArray>{ones};
    }

    void planesFollowTheColourType() {
        QFETCH(QImage, picture);
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(QList<QByteArray>, rows);
        led device;
        const qint16 got = type == 1   ? device.GetDatNDS2_dan(picture)
                           : type == 2 ? device.GetDatNDS2(picture)
                                       : device.GetDatNDS3(picture);
        QCOMPARE(int(got), size);
        for (int k = 0; k < rows.size(); ++k)
            QCOMPARE(device.table().row(k, size), rows.at(k));
    }

    void aFullColourPictureFillsThreeRowsABand() {
        led device;
        QCOMPARE(int(device.GetDatNDS3(filled(64, 32, qRgb(255, 255, 255)))), 128);
        for (int k = 0; k < 6; ++k)
            QCOMPARE(device.table().row(k, 128), QByteArray(128, '\xFF'));
    }

    void rowsBelowThePictureAreDark() {
        led device;
        device.GetDatNDS2_dan(filled(8, 17, qRgb(0, 255, 0)));
        QCOMPARE(device.table().row(1, 16), QByteArray(1, '\xFF') + QByteArray(15, '\0'));
    }

    void aPictureWiderThan512DotsIsRefused() {
        led device;
        QCOMPARE(errorNumberOf([&] { device.GetDatNDS2(filled(520, 16, 0)); }), 9);
    }

    void theChannelsAreTheBytesOfTheColourValue() {
        QCOMPARE(led::GetRValue(0x00332211), 0x11);
        QCOMPARE(led::GetGValue(0x00332211), 0x22);
        QCOMPARE(led::GetBValue(0x00332211), 0x33);
    }
};

QTEST_GUILESS_MAIN(BitmapEncoderTest)
#include "tst_bitmap_encoder.moc"
