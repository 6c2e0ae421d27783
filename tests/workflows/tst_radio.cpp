// The radio workflows on a scripted module: the setting strings by module
// version, the channel check, the messages of each action and what
// "检测模块" fills in, and the repeated setting's caption, reminder and
// skipped ticks. The frames' bytes are pinned by the protocol tests.
#include "support/DeviceRig.h"
#include "workflows/Radio.h"

#include <QtTest>

using workflow::Outcome;

namespace {
// A module of `version` on channel 22 (code 7>), packet size 15, indexes 3 2 4 1.
void attachModule(FakePort &port, const QByteArray &version) {
    port.onWrite = [version](FakePort &p, const QByteArray &w) {
        if (w == "XD\r\n")
            p.deliver("RD:7>,V" + version + "0?3241,\r\n", 10);
        else if (w.size() == 8)
            p.deliver(w, 10);
    };
}

radio::Random sequence(QList<int> numbers) {
    return [numbers]() mutable { return numbers.takeFirst(); };
}

const workflow::Connection Row{1, QStringLiteral("9600"), QStringLiteral("1")};
} // namespace

class RadioTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theSettingStringsFollowTheVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        // Random numbers 137 then 200 (nibbles <8).
        QTest::newRow("1.5") << "1.5" << 22 << "S17>40"
                             << "S20?36";
        QTest::newRow("1.8") << "1.8" << 1 << "S16940"
                             << "S20?36";
        QTest::newRow("1.9") << "1.9" << 22 << "S17>41"
                             << "S2<836";
        QTest::newRow("3.0") << "3.0" << 40 << "S19040"
                             << "S20?36";
        QTest::newRow("6.0") << "6.0" << 0 << "S16841"
                             << "S2<836";
    }
    void theSettingStringsFollowTheVersion() {
        QFETCH(QString, version);
        QFETCH(int, channel);
        const radio::Settings s = radio::settingStrings(version + QStringLiteral("0?3241  "),
                                                        channel, sequence({137, 200}));
        QTEST(s.first, "first");
        QTEST(s.second, "second");
    }

    void setChannelChecksTheRangeThenReadsThenSets_data() {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("module");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QStringList>("messages");
        const QString done = QStringLiteral("无线模块属性设置成功，请务必给无线模块断电重新上电！");
        QTest::newRow("120") << QStringLiteral("120") << false << true << 0
                             << QStringList{QStringLiteral("信道号设置超出范围")};
        QTest::newRow("-1") << QStringLiteral(" -1 ") << false << true << 0
                            << QStringList{QStringLiteral("信道号设置超出范围")};
        QTest::newRow("abc") << QStringLiteral("abc") << false << true << 0
                             << QStringList{QStringLiteral("信道号设置超出范围")};
        QTest::newRow("0") << "0" << false << true << 3 << QStringList{done};
        QTest::newRow("99") << " 99 " << false << true << 3 << QStringList{done};
        QTest::newRow("no module") << QStringLiteral("22") << false << false << 1
                                   << QStringList{QStringLiteral("无线模块属性设置失败")};
        QTest::newRow("silent") << "22" << true << true << 3 << QStringList{};
        QTest::newRow("silent, no module")
            << QStringLiteral("22") << true << false << 1
            << QStringList{QStringLiteral("无线模块属性设置失败,请检查无线模块连接")};
    }
    void setChannelChecksTheRangeThenReadsThenSets() {
        QFETCH(QString, channel);
        QFETCH(bool, silent);
        QFETCH(bool, module);
        DeviceRig r;
        if (module)
            attachModule(*r.port, "1.5");
        else
            r.port->onWrite = nullptr;
        radio::setChannel(r.device, r.ui, Row, channel, sequence({}), silent);
        QTEST(int(r.port->writes.size()), "writes");
        QTEST(r.ui.messages(), "messages");
    }

    void aModuleOnChannel22GetsItsFrames() {
        DeviceRig r;
        attachModule(*r.port, "1.5");
        QCOMPARE(radio::setChannel(r.device, r.ui, Row, QStringLiteral("22"), sequence({})),
                 Outcome::Done);
        QCOMPARE(r.port->writes.mid(1),
                 (QList<QByteArray>{QByteArray("S17>40") + led::nibbleText(0x6F).toLatin1(),
                                    QByteArray("S20?36") + led::nibbleText(0x6B).toLatin1()}));
        QCOMPARE(r.ui.shown.last().caption, QString(QStringLiteral("属性设置")));
    }

    void detectFillsTheFrame() {
        DeviceRig r;
        attachModule(*r.port, "2.0");
        const radio::Detected d = radio::detect(r.device, r.ui, Row);
        QCOMPARE(d.module, QString(QStringLiteral("2.00?32417>")));
        QCOMPARE(r.ui.messages(), QStringList{QStringLiteral("获取成功，版本号：2.0")});
        QCOMPARE(d.fields.packetSize, QString(QStringLiteral("15")));
        QCOMPARE((QList<int>{d.fields.baud, d.fields.airBaud, d.fields.power, d.fields.range}),
                 (QList<int>{3, 2, 4, 1}));
        QCOMPARE(d.fields.channel, QString(QStringLiteral("22")));

        r.port->onWrite = nullptr;
        QVERIFY(radio::detect(r.device, r.ui, Row).module.isEmpty());
        QCOMPARE(r.ui.lastMessage(), QString(QStringLiteral("无线模块属性获取失败")));
        QCOMPARE(radio::check(r.device, r.ui, Row), QString());
        attachModule(*r.port, "2.0");
        QCOMPARE(radio::check(r.device, r.ui, Row), QString(QStringLiteral("2.00?32417>")));
        QCOMPARE(r.ui.lastMessage(), QString(QStringLiteral("2.00?32417>")));
    }

    void repeatedSettingTogglesAndSkipsATickWhileOneWaits() {
        RecordingOperator ui;
        int ticks = 0;
        radio::RepeatedSetting *self = nullptr;
        radio::RepeatedSetting repeated(ui, [&] {
            // The operator stops and restarts while the first tick still
            // waits for its module: the restarted timer's ticks are skipped.
            if (++ticks > 1) return;
            self->toggle();
            self->toggle();
            QTRY_VERIFY(self->skipped() > 0);
        });
        self = &repeated;
        QCOMPARE(repeated.toggle(), QString(QStringLiteral("停止设置")));
        QCOMPARE(repeated.toggle(), QString(QStringLiteral("自动设置")));
        QCOMPARE(ui.messages(),
                 QStringList{QStringLiteral("设置完信道，请务必给无线模块断电重新上电！")});
        QCOMPARE(ticks, 0);

        repeated.setInterval(5);
        repeated.toggle();
        QTRY_VERIFY(ticks >= 2);
        QVERIFY(repeated.skipped() > 0);
        QVERIFY(repeated.running());
        repeated.toggle();
        QVERIFY(!repeated.running());
    }
};

QTEST_GUILESS_MAIN(RadioTest)
#include "tst_radio.moc"
