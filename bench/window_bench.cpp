// Start-up of the main window with the port scan, until the window is shown,
// and the CPU the window uses while it sits idle.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "protocol/OperatorUi.h"
#include "protocol/ProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

static double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    StderrOperator yes; // answers the exit question when the run ends
    yes.answerYes = true;
    const int runs = 9;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        ProgramDir::setOverride(dir.path());
        QElapsedTimer t;
        t.start();
        MainWindow w;
        w.setOperator(&yes);
        Startup(w).run();
        w.show();
        QApplication::processEvents();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("start-up until shown (%d runs): median %.1f ms, min %.1f ms, max %.1f ms\n", runs,
                ms[runs / 2], ms.front(), ms.back());

    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    MainWindow w;
    w.setOperator(&yes);
    Startup(w).run();
    w.show();
    QApplication::processEvents();
    const int idleMs = 10000;
    const double before = cpuSeconds();
    QTimer::singleShot(idleMs, &app, &QApplication::quit);
    QApplication::exec();
    const double used = cpuSeconds() - before;
    std::printf("idle window for %d ms: %.1f ms CPU = %.2f%% of a core\n", idleMs, used * 1000,
                used * 100000.0 / idleMs);
    return 0;
}
