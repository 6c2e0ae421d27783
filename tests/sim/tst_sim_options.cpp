// Covers ledsim's command line and the fault names it takes: what each option
// sets, what is refused with which reason.
#include "sim/SimOptions.h"

#include <QtTest>

class SimOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void noOptionsMeanPortOneBoardOneUnpaced() {
        SimOptions o;
        QString why;
        QVERIFY(SimOptions::parse({}, &o, &why));
        QCOMPARE(o.port, 1);
        QCOMPARE(o.addresses, QList<quint16>{1});
        QVERIFY(!o.pace);
        QCOMPARE(o.baud, 9600);
        QVERIFY(o.dir.isEmpty());
        QVERIFY(!o.faults.any());
    }

    void everyOptionIsTaken() {
        SimOptions o;
        QString why;
        QVERIFY2(SimOptions::parse(
                     {QStringLiteral("--dir"), QStringLiteral("/x"), QStringLiteral("--port"),
                      QStringLiteral("4"), QStringLiteral("--address"), QStringLiteral("1,2"),
                      QStringLiteral("--address"), QStringLiteral("600"), QStringLiteral("--pace"),
                      QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--log"),
                      QStringLiteral("/x/l"), QStringLiteral("--fault"),
                      QStringLiteral("wrong-ack:3"), QStringLiteral("--fault"),
                      QStringLiteral("late:1500"), QStringLiteral("--replace")},
                     &o, &why),
                 qPrintable(why));
        QCOMPARE(o.dir, QStringLiteral("/x"));
        QCOMPARE(o.port, 4);
        QCOMPARE(o.addresses, (QList<quint16>{1, 2, 600}));
        QVERIFY(o.pace);
        QCOMPARE(o.baud, 115200);
        QCOMPARE(o.logFile, QStringLiteral("/x/l"));
        QCOMPARE(o.faults.wrongAckAt, 3);
        QCOMPARE(o.faults.lateMs, 1500);
        QVERIFY(o.replace);
        QVERIFY(SimOptions::parse(
            {QStringLiteral("--address"), QStringLiteral("010,2@19200"), QStringLiteral("--size"),
             QStringLiteral("64x16,256x32"), QStringLiteral("--show"), QStringLiteral("--snapshot"),
             QStringLiteral("/x/s.png"), QStringLiteral("--state"), QStringLiteral("/x/s.json"),
             QStringLiteral("--radio"), QStringLiteral("1.5:30:long")},
            &o, &why));
        QCOMPARE(o.addresses, (QList<quint16>{10, 2})); // decimal, as everywhere
        QCOMPARE(o.rates, (QList<int>{0, 19200}));
        QCOMPARE(o.sizeOf(1), QSize(256, 32));
        QVERIFY(o.show);
        QCOMPARE(o.snapshotFile, QStringLiteral("/x/s.png"));
        QCOMPARE(o.stateFile, QStringLiteral("/x/s.json"));
        QCOMPARE(o.radio.version, QByteArray("1.5"));
        QCOMPARE(o.radio.channel, 30);
        QVERIFY(o.radio.longAnswer);
    }

    void badOptionsAreRefusedWithAReason_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        QTest::newRow("port 0") << QStringList{QStringLiteral("--port"), QStringLiteral("0")}
                                << "--port needs a number from 1 to 128";
        QTest::newRow("port missing") << QStringList{QStringLiteral("--port")}
                                      << QStringLiteral("--port needs a number from 1 to 128");
        QTest::newRow("address text")
            << QStringList{QStringLiteral("--address"), QStringLiteral("1,x")}
            << QStringLiteral("bad board address: x");
        QTest::newRow("rate without a baud code")
            << QStringList{QStringLiteral("--address"), QStringLiteral("3@4800")}
            << QStringLiteral("bad board rate (9600, 19200, 38400 or 115200): 3@4800");
        QTest::newRow("unknown fault")
            << QStringList{QStringLiteral("--fault"), QStringLiteral("flaky")}
            << QStringLiteral("unknown fault: flaky");
        QTest::newRow("fault without number")
            << QStringList{QStringLiteral("--fault"), QStringLiteral("wrong-ack")}
            << QStringLiteral("wrong-ack needs a number, e.g. wrong-ack:2");
        QTest::newRow("fault number 0")
            << QStringList{QStringLiteral("--fault"), QStringLiteral("silent-ack:0")}
            << "silent-ack needs a number of at least 1, not 0";
        QTest::newRow("flag with argument")
            << QStringList{QStringLiteral("--fault"), QStringLiteral("merged:2")}
            << QStringLiteral("merged takes no argument");
        QTest::newRow("unknown") << QStringList{QStringLiteral("--speed")}
                                 << QStringLiteral("unknown argument: --speed");
        QTest::newRow("size not a multiple of 8")
            << QStringList{QStringLiteral("--size"), QStringLiteral("100x32")}
            << "--size needs WIDTHxHEIGHT in dots, multiples of 8 from 8 to 2048, not 100x32";
        QTest::newRow("two sizes for three boards")
            << QStringList{QStringLiteral("--address"), QStringLiteral("1,2,3"),
                           QStringLiteral("--size"), QStringLiteral("64x16,64x32")}
            << "--size gives 2 sizes for 3 boards: give one, or one per board";
        QTest::newRow("radio version")
            << QStringList{QStringLiteral("--radio"), QStringLiteral("2")}
            << "--radio needs none or VERSION[:CHANNEL][:long], "
               "for example 2.0:22, not 2";
    }
    void badOptionsAreRefusedWithAReason() {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        SimOptions o;
        QString why;
        QVERIFY(!SimOptions::parse(args, &o, &why));
        QCOMPARE(why, reason);
    }

    void faultNamesRoundTrip() {
        const QStringList all{QStringLiteral("silent-link"),  QStringLiteral("wrong-link"),
                              QStringLiteral("silent-echo"),  QStringLiteral("wrong-echo"),
                              QStringLiteral("silent-param"), QStringLiteral("silent-ack:2"),
                              QStringLiteral("wrong-ack:3"),  QStringLiteral("late:1500"),
                              QStringLiteral("split:4"),      QStringLiteral("merged"),
                              QStringLiteral("garbage:2"),    QStringLiteral("unplug-after:2")};
        FaultPlan p;
        for (const QString &name : all)
            QVERIFY2(p.add(name), qPrintable(name));
        QCOMPARE(p.names(), all);
        FaultPlan defaults;
        QVERIFY(defaults.add(QStringLiteral("split")));
        QVERIFY(defaults.add(QStringLiteral("garbage")));
        QVERIFY(defaults.add(QStringLiteral("unplug")));
        QCOMPARE(defaults.names(),
                 (QStringList{QStringLiteral("split:3"), QStringLiteral("garbage:1"),
                              QStringLiteral("unplug-after:0")}));
    }

    void usageNamesEveryFault() {
        const QString u = SimOptions::usage();
        for (const char *name :
             {"silent-link", "wrong-echo", "silent-ack:K", "wrong-ack:K", "late:MS", "split",
              "merged", "garbage", "unplug-after:K", "unplug"})
            QVERIFY2(u.contains(QLatin1String(name)), name);
    }
};

QTEST_GUILESS_MAIN(SimOptionsTest)
#include "tst_sim_options.moc"
