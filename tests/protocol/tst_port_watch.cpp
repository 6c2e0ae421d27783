// Covers how the port list follows devices that come and go: which changes
// of what the port numbers open count, the list shown after a new scan, and
// a link made after the watch started (ports/ not there yet) being seen.
#include "protocol/PortLocator.h"
#include "protocol/PortWatch.h"
#include "support/TempProgramDir.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// "n>target": ports/COMn links to `target` in the program directory.
void makeLinks(const TempProgramDir &dir, const QStringList &links) {
    QDir(dir.file(u"ports"_s)).removeRecursively();
    QVERIFY(QDir().mkpath(dir.file(u"ports"_s)));
    for (const QString &l : links) {
        const QStringList parts = l.split(u'>');
        QVERIFY(QFile::link(dir.file(parts.at(1)), PortLocator::linkPath(parts.at(0).toInt())));
    }
}

QList<PortScanEntry> entries(const QStringList &texts) {
    QList<PortScanEntry> list;
    for (const QString &t : texts)
        list.append({t, PortLocator::numberOfItem(t)});
    return list;
}
} // namespace

class PortWatchTest : public QObject {
    Q_OBJECT
  private slots:
    void presence_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("changed");
        QTest::newRow("appeared") << QStringList() << QStringList{u"5>a"_s} << true;
        QTest::newRow("gone") << QStringList{u"5>a"_s} << QStringList() << true;
        QTest::newRow("device behind the link gone")
            << QStringList{u"5>a"_s} << QStringList{u"5>missing"_s} << true;
        QTest::newRow("link re-pointed") << QStringList{u"5>a"_s} << QStringList{u"5>b"_s} << true;
        QTest::newRow("link made again alike")
            << QStringList{u"5>a"_s, u"6>b"_s} << QStringList{u"6>b"_s, u"5>a"_s} << false;
    }
    void presence() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(bool, changed);
        TempProgramDir dir;
        for (const char *name : {"a", "b"}) {
            QFile f(dir.file(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        makeLinks(dir, before);
        const QMap<int, QString> was = PortWatch::presence();
        QCOMPARE(was.size(), before.size());
        makeLinks(dir, after);
        QCOMPARE(PortWatch::presence() != was, changed);
    }

    void follow_data() {
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("scan");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("appeared") << QStringList{u"3"_s} << QStringList{u"3"_s, u"5"_s}
                                  << QStringList{u"3"_s, u"5"_s};
        QTest::newRow("gone") << QStringList{u"3"_s, u"5"_s, u"7"_s} << QStringList{u"3"_s, u"7"_s}
                              << QStringList{u"3"_s, u"5 (已拔出)"_s, u"7"_s};
        QTest::newRow("still gone") << QStringList{u"5 (已拔出)"_s, u"7"_s} << QStringList{u"7"_s}
                                    << QStringList{u"5 (已拔出)"_s, u"7"_s};
        QTest::newRow("back") << QStringList{u"3"_s, u"5 (已拔出)"_s}
                              << QStringList{u"3"_s, u"5 错误8010"_s}
                              << QStringList{u"3"_s, u"5 错误8010"_s};
    }
    void follow() {
        QFETCH(QStringList, shown);
        QFETCH(QStringList, scan);
        QFETCH(QStringList, expected);
        QStringList texts;
        for (const PortScanEntry &e : PortWatch::follow(entries(shown), entries(scan))) {
            QCOMPARE(e.number, PortLocator::numberOfItem(e.text));
            texts.append(e.text);
        }
        QCOMPARE(texts, expected);
    }

    // Before ports/ exists the program directory is watched, so the first
    // link made is seen all the same.
    void aLinkMadeAfterTheWatchStartedIsSeen() {
        TempProgramDir dir;
        QFile device(dir.file(u"a"_s));
        QVERIFY(device.open(QIODevice::WriteOnly));
        PortWatch watch;
        QSignalSpy changed(&watch, &PortWatch::changed);
        makeLinks(dir, {u"9>a"_s});
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 3000);
    }
};

QTEST_MAIN(PortWatchTest)
#include "tst_port_watch.moc"
