// Covers the effect table (names, codes and the order of the three effect
// lists), actionfashion, the list-position converter and the two colour-byte
// formulas of the text-sending panels.
#include "encoding/ColourBytes.h"
#include "encoding/Effects.h"
#include "protocol/led.h"

#include <QtTest>

namespace {
using Pairs = QList<QPair<QString, int>>;
Pairs pairsOf(effects::EffectList list) {
    Pairs out;
    for (const effects::Effect &e : effects::items(list))
        out.append({e.name, e.code});
    return out;
}
} // namespace

class EffectsAndColoursTest : public QObject {
    Q_OBJECT
  private slots:
    void listPanelOffersSevenEffectsInItsOrder() {
        QCOMPARE(pairsOf(effects::EffectList::ListPanel),
                 (Pairs{{QStringLiteral("立即显示"), 0},
                        {QStringLiteral("从右向左移动"), 1},
                        {QStringLiteral("从左向右展开"), 3},
                        {QStringLiteral("百叶窗从左向右展开"), 4},
                        {QStringLiteral("闪烁显示"), 7},
                        {QStringLiteral("连续左移"), 8},
                        {QStringLiteral("连续上移"), 9}}));
    }

    void textPanelOffersSixEffectsInItsOrder() {
        QCOMPARE(pairsOf(effects::EffectList::TextPanel),
                 (Pairs{{QStringLiteral("立即显示"), 0},
                        {QStringLiteral("闪烁显示"), 7},
                        {QStringLiteral("连续左移"), 8},
                        {QStringLiteral("连续上移"), 9},
                        {QStringLiteral("连续右移"), 11},
                        {QStringLiteral("连续下移"), 12}}));
    }

    void queueCallingOffersFourEffectsInItsOrder() {
        QCOMPARE(pairsOf(effects::EffectList::QueueCalling),
                 (Pairs{{QStringLiteral("立即显示"), 0},
                        {QStringLiteral("左移"), 1},
                        {QStringLiteral("闪烁显示"), 7},
                        {QStringLiteral("连续左移"), 8}}));
    }

    void theTableHasTenNamesAndNoUnusedCodes() {
        QCOMPARE(effects::table().size(), 10);
        for (const effects::Effect &e : effects::table()) {
            QVERIFY2(e.code != 2 && e.code != 5 && e.code != 6 && e.code != 10, qPrintable(e.name));
            QVERIFY(e.lists != 0);
        }
    }

    void actionfashionKnowsTheSixListPanelNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("position");
        QTest::newRow("从右向左移动") << "从右向左移动" << 1 << 1;
        QTest::newRow("从左向右展开") << "从左向右展开" << 3 << 2;
        QTest::newRow("百叶窗") << "百叶窗从左向右展开" << 4 << 3;
        QTest::newRow("闪烁显示") << "闪烁显示" << 7 << 4;
        QTest::newRow("连续左移") << "连续左移" << 8 << 5;
        QTest::newRow("连续上移") << "连续上移" << 9 << 6;
        QTest::newRow("立即显示") << "立即显示" << 0 << 0;
        QTest::newRow("左移") << "左移" << 0 << 0;
        QTest::newRow("连续右移 (Combo8 has it as 11)") << "连续右移" << 0 << 0;
        QTest::newRow("连续下移") << "连续下移" << 0 << 0;
        QTest::newRow("leading blank") << " 闪烁显示" << 0 << 0;
        QTest::newRow("empty") << "" << 0 << 0;
    }

    void actionfashionKnowsTheSixListPanelNames() {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(int, position);
        QCOMPARE(led::actionfashion(name), qint16(code));
        QCOMPARE(effects::listPanelPosition(name), position);
    }

    void lineColourByteAtAllZerosIsZero() { QCOMPARE(colourbytes::lineColourByte(0, 0, 0), 0); }

    void lineColourBytePutsEachListIntoItsBits() {
        // Chinese red, half-width yellow, background green.
        QCOMPARE(colourbytes::lineColourByte(1, 3, 2), 177);
        QCOMPARE(colourbytes::lineColourByte(2, 0, 0), 0x02);
        QCOMPARE(colourbytes::lineColourByte(0, 1, 0), 0x10);
        QCOMPARE(colourbytes::lineColourByte(0, 0, 1), 0x08); // red background: bit 3
        QCOMPARE(colourbytes::lineColourByte(0, 0, 2), 0x80); // green background: bit 7
        QCOMPARE(colourbytes::lineColourByte(7, 7, 3), 0xFF); // the largest full-colour choice
    }

    void textColourByteCarriesTextAndBackgroundInItsHalves() {
        QCOMPARE(colourbytes::textColourByte(2, 1), 0x32);
        QCOMPARE(colourbytes::textColourByte(0, 0), 0x11);
        QCOMPARE(colourbytes::textColourByte(1, 2), 0x23);
    }
};

QTEST_GUILESS_MAIN(EffectsAndColoursTest)
#include "tst_effects_and_colours.moc"
