// The call service's voice with the real espeak-ng: what is spoken, in which
// order, and where the WAV files go.
#include "service/Announcer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using service::Announcer;
using service::AnnouncerOptions;
using service::Call;
using service::CallState;

namespace {

Call call(const QString &id, const QString &text, CallState state = CallState::Shown) {
    Call c;
    c.id = id;
    c.text = text;
    c.state = state;
    return c;
}

AnnouncerOptions wavOptions(const QString &dir, int repeat = 1) {
    AnnouncerOptions options;
    options.enabled = true;
    options.repeat = repeat;
    options.wavDir = dir;
    return options;
}

QStringList wavFiles(const QString &dir) {
    return QDir(dir).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
}

// A RIFF/WAVE file whose RIFF size is the file's, with more than a header in it.
qint64 checkedWavSize(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || !bytes.startsWith(QByteArrayLiteral("RIFF")) ||
        bytes.mid(8, 4) != QByteArrayLiteral("WAVE"))
        return -1;
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    const qint64 riffSize = b[4] | (b[5] << 8) | (b[6] << 16) | (qint64(b[7]) << 24);
    return riffSize == bytes.size() - 8 ? bytes.size() : -1;
}

constexpr qint64 kShortestSpeech = 20000; // under half a second at 22 kHz, 16 bits
constexpr int kSpeechTimeoutMs = 60000;

} // namespace

class AnnouncerTest : public QObject {
    Q_OBJECT

  private slots:
    void shownCallsBecomeOneWavEachInOrder() {
        QTemporaryDir dir;
        Announcer announcer(wavOptions(dir.path()));
        QSignalSpy done(&announcer, &Announcer::announced);
        announcer.announce(call(QStringLiteral("A001"), QStringLiteral("请A001号到3号窗口")));
        announcer.announce(
            call(QStringLiteral("B002"), QStringLiteral("请B002号到1号窗口"), CallState::Failed));
        // A caller's id never names a path.
        announcer.announce(call(QStringLiteral("../x/C 003"), QStringLiteral("请C003号到2号窗口")));
        announcer.announce(
            call(QStringLiteral("D004"), QStringLiteral("请D004号到2号窗口"), CallState::Expired));
        announcer.announce(call(QStringLiteral("E005"), QStringLiteral("请E005号到5号窗口")));
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 3, kSpeechTimeoutMs);
        QCOMPARE(done.at(0).at(0).toString(), QStringLiteral("A001"));
        QCOMPARE(done.at(2).at(0).toString(), QStringLiteral("E005"));
        for (const QList<QVariant> &signal : done)
            QVERIFY(signal.at(1).toBool());
        const QStringList files = wavFiles(dir.path());
        QCOMPARE(files, (QStringList{QStringLiteral("000001-A001.wav"),
                                     QStringLiteral("000002-___x_C_003.wav"),
                                     QStringLiteral("000003-E005.wav")}));
        for (const QString &name : files)
            QVERIFY2(checkedWavSize(dir.filePath(name)) > kShortestSpeech, qPrintable(name));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3);
    }

    // Repeat 2 speaks the text twice in one file; a second run numbers on
    // after the files the first one left.
    void repeatSpeaksTwiceInOneFile() {
        QTemporaryDir dir;
        const Call shown = call(QStringLiteral("A001"), QStringLiteral("请A001号到3号窗口"));
        for (int repeat : {1, 2}) {
            Announcer announcer(wavOptions(dir.path(), repeat));
            QSignalSpy done(&announcer, &Announcer::announced);
            announcer.announce(shown);
            QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, kSpeechTimeoutMs);
        }
        QCOMPARE(wavFiles(dir.path()), (QStringList{QStringLiteral("000001-A001.wav"),
                                                    QStringLiteral("000002-A001.wav")}));
        const qint64 once = checkedWavSize(dir.filePath(QStringLiteral("000001-A001.wav")));
        const qint64 twice = checkedWavSize(dir.filePath(QStringLiteral("000002-A001.wav")));
        QVERIFY(once > kShortestSpeech);
        QVERIFY2(twice > once * 18 / 10, qPrintable(QStringLiteral("%1 %2").arg(once).arg(twice)));
    }

    void missingSpeakerWarnsOnceAndTheCallsGoOn() {
        QTemporaryDir dir;
        AnnouncerOptions options = wavOptions(dir.path());
        options.program = dir.filePath(QStringLiteral("no-espeak-ng"));
        Announcer announcer(options);
        QSignalSpy done(&announcer, &Announcer::announced);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^语音播报失败")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        announcer.announce(call(QStringLiteral("A001"), QStringLiteral("请A001号到3号窗口")));
        announcer.announce(call(QStringLiteral("A002"), QStringLiteral("请A002号到3号窗口")));
        QTRY_COMPARE(done.count(), 2);
        QCOMPARE(done.at(0).at(1).toBool(), false);
        QCOMPARE(done.at(1).at(1).toBool(), false);
        QCOMPARE(announcer.pending(), 0);
    }
};

QTEST_GUILESS_MAIN(AnnouncerTest)
#include "tst_announcer.moc"
