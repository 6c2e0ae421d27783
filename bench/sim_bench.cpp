// Benchmark of the virtual screen:
//  (a) CPU of an idle ledsim (nothing arriving) over 10 s, without and with
//      --show (the windows on the platform of the environment: Xvfb or offscreen);
//  (b) time from the last byte of an exchange to the new dots of a 128 x 32
//      board and their LED picture (what --show paints), in process;
//  (c) time to write the --state file after an exchange, for a board holding
//      the two calling lines, a message list and an uploaded font file.
#include "sim/BoardScene.h"
#include "sim/BoardWatcher.h"
#include "sim/HostFrames.h"
#include "sim/ScreenRenderer.h"
#include "sim/StateJson.h"
#include "sim/VirtualLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
QByteArray transfer(quint8 command, quint16 counter, const QList<QByteArray> &packets) {
    QByteArray b = hostframes::linkAndHeader(command, counter);
    for (int i = 0; i < packets.size(); ++i)
        b += hostframes::packet(quint16(i + 1), packets.at(i));
    return b;
}

QByteArray textPicture(int picture, const QString &text) {
    QStringEncoder gbk("GBK");
    const QByteArray codes = gbk.encode(text);
    return transfer(quint8(16 + picture), quint16((codes.size() - 1) << 8 | 1),
                    {QByteArray(1, char(0x93)) + codes});
}

double cpuSecondsOf(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    // utime and stime, fields 14 and 15, in clock ticks.
    return (fields.value(13).toDouble() + fields.value(14).toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

void idleCpu(bool show) {
    QTemporaryDir dir;
    QProcess sim;
    QStringList args{QStringLiteral("--dir"), dir.path(), QStringLiteral("--port"),
                     QStringLiteral("7")};
    if (show) args << QStringLiteral("--show");
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/ledsim"), args);
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::printf("(a) ledsim did not start\n");
        return;
    }
    QThread::msleep(1000); // let start-up (font, windows) settle first
    const double before = cpuSecondsOf(sim.processId());
    QElapsedTimer t;
    t.start();
    QThread::sleep(10);
    const double used = cpuSecondsOf(sim.processId()) - before;
    // /proc counts in clock ticks (10 ms): 0.000 means less than one tick.
    std::printf("(a) idle ledsim%s: %.3f s CPU in %.1f s = %.3f %% of a core\n",
                show ? " --show" : "", used, static_cast<double>(t.elapsed()) / 1000.0,
                100.0 * used / (static_cast<double>(t.elapsed()) / 1000.0));
    sim.terminate();
    sim.waitForFinished(5000);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    idleCpu(false);
    idleCpu(true);

    VirtualLine line;
    line.addBoard(1);
    BoardWatcher watcher(line);
    QElapsedTimer clock;
    std::vector<double> toDots, toLeds;
    bool armed = false; // only the exchange whose last byte was timed
    watcher.onPicture = [&](const VirtualBoard &, const QImage &dots, const QString &) {
        if (!armed) return;
        armed = false;
        toDots.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        renderLeds(dots, 6);
        toLeds.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    };
    line.receive(textPicture(4, QStringLiteral("欢迎光临"))); // fonts loaded before timing
    for (int i = 0; i < 50; ++i) {
        const QByteArray bytes =
            textPicture(1, QStringLiteral("请A%1号到3号窗口").arg(i, 3, 10, QLatin1Char('0')));
        line.receive(bytes.chopped(1));
        clock.start();
        armed = true;
        line.receive(bytes.right(1));
    }
    std::printf("(b) last byte to new dots of 128 x 32: median %.3f ms, max %.3f ms; "
                "to the LED picture: median %.3f ms, max %.3f ms (%zu exchanges)\n",
                median(toDots), *std::max_element(toDots.begin(), toDots.end()), median(toLeds),
                *std::max_element(toLeds.begin(), toLeds.end()), toDots.size());

    QTemporaryDir dir;
    line.receive(textPicture(5, QStringLiteral("请稍候")));
    line.receive(transfer(2, 1, {QByteArray::fromHex("04000002 05000002 FF000001")}));
    QList<QByteArray> font;
    for (int i = 0; i < 190; ++i)
        font.append(QByteArray(528, char(i)));
    line.receive(transfer(5, 190, font));
    std::vector<double> writes;
    for (int i = 0; i < 50; ++i) {
        clock.start();
        QString error;
        writeFileAtomically(dir.filePath(QStringLiteral("state.json")),
                            stateJson(line, line.board(1)->nowMs()), &error);
        writes.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("(c) --state written: median %.3f ms, max %.3f ms (%lld bytes)\n", median(writes),
                *std::max_element(writes.begin(), writes.end()),
                QFile(dir.filePath(QStringLiteral("state.json"))).size());
    return 0;
}
