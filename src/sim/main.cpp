// ledsim: a virtual screen behind a pseudo-terminal, for running the program
// and its tests without hardware.
#include "sim/BoardWatcher.h"
#include "sim/ShowWindow.h"
#include "sim/SimOptions.h"
#include "sim/VirtualLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <map>
#include <memory>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void printLine(FILE *to, const QString &line) {
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
    std::fflush(to);
}
} // namespace

int main(int argc, char **argv) {
    // Windows only with --show: without it ledsim runs where there is no display.
    bool show = false;
    for (int i = 1; i < argc; ++i)
        show = show || QByteArray(argv[i]) == "--show";
    std::unique_ptr<QCoreApplication> application;
    if (show)
        application = std::make_unique<QApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    QStringList args = app.arguments();
    args.removeFirst();
    SimOptions options;
    QString error;
    if (!SimOptions::parse(args, &options, &error)) {
        printLine(stderr, QStringLiteral("ledsim: ") + error);
        std::fputs(SimOptions::usage().toLocal8Bit().constData(), stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(SimOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    // Interrupts end the event loop, so the link is removed on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return 1;
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &sa, nullptr);

    VirtualLine line;
    for (int i = 0; i < options.addresses.size(); ++i) {
        const QSize size = options.sizeOf(i);
        VirtualBoard &board = line.addBoard(options.addresses.at(i));
        board.state().setSize(size.width(), size.height());
        if (const int rate = options.rates.value(i)) {
            board.state().baudCode = BoardState::codeOfRate(rate);
            board.setOwnRate(true);
            line.setPacingFollowsHost(true);
        }
    }
    line.radio() = options.radio;
    line.setPacing(options.pace ? options.baud : 0);
    line.setRecordLimit(1000);
    if (!options.logFile.isEmpty() && !line.setLogFile(options.logFile, &error)) {
        printLine(stderr, QStringLiteral("ledsim: ") + error);
        return 1;
    }
    line.setFaults(options.faults);
    const QString dir =
        options.dir.isEmpty() ? QCoreApplication::applicationDirPath() : options.dir;
    if (!line.plugIn(VirtualLine::portLink(dir, options.port), &error, options.replace)) {
        printLine(stderr, QStringLiteral("ledsim: ") + error);
        return 1;
    }
    BoardWatcher watcher(line);
    watcher.setStateFile(options.stateFile);
    watcher.setSnapshotFile(options.snapshotFile);
    watcher.onError = [](const QString &e) { printLine(stderr, QStringLiteral("ledsim: ") + e); };
    // One window per board, found by the board object: its address may change.
    std::map<const VirtualBoard *, std::unique_ptr<ShowWindow>> windows;
    if (options.show) {
        for (const VirtualBoard *b : line.boards()) {
            auto w = std::make_unique<ShowWindow>(b->address());
            w->show();
            windows[b] = std::move(w);
        }
        watcher.onPicture = [&windows](const VirtualBoard &b, const QImage &dots,
                                       const QString &status) {
            const auto it = windows.find(&b);
            if (it != windows.end()) it->second->showDots(dots, status);
        };
    }
    watcher.refreshAll();
    const QString link = line.linkPath();
    QObject::connect(&line, &VirtualLine::unplugged, &app,
                     [link] { printLine(stdout, QStringLiteral("unplugged ") + link); });
    printLine(stdout, QStringLiteral("ready ") + link);
    const int code = app.exec();
    // Leaving on a signal is no unplug fault: remove the link quietly.
    QObject::disconnect(&line, &VirtualLine::unplugged, &app, nullptr);
    line.unplug();
    return code;
}
