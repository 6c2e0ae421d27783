// The telnet framing of rfc2217:// lines: what goes out (0xFF doubled, the
// COM-PORT-OPTION settings) and what is taken out of the far end's stream,
// across reads split anywhere. Bytes from RFC 854 and RFC 2217.
#include "protocol/TelnetCodec.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TelnetCodecTest : public QObject {
    Q_OBJECT
  private slots:
    void outgoing_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("data: 0xFF doubled") << telnet::escape(QByteArray::fromHex("41FF42FFFF"))
                                            << QByteArray::fromHex("41FFFF42FFFFFFFF");
        QTest::newRow("greeting: WILL COM-PORT, binary and no go-ahead both ways")
            << telnet::Decoder().start() << QByteArray::fromHex("FFFB2CFFFB00FFFD00FFFB03FFFD03");
        QTest::newRow("9600 8N1")
            << telnet::lineSettings(9600)
            << QByteArray::fromHex(
                   "FFFA2C0100002580FFF0FFFA2C0208FFF0FFFA2C0301FFF0FFFA2C0401FFF0");
        QTest::newRow("115200: four bytes, network order")
            << telnet::lineSettings(115200).left(10) << QByteArray::fromHex("FFFA2C010001C200FFF0");
    }
    void outgoing() {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, expected);
        QCOMPARE(wire.toHex(' '), expected.toHex(' '));
    }

    void incoming_data() {
        QTest::addColumn<QList<QByteArray>>("reads"); // hex, one element a read
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("reply");
        const auto h = [](const char *text) { return QByteArray::fromHex(text); };
        QTest::newRow("IAC IAC is one 0xFF")
            << QList<QByteArray>{h("41FFFF42")} << h("41FF42") << QByteArray();
        QTest::newRow("IAC IAC split across reads")
            << QList<QByteArray>{h("41FF"), h("FF42")} << h("41FF42") << QByteArray();
        QTest::newRow("NOTIFY-LINESTATE skipped")
            << QList<QByteArray>{h("41FFFA2C6A60FFF042")} << h("4142") << QByteArray();
        QTest::newRow("SET-BAUDRATE echo with a doubled 0xFF, split in three")
            << QList<QByteArray>{h("30FFFA2C650000"), h("FFFFFF"), h("FFFFF031")} << h("3031")
            << QByteArray();
        QTest::newRow("NOP and GA carry nothing")
            << QList<QByteArray>{h("FFF141FFF9")} << h("41") << QByteArray();
        QTest::newRow("consent to what we asked is not answered again")
            << QList<QByteArray>{h("FFFD2CFFFB00FFFB03")} << QByteArray() << QByteArray();
        QTest::newRow("ECHO refused both ways")
            << QList<QByteArray>{h("FFFD01FFFB01")} << QByteArray() << h("FFFC01FFFE01");
        QTest::newRow("DO TERMINAL-TYPE split byte by byte")
            << QList<QByteArray>{h("FF"), h("FD"), h("18"), h("55")} << h("55") << h("FFFC18");
        QTest::newRow("DONT BINARY withdrawn once")
            << QList<QByteArray>{h("FFFE00FFFE00")} << QByteArray() << h("FFFC00");
    }
    void incoming() {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, reply);
        telnet::Decoder decoder;
        decoder.start();
        QByteArray gotData, gotReply;
        for (const QByteArray &r : reads)
            gotData += decoder.feed(r, gotReply);
        QCOMPARE(gotData.toHex(' '), data.toHex(' '));
        QCOMPARE(gotReply.toHex(' '), reply.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TelnetCodecTest)
#include "tst_telnet_codec.moc"
