// Covers the window-number field and its spin, the colour byte of the
// window colour lists, and "设置窗口号" on a scripted board: what each field
// sends, no message either way, the keys only after an acknowledgement.
#include "support/DeviceRig.h"
#include "support/TempProgramDir.h"
#include "workflows/WindowNumber.h"

#include <QFile>
#include <QtTest>

class WindowNumberFieldTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { led::setTimeScale(0.2); }

    void theSpinWalksThroughTheCodes_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        for (const auto &[v, t] : {std::pair{-1, "自定义"},
                                   {0, "无"},
                                   {1, "\\0"},
                                   {10, "\\9"},
                                   {11, "\\00"},
                                   {20, "\\09"},
                                   {21, "\\10"},
                                   {110, "\\99"}})
            QTest::newRow(qPrintable(QString::number(v))) << v << QString::fromUtf8(t);
    }

    void theSpinWalksThroughTheCodes() {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(windownumber::choiceText(value), text);
    }

    void aStepReplacesTheFieldsEscape_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("stepped");
        QTest::newRow("in a text") << "请到\\3号窗口" << 6 << "请到\\5号窗口";
        QTest::newRow("every occurrence") << "\\12\\12" << 5 << "\\4\\4";
        QTest::newRow("no backslash") << "无" << 3 << "\\2";
        QTest::newRow("no digit after it") << "\\x" << 3 << "\\x";
        QTest::newRow("two digits at most") << "\\123" << 2 << "\\13";
    }

    void aStepReplacesTheFieldsEscape() {
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(QString, stepped);
        QCOMPARE(windownumber::stepField(field, value), stepped);
    }

    void theColourByteTakesBlueAsCodeFour() {
        QCOMPARE(windownumber::colourByte(3, 7), 71);
        QCOMPARE(windownumber::colourByte(1, 2), 0x12);
    }

    void eachFieldSendsItsWindowNumber_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("\\12") << " \\12 " << hex("00010006 2042FF162020");
        QTest::newRow("无") << "无" << hex("00010002 0042");
        QTest::newRow("自定义") << "自定义" << hex("00010006 2042FFFF2020");
    }

    void eachFieldSendsItsWindowNumber() {
        QFETCH(QString, field);
        QFETCH(QByteArray, packet);
        DeviceRig r;
        TempProgramDir dir;
        CIniFile ini;
        ini.SpecifyIni(dir.file(QStringLiteral("ledfile.ini")));
        windownumber::Request request{field,
                                      0x42,
                                      QStringLiteral("4"),
                                      QStringLiteral("3"),
                                      QStringLiteral("1"),
                                      QStringLiteral("2")};
        QCOMPARE(windownumber::set(r.device, r.ui, {1, QStringLiteral("9600"), QStringLiteral("1")},
                                   request, {&ini, QStringLiteral("第 1号屏")}),
                 workflow::Outcome::Done);
        QCOMPARE(r.port->writes.value(2), packet);
        QVERIFY(r.ui.shown.isEmpty());
        QVERIFY(QFile::exists(ini.filePath()));
        QCOMPARE(ini.ReadString(QStringLiteral("第 1号屏"), QStringLiteral("windowNo"), 100),
                 field.trimmed());
        // A silent screen: nothing stored, one message.
        DeviceRig silent;
        silent.port->onWrite = nullptr;
        CIniFile none;
        none.SpecifyIni(dir.file(QStringLiteral("other.ini")));
        QCOMPARE(windownumber::set(silent.device, silent.ui,
                                   {1, QStringLiteral("9600"), QStringLiteral("1")}, request,
                                   {&none, QStringLiteral("第 1号屏")}),
                 workflow::Outcome::NotAcknowledged);
        QCOMPARE(silent.ui.messages(), QStringList{QStringLiteral("窗口号设置失败")});
        QVERIFY(!QFile::exists(none.filePath()));
    }
};

QTEST_GUILESS_MAIN(WindowNumberFieldTest)
#include "tst_window_number_field.moc"
