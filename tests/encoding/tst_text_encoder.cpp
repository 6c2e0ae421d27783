// Covers the GBK code bytes of a text and the four text encoders
// (Strtoneima, Strtoneima1, Strtoneima2, Strtoneima3 with its escapes): the
// bytes they leave in row 0 of PacketTable and the lengths they return.
#include "encoding/Gbk.h"
#include "protocol/VbError.h"
#include "protocol/led.h"

#include <QtTest>

namespace {
QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
// U+F8F5: the character code page 936 maps to the single byte 0xFF.
const QString kCode255 = QString(QChar(0xF8F5));
const QString kBackslash = QStringLiteral("\\");
} // namespace

class TextEncoderTest : public QObject {
    Q_OBJECT
  private slots:
    // --- code bytes ---
    void chineseCharactersGiveTheirLeadAndTrailBytes() {
        QCOMPARE(gbk::codeBytes(QStringLiteral("A欢")), hex("41BBB6"));
        QCOMPARE(gbk::codeBytes(QStringLiteral("欢迎光临")), hex("BBB6D3ADB9E2C1D9"));
    }

    void fullWidthSymbolsAreDoubleByteCharacters() {
        QCOMPARE(gbk::codeBytes(QStringLiteral("１")), hex("A3B1"));
        QCOMPARE(gbk::codeBytes(QStringLiteral("，")), hex("A3AC"));
        QCOMPARE(gbk::codeBytes(QStringLiteral("☆◆")), hex("A1EEA1F4"));
        QCOMPARE(gbk::codeBytes(QStringLiteral("　")), hex("A1A1"));
    }

    void euroSignAndTheCode255CharacterAreSingleBytesBothWays() {
        QCOMPARE(gbk::codeBytes(QString(QChar(0x20AC))), hex("80"));
        QCOMPARE(gbk::codeBytes(kCode255), hex("FF"));
        QCOMPARE(gbk::decode(hex("80FFBBB6")),
                 QString(QChar(0x20AC)) + kCode255 + QStringLiteral("欢"));
    }

    void tabLineBreaksAndOtherControlCharactersUpTo13AreDropped() {
        QCOMPARE(gbk::codeBytes(QStringLiteral("A\tB")), hex("4142"));
        QCOMPARE(gbk::codeBytes(QStringLiteral("上\r\n下")), hex("C9CFCFC2"));
        QCOMPARE(gbk::codeBytes(QString(QChar(0)) + QChar(13)), QByteArray());
    }

    void spaceAndCodes14To31AreOneByteEach() {
        QCOMPARE(gbk::codeBytes(QString(QChar(14)) + QChar(31) + QLatin1Char(' ')), hex("0E1F20"));
    }

    void unrepresentableCharactersAreNamedOnceInOrder() {
        const QString text = QString::fromUcs4(U"A😀Bก😀");
        QCOMPARE(gbk::unrepresentable(text), QString::fromUcs4(U"😀ก"));
        QCOMPARE(gbk::unrepresentable(QStringLiteral("欢迎光临 €")), QString());
        // Each stands for one code, the character outside the BMP included.
        QCOMPARE(gbk::encode(text), hex("413F423F3F"));
    }

    void aLoneSurrogateIsUnrepresentableNotLost() {
        const QString text = QStringLiteral("A") + QChar(0xD800) + QStringLiteral("B");
        QCOMPARE(gbk::unrepresentable(text), QString(QChar(0xD800)));
        QCOMPARE(gbk::codeBytes(text), hex("413F42"));
    }

    // --- Strtoneima ---
    void strtoneimaPutsTheColourByteBeforeTheCodes() {
        led d;
        QCOMPARE(d.Strtoneima(QStringLiteral("欢迎光临"), 0x23), qint16(9));
        QCOMPARE(d.table().row(0, 9), hex("23BBB6D3ADB9E2C1D9"));
    }

    void strtoneimaOfAnEmptyTextIsTheColourByteAlone() {
        led d;
        d.table().set(0, 1, 0x77);
        QCOMPARE(d.Strtoneima(QString(), 0x42), qint16(1));
        QCOMPARE(d.table().row(0, 2), hex("4277")); // byte 1 is left as it was
    }

    void strtoneimaDropsTheTab() {
        led d;
        QCOMPARE(d.Strtoneima(QStringLiteral("A\tB"), 0), qint16(3));
        QCOMPARE(d.table().row(0, 3), hex("004142"));
    }

    void strtoneimaRefusesAColourThatIsNotAByte() {
        led d;
        try {
            d.Strtoneima(QStringLiteral("A"), 256);
            QFAIL("no error raised");
        } catch (const VbError &e) {
            QCOMPARE(e.number(), 6);
        }
        QCOMPARE(d.table().allocatedRows(), 0);
    }

    // --- Strtoneima1 ---
    void strtoneima1PutsEffectSpeedStayAndColourFirst() {
        led d;
        QCOMPARE(d.Strtoneima1(QStringLiteral("欢A"), 0x21, 7, 3, 4), qint16(7));
        QCOMPARE(d.table().row(0, 7), hex("07030421BBB641"));
    }

    void strtoneima1OfAnEmptyTextIsFourBytes() {
        led d;
        QCOMPARE(d.Strtoneima1(QString(), 0x32, 8, 1, 9), qint16(4));
        QCOMPARE(d.table().row(0, 4), hex("08010932"));
    }

    // --- Strtoneima2 ---
    void strtoneima2CutsAChineseCharacterThatDoesNotFitIntoASpace() {
        led d;
        qint16 cols = 5;
        QCOMPARE(d.Strtoneima2(QStringLiteral("AB欢迎"), cols), qint16(6));
        QCOMPARE(d.table().row(0, 6), hex("004142BBB620"));
    }

    void strtoneima2FillsExactlyWithoutASpare() {
        led d;
        qint16 cols = 4;
        QCOMPARE(d.Strtoneima2(QStringLiteral("AB欢"), cols), qint16(5));
        QCOMPARE(d.table().row(0, 5), hex("004142BBB6"));
    }

    void strtoneima2CutsTheRestOfTheText() {
        led d;
        qint16 cols = 5;
        QCOMPARE(d.Strtoneima2(QStringLiteral("ABCD欢"), cols), qint16(6));
        QCOMPARE(d.table().row(0, 6), hex("004142434420"));
    }

    void strtoneima2FillsUpWithSpacesThatAreNotCounted() {
        led d;
        d.table().set(0, 0, 0x99);
        qint16 cols = 4;
        QCOMPARE(d.Strtoneima2(QStringLiteral("AB"), cols), qint16(3));
        QCOMPARE(d.table().row(0, 5), hex("0041422020"));
    }

    void strtoneima2KeepsAWideLineInRowZero() {
        led d;
        qint16 cols = 300;
        QCOMPARE(d.Strtoneima2(QString(299, QLatin1Char('A')) + QStringLiteral("欢"), cols),
                 qint16(301));
        QCOMPARE(d.table().row(0, 301).mid(298), hex("414120"));
        QCOMPARE(d.table().allocatedRows(), 1);
    }

    // --- Strtoneima3 ---
    void strtoneima3Escapes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::newRow("\\5") << QStringLiteral("\\5") << hex("04FF052020") << 3;
        QTest::newRow("\\0") << QStringLiteral("\\0") << hex("04FF002020") << 3;
        QTest::newRow("\\9") << QStringLiteral("\\9") << hex("04FF092020") << 3;
        QTest::newRow("\\00") << QStringLiteral("\\00") << hex("04FF0A2020") << 3;
        QTest::newRow("\\05") << QStringLiteral("\\05") << hex("04FF0F2020") << 3;
        QTest::newRow("\\10") << QStringLiteral("\\10") << hex("04FF142020") << 3;
        QTest::newRow("\\99") << QStringLiteral("\\99") << hex("04FF6D2020") << 3;
        QTest::newRow("\\ab") << QStringLiteral("\\ab") << hex("045C616220") << 4;
        QTest::newRow("12\\") << QStringLiteral("12\\") << hex("0431325C20") << 4;
        QTest::newRow("\\code255") << kBackslash + kCode255 << hex("04FFFF2020") << 3;
        QTest::newRow("\\123") << QStringLiteral("\\123") << hex("04FF163320") << 4;
        QTest::newRow("请\\3") << QStringLiteral("请\\3") << hex("04C7EBFF03") << 5;
        QTest::newRow("\\\\1") << QStringLiteral("\\\\1") << hex("045CFF0120") << 4;
        QTest::newRow("tab") << QStringLiteral("\t\\1") << hex("04FF012020") << 3;
    }

    void strtoneima3Escapes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        led d;
        QCOMPARE(d.Strtoneima3(text, 4), qint16(length));
        QCOMPARE(d.table().row(0, 5), bytes);
    }

    void strtoneima3WritesATextLongerThanTheCellsOnPastThem() {
        led d;
        QCOMPARE(d.Strtoneima3(QStringLiteral("ABC欢"), 2), qint16(6));
        QCOMPARE(d.table().row(0, 6), hex("02414243BBB6"));
    }

    void strtoneima3WithNoCellsWritesOnlyTheText() {
        led d;
        QCOMPARE(d.Strtoneima3(QStringLiteral("0"), 0), qint16(2));
        QCOMPARE(d.table().row(0, 3), hex("003000"));
    }
};

QTEST_GUILESS_MAIN(TextEncoderTest)
#include "tst_text_encoder.moc"
