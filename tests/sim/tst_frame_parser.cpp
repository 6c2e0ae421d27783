// Covers the virtual screen's frame parser fed bytes directly: frames cut into
// pieces or run together, stray bytes, packets after an accepted header, and
// the escaped parameter frame with its address prefixes.
#include "sim/FrameParser.h"

#include <QtTest>

namespace {
QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Parses like a line whose boards accept every header.
struct Recorder {
    FrameParser parser;
    QList<Frame> frames;
    bool acceptHeaders = true;
    Recorder() {
        parser.onFrame = [this](const Frame &f) {
            frames.append(f);
            if (f.kind == Frame::Kind::Header && acceptHeaders)
                parser.expectPackets(f.packetCount());
        };
    }
    QStringList described() const {
        QStringList d;
        for (const Frame &f : frames)
            d << f.describe();
        return d;
    }
};

const QByteArray brightnessExample = hex("AA550001"
                                         "04000001070001"
                                         "00010001C8"
                                         "C8");
const QStringList brightnessFrames{
    QStringLiteral("link address=1"),
    QStringLiteral("header address=1 command=7 counter=0x0001 packets=1"),
    QStringLiteral("packet 1/1 number=1 size=1 checksum=C8 ok data=C8")};
} // namespace

class FrameParserTest : public QObject {
    Q_OBJECT
  private slots:
    void brightnessExampleGivesLinkHeaderAndOnePacket() {
        Recorder r;
        r.parser.feed(brightnessExample);
        QCOMPARE(r.described(), brightnessFrames);
        QCOMPARE(r.frames.at(0).raw, hex("AA550001"));
        QCOMPARE(r.frames.at(1).raw, hex("04000001070001"));
        QCOMPARE(r.frames.at(2).raw, hex("00010001C8C8"));
        QCOMPARE(r.frames.at(2).payload, hex("C8"));
        QVERIFY(r.frames.at(2).checksumMatches());
        QVERIFY(!r.parser.inTransfer());
        QCOMPARE(r.parser.strayBytes(), 0);
    }

    void bytesCutAtAnyPointGiveTheSameFrames() {
        for (int cut = 1; cut < brightnessExample.size(); ++cut) {
            Recorder r;
            r.parser.feed(brightnessExample.left(cut));
            r.parser.feed(brightnessExample.mid(cut));
            QCOMPARE(r.described(), brightnessFrames);
        }
        Recorder oneByOne;
        for (char c : brightnessExample)
            oneByOne.parser.feed(quint8(c));
        QCOMPARE(oneByOne.described(), brightnessFrames);
    }

    void strayBytesBeforeAFrameAreDroppedAndCounted() {
        Recorder r;
        r.parser.feed(hex("E500AAAA550001"));
        QCOMPARE(r.described(), QStringList{QStringLiteral("link address=1")});
        QCOMPARE(r.parser.strayBytes(), 3);
    }

    void aHeaderStartThatGoesWrongIsSkipped() {
        Recorder r;
        r.parser.feed(hex("0401"
                          "04000002070001"));
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.frames.at(0).address, quint16(2));
        QCOMPARE(r.parser.strayBytes(), 2);
    }

    void packetsAreOnlyReadAfterAnAcceptedHeader() {
        Recorder r;
        r.acceptHeaders = false;
        r.parser.feed(hex("04000001070001"
                          "00010001C8C8"
                          "AA550001"));
        QCOMPARE(r.frames.size(), 2);
        QCOMPARE(r.frames.at(0).kind, Frame::Kind::Header);
        QCOMPARE(r.frames.at(1).kind, Frame::Kind::Link);
    }

    void packetCountAboveCommandSixteenIsTheCounterLowByte() {
        Recorder r;
        r.parser.feed(hex("04000001150301"));
        QCOMPARE(r.frames.at(0).counter, quint16(0x0301));
        QCOMPARE(r.frames.at(0).packetCount(), 1);
        QCOMPARE(r.parser.packetsPending(), 1);
        Recorder low;
        low.parser.feed(hex("04000001100301"));
        QCOMPARE(low.parser.packetsPending(), 0x0301);
    }

    void aPacketMayBeEmptyOrFullSize() {
        Recorder r;
        r.parser.feed(hex("04000001020002") + hex("0001000001"));
        QByteArray full = hex("00020400") + QByteArray(1024, '\x11');
        r.parser.feed(full + char(0x02 ^ 0x04));
        QCOMPARE(r.frames.size(), 3);
        QCOMPARE(r.frames.at(1).payload.size(), 0);
        QVERIFY(r.frames.at(1).checksumMatches());
        QCOMPARE(r.frames.at(2).payload.size(), 1024);
        QCOMPARE(r.frames.at(2).index, 2);
        QVERIFY(r.frames.at(2).checksumMatches());
    }

    void aWrongPacketNumberEndsTheTransferAndTheNewFrameIsRead() {
        Recorder r;
        // Three packets announced; after the first the host starts over.
        r.parser.feed(hex("04000001020003"
                          "0001000155"
                          "54"
                          "AA550001"));
        QCOMPARE(r.frames.size(), 3);
        QCOMPARE(r.frames.at(2).kind, Frame::Kind::Link);
        QVERIFY(!r.parser.inTransfer());
    }

    void aBadChecksumIsReportedNotHidden() {
        Recorder r;
        r.parser.feed(hex("04000001070001"
                          "00010001C8"
                          "C9"));
        QCOMPARE(r.frames.at(1).checksum, quint8(0xC9));
        QCOMPARE(r.frames.at(1).computedChecksum(), quint8(0xC8));
        QVERIFY(!r.frames.at(1).checksumMatches());
        QVERIFY(r.frames.at(1).describe().contains(QStringLiteral(" bad ")));
    }

    void escapedFrameOfTheDocumentExampleDecodes() {
        Recorder r;
        const QByteArray wire = hex("8141"
                                    "00000F0F090A0905000000010004000"
                                    "90F0F09091A");
        r.parser.feed(wire.left(5));
        QVERIFY(r.frames.isEmpty());
        r.parser.feed(wire.mid(5));
        QCOMPARE(r.frames.size(), 1);
        const Frame &f = r.frames.at(0);
        QCOMPARE(f.kind, Frame::Kind::Parameters);
        QCOMPARE(f.address, quint16(1));
        QCOMPARE(f.body, hex("00FF9A95000104"
                             "09FF99"));
        QCOMPARE(f.raw, wire);
    }

    void escapedFrameAboveAddressSixtyFourHasAThreeBytePrefix() {
        Recorder r;
        // Address 100: A4 C1 41; 0x64 is sent as it is.
        r.parser.feed(hex("A4C141"
                          "00000F0F090A0905"
                          "0000"
                          "64"
                          "0000"
                          "0009"
                          "0F0F"
                          "0909"
                          "1A"));
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.frames.at(0).address, quint16(100));
        QCOMPARE(r.frames.at(0).body, hex("00FF9A95006400"
                                          "09FF99"));
    }

    void aBodyByteEqualToTheTerminatorDoesNotEndTheFrame() {
        Recorder r;
        // Address 26 (0x1A) is a plain body byte; the frame still ends after ten.
        r.parser.feed(hex("9A41"
                          "00000F0F090A0905"
                          "0000"
                          "1A"
                          "0004"
                          "0009"
                          "0F0F"
                          "0909"
                          "1A"));
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.frames.at(0).address, quint16(26));
        QCOMPARE(r.frames.at(0).body, hex("00FF9A95001A04"
                                          "09FF99"));
    }

    void escapedFrameWithoutItsTerminatorIsNoFrame() {
        Recorder r;
        // (Polarity 0 here: the escaped 04 00 of the example would read as a header start.)
        r.parser.feed(hex("8141"
                          "00000F0F090A0905000000010000000"
                          "90F0F0909"
                          "1B"
                          "AA550001"));
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.frames.at(0).kind, Frame::Kind::Link);
    }

    void theParserSaysHowManyBytesTheNextFrameNeedsAtLeast() {
        Recorder r;
        QCOMPARE(r.parser.bytesToNextFrame(), 4);
        r.parser.feed(hex("0400"));
        QCOMPARE(r.parser.bytesToNextFrame(), 5);
        r.parser.feed(hex("0001020002"));
        QCOMPARE(r.parser.bytesToNextFrame(), 5);
        r.parser.feed(hex("00010200"));
        QCOMPARE(r.parser.bytesToNextFrame(), 512 + 1);
    }
};

QTEST_GUILESS_MAIN(FrameParserTest)
#include "tst_frame_parser.moc"
