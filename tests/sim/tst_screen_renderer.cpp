// Covers how a scene becomes dots: glyphs as GNU Unifont draws them, the
// fixed cells of the board's text, boxes for what the font cannot show,
// clipping and background, image planes and their colours, dimming, and the
// font file's faults. Layout cases use a small font of their own so that
// only the glyph cases depend on the installed one.
#include "sim/ScreenRenderer.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray hex(const char *digits) {
    return QByteArray::fromHex(digits);
}

// A row of dots as letters: '.' unlit, r g b y for the lit colours, '?' else.
QString row(const QImage &image, int y) {
    QString out;
    for (int x = 0; x < image.width(); ++x) {
        switch (image.pixel(x, y) & 0xffffff) {
        case 0x000000:
            out += u'.';
            break;
        case 0xff0000:
            out += u'r';
            break;
        case 0x00ff00:
            out += u'g';
            break;
        case 0x0000ff:
            out += u'b';
            break;
        case 0xffff00:
            out += u'y';
            break;
        default:
            out += u'?';
        }
    }
    return out;
}

Scene textScene(QSize size, QRect area, const QByteArray &codes, QRgb single, QRgb dbl,
                QRgb background = 0) {
    SceneItem item;
    item.area = area;
    item.codes = codes;
    item.singleByteColour = single;
    item.doubleByteColour = dbl;
    item.background = background;
    return Scene{size, false, 255, {item}};
}

Scene imageScene(QSize size, QRect area, int planes, int bytesPerRow,
                 const QList<QByteArray> &rows) {
    SceneItem item;
    item.kind = SceneItem::Kind::Image;
    item.area = area;
    item.planes = planes;
    item.bytesPerRow = bytesPerRow;
    item.rows = rows;
    return Scene{size, false, 255, {item}};
}

constexpr QRgb Red = 0xffff0000, Green = 0xff00ff00, Blue = 0xff0000ff;
} // namespace

class ScreenRendererTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<Unifont> m_font;

    QString writeFont(const QString &name, const QByteArray &text) {
        const QString path = m_dir.filePath(name);
        return writeAll(path, text) ? path : QString();
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // Every row of a glyph alike, so one row tells the whole cell. A: 8 wide
        // C3; B: 16 wide F00F; 一 (D2BB): 16 wide 8001; 丁 (B6A1): 8 wide FF.
        const QString path = writeFont(QStringLiteral("test.hex"),
                                       "0041:" + QByteArray("C3").repeated(16) +
                                           "\n0042:" + QByteArray("F00F").repeated(16) +
                                           "\r\n4E00:" + QByteArray("8001").repeated(16) +
                                           "\n\n4E01:" + QByteArray("ff").repeated(16) + "\n");
        m_font = std::make_unique<Unifont>(path);
        QVERIFY2(m_font->isLoaded(), qPrintable(m_font->loadError()));
        QCOMPARE(m_font->glyphCount(), 4);
        QCOMPARE(m_font->width(0x41), 8);
        QCOMPARE(m_font->width(0x4e00), 16);
        QCOMPARE(m_font->width(0x5a), 0);
        QVERIFY(m_font->glyph(0x5a).isEmpty());
        QCOMPARE(m_font->glyph(0x4e01), hex("FF").repeated(16));
    }

    void glyphsAreUnifontsDotForDot_data() {
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<uint>("cp");
        QTest::addColumn<QByteArray>("glyph");
        QTest::addColumn<QChar>("colour");
        // Copied from unifont.hex of GNU Unifont 15.
        QTest::newRow("A, half-width")
            << hex("41") << 0x41u << hex("0000000018242442427E424242420000") << QChar(u'r');
        QTest::newRow("欢, Chinese")
            << hex("BBB6") << 0x6b22u
            << hex("00800080FC8004FC050449082A401440104028A024A045108110020804040802")
            << QChar(u'g');
    }
    void glyphsAreUnifontsDotForDot() {
        QFETCH(QByteArray, codes);
        QFETCH(uint, cp);
        QFETCH(QByteArray, glyph);
        QFETCH(QChar, colour);
        const Unifont &font = Unifont::instance();
        QVERIFY2(
            font.isLoaded(),
            qPrintable(font.loadError() +
                       QStringLiteral(" (install the unifont package or set LEDSIM_UNIFONT)")));
        QCOMPARE(font.glyph(cp), glyph);

        const QImage dots =
            render(textScene(QSize(16, 16), QRect(0, 0, 16, 16), codes, Red, Green), font);
        QCOMPARE(dots.size(), QSize(16, 16));
        QCOMPARE(dots.format(), QImage::Format_RGB32);
        const int bytesPerRow = int(glyph.size() / 16);
        for (int y = 0; y < 16; ++y) {
            QString expected;
            for (int x = 0; x < 16; ++x)
                expected += x < bytesPerRow * 8 &&
                                    (uchar(glyph[y * bytesPerRow + x / 8]) & (0x80 >> (x % 8)))
                                ? colour
                                : u'.';
            QCOMPARE(row(dots, y), expected);
        }
    }

    // A scene of 32x16; rows 0, 1-14 and 15 as letters.
    void textCells_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<QRgb>("single");
        QTest::addColumn<QRgb>("dbl");
        QTest::addColumn<QRgb>("background");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("middle");
        QTest::addColumn<QString>("bottom");
        const QRect all(0, 0, 32, 16);
        const QString a = QStringLiteral("rr....rr........................");
        QTest::newRow("half-width") << all << hex("41") << Red << Green << 0u << a << a << a;
        const QString ba = QStringLiteral("rrrr....rr....rr................");
        QTest::newRow("wide glyph cut to its half-width cell")
            << all << hex("4241") << Red << Green << 0u << ba << ba << ba;
        const QString yi = QStringLiteral("g..............g................");
        QTest::newRow("Chinese") << all << hex("D2BB") << Red << Green << 0u << yi << yi << yi;
        const QString ding = QStringLiteral("gggggggg........rr....rr........");
        QTest::newRow("narrow glyph at the left of its Chinese cell")
            << all << hex("B6A141") << Red << Green << 0u << ding << ding << ding;
        const QString unlit = QStringLiteral("........g..............g........");
        QTest::newRow("colour 0 leaves its kind unlit but keeps the cell")
            << all << hex("41D2BB") << 0u << Green << 0u << unlit << unlit << unlit;
        const QString bg = QStringLiteral("....rrbbbbrrbbbbbbbb............");
        QTest::newRow("background inside the area only")
            << QRect(4, 0, 16, 16) << hex("41") << Red << Green << Blue << bg << bg << bg;
        const QString clip = QStringLiteral("rr....rrrr....rrrr..............");
        QTest::newRow("clipped at the area's right edge")
            << QRect(0, 0, 20, 16) << hex("41414141") << Red << Green << 0u << clip << clip << clip;
        const QString none = QStringLiteral("................................");
        QTest::newRow("clipped at the area's bottom edge")
            << QRect(0, 0, 32, 15) << hex("41") << Red << Green << 0u << a << a << none;
        QTest::newRow("missing glyph: box")
            << all << hex("5A41") << Red << Green << 0u << "rrrrrrrrrr....rr................"
            << "r......rrr....rr................"
            << "rrrrrrrrrr....rr................";
        QTest::newRow("undecodable Chinese code: box")
            << all << hex("817F41") << Red << Green << 0u << "ggggggggggggggggrr....rr........"
            << "g..............grr....rr........"
            << "ggggggggggggggggrr....rr........";
        QTest::newRow("undecodable byte: box")
            << all << hex("FF") << Red << Green << 0u << "rrrrrrrr........................"
            << "r......r........................"
            << "rrrrrrrr........................";
        QTest::newRow("lead byte at the end: box")
            << all << hex("41D2") << Red << Green << 0u << "rr....rrgggggggggggggggg........"
            << "rr....rrg..............g........"
            << "rr....rrgggggggggggggggg........";
    }
    void textCells() {
        QFETCH(QRect, area);
        QFETCH(QByteArray, codes);
        QFETCH(QRgb, single);
        QFETCH(QRgb, dbl);
        QFETCH(QRgb, background);
        QFETCH(QString, top);
        QFETCH(QString, middle);
        QFETCH(QString, bottom);
        const QImage dots =
            render(textScene(QSize(32, 16), area, codes, single, dbl, background), *m_font);
        QCOMPARE(row(dots, 0), top);
        for (int y = 1; y < 15; ++y)
            QCOMPARE(row(dots, y), middle);
        QCOMPARE(row(dots, 15), bottom);
    }

    void textStartsAtTheAreasTop() {
        const QImage dots =
            render(textScene(QSize(8, 32), QRect(0, 16, 8, 16), hex("41"), Red, Green), *m_font);
        QCOMPARE(row(dots, 15), QStringLiteral("........"));
        QCOMPARE(row(dots, 16), QStringLiteral("rr....rr"));
        QCOMPARE(row(dots, 31), QStringLiteral("rr....rr"));
    }

    void imagePlanesMakeTheColour_data() {
        QTest::addColumn<int>("planes");
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<QString>("expected");
        const QByteArray ff = hex("FF").repeated(32), off(32, '\0');
        QTest::newRow("one plane: red") << 1 << QList<QByteArray>{ff} << "rrrrrrrrrrrrrrrr";
        QTest::newRow("red and green: yellow")
            << 2 << QList<QByteArray>{ff, ff} << "yyyyyyyyyyyyyyyy";
        QTest::newRow("green alone") << 2 << QList<QByteArray>{off, ff} << "gggggggggggggggg";
        QTest::newRow("three planes, blue alone")
            << 3 << QList<QByteArray>{off, off, ff} << "bbbbbbbbbbbbbbbb";
    }
    void imagePlanesMakeTheColour() {
        QFETCH(int, planes);
        QFETCH(QList<QByteArray>, rows);
        QFETCH(QString, expected);
        const QImage dots = render(imageScene(QSize(16, 16), QRect(0, 0, 16, 16), planes, 2, rows));
        for (int y = 0; y < 16; ++y)
            QCOMPARE(row(dots, y), expected);
    }

    // Three bytes a row in an area of 16 dots from 8,16: bit 7 is the
    // leftmost dot, the third byte is cut, the second band is missing.
    void imageBitsLandInTheArea() {
        QByteArray band(48, '\0');
        band.replace(0, 3, hex("8001FF"));
        band.replace(45, 3, hex("4000FF"));
        const QImage dots = render(imageScene(QSize(32, 40), QRect(8, 16, 16, 24), 1, 3, {band}));
        QCOMPARE(row(dots, 16), QStringLiteral("........r..............r........"));
        QCOMPARE(row(dots, 31), QStringLiteral(".........r......................"));
        int lit = 0;
        for (int y = 0; y < dots.height(); ++y)
            lit += int(row(dots, y).count(u'r'));
        QCOMPARE(lit, 3);
    }

    void darkAndBrightness_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("full") << false << 255 << 0xffff01c0u;
        // 192 * 128 / 255 = 96.4, 1 * 128 / 255 = 0.502: rounded, not cut.
        QTest::newRow("half") << false << 128 << 0xff800160u;
        QTest::newRow("zero") << false << 0 << 0xff000000u;
        QTest::newRow("dark") << true << 255 << 0xff000000u;
    }
    void darkAndBrightness() {
        QFETCH(bool, dark);
        QFETCH(int, brightness);
        QFETCH(QRgb, expected);
        Scene scene = textScene(QSize(4, 2), QRect(0, 0, 2, 2), {}, Red, Green, 0xffff01c0);
        scene.dark = dark;
        scene.brightness = brightness;
        const QImage dots = render(scene, *m_font);
        for (int y = 0; y < 2; ++y) {
            QCOMPARE(dots.pixel(1, y), expected);
            QCOMPARE(dots.pixel(2, y), 0xff000000u);
        }
    }

    void ledsShowLitAndUnlitDots() {
        QImage dots(2, 1, QImage::Format_RGB32);
        dots.setPixel(0, 0, Green);
        dots.setPixel(1, 0, 0xff000000);
        const QImage leds = renderLeds(dots, 10);
        QCOMPARE(leds.size(), QSize(20, 10));
        const QRgb corner = leds.pixel(0, 0), unlit = leds.pixel(15, 5);
        QCOMPARE(leds.pixel(5, 5), Green);
        QCOMPARE(leds.pixel(10, 9), corner);
        QVERIFY(qRed(unlit) == qGreen(unlit) && qGreen(unlit) == qBlue(unlit));
        QVERIFY2(qGray(corner) > 0 && qGray(corner) < qGray(unlit),
                 qPrintable(QString::number(corner, 16) + QStringLiteral(" ") +
                            QString::number(unlit, 16)));
    }

    void fontFileFaults_data() {
        QTest::addColumn<QByteArray>("text"); // null: no file
        QTest::addColumn<QString>("error");
        QTest::newRow("no file") << QByteArray() << "none.hex:";
        QTest::newRow("short glyph") << QByteArray("0041:" + QByteArray(32, '0') + "\n0042:00FF\n")
                                     << ":2: not a glyph line";
        QTest::newRow("not hex") << QByteArray("00G1:" + QByteArray(32, '0') + "\n")
                                 << ":1: not a glyph line";
        QTest::newRow("no glyphs") << QByteArray("\n") << "has no glyphs";
    }
    void fontFileFaults() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const Unifont font(text.isNull() ? m_dir.filePath(QStringLiteral("none.hex"))
                                         : writeFont(QStringLiteral("bad.hex"), text));
        QVERIFY(!font.isLoaded());
        QVERIFY2(font.loadError().contains(error), qPrintable(font.loadError()));
        QCOMPARE(font.width(0x41), 0);
    }
};

QTEST_GUILESS_MAIN(ScreenRendererTest)
#include "tst_screen_renderer.moc"
