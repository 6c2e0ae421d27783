// Covers the window-number exchange on a scripted port: the header and the
// packet of the documented examples, the answers awaited also at addresses
// of 512 and more, and a wrong packet answer refusing at once.
#include "protocol/led.h"
#include "support/DeviceRig.h"

#include <QElapsedTimer>
#include <QtTest>

class WindowNumberTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theExchangeCarriesWidthColourAndCells_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<QByteArray>("checksum");
        QTest::newRow("\\12 in 32 dots")
            << 32 << "\\12" << hex("00010006 2042FF162020") << hex("8C");
        QTest::newRow("no window number") << 0 << "0" << hex("00010002 0042") << hex("41");
        QTest::newRow("longer than its cells")
            << 16 << "请到" << hex("00010004 1042C7EB") << hex("7B");
    }

    void theExchangeCarriesWidthColourAndCells() {
        QFETCH(int, cols);
        QFETCH(QString, text);
        QFETCH(QByteArray, packet);
        QFETCH(QByteArray, checksum);
        DeviceRig r;
        QCOMPARE(r.device.setWindowNo(1, qint16(cols), 0x42, text), qint16(-1));
        QCOMPARE(r.port->writes,
                 (QList<QByteArray>{hex("AA550001"), hex("04000001100001"), packet, checksum}));
        QVERIFY(!r.port->isOpen());
    }

    void highAddressesWaitForTheEchoAndTheAnswer() {
        DeviceRig r;
        r.device.PAdress = 600;
        // Such a board never answers the link check, but the rest of this exchange.
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (!w.startsWith(hex("AA55"))) answerLikeBoard(p, w);
        };
        QCOMPARE(r.device.setWindowNo(600, 32, 0x42, QStringLiteral("\\1")), qint16(-1));
        QCOMPARE(r.port->writes.at(1), hex("04000258100001"));
        r.port->onWrite = nullptr; // nobody there: no echo
        QCOMPARE(r.device.setWindowNo(600, 32, 0x42, QStringLiteral("\\1")), qint16(0));
        QCOMPARE(r.port->writes.size(), 6); // link and header only
    }

    void aWrongAnswerToThePacketRefusesAtOnce() {
        DeviceRig r;
        r.port->onWrite = [](FakePort &p, const QByteArray &w) {
            if (w.size() == 1)
                p.deliver(hex("00"));
            else
                answerLikeBoard(p, w);
        };
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.device.setWindowNo(1, 32, 0x42, QStringLiteral("\\12")), qint16(0));
        QVERIFY(t.elapsed() < 150); // well before the 200 ms scaled limit
    }
};

QTEST_GUILESS_MAIN(WindowNumberTest)
#include "tst_window_number.moc"
