// Renders the main window, connected to nothing, into a PNG: the picture in
// docs/ comes from this program run under Xvfb (xvfb-run -a).
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "protocol/ProgramDir.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshot OUT.png [PANELKEY]\n");
        return 2;
    }
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    MainWindow w;
    Startup(w).run();
    // The panel key is the toolbar button's name; its press is handled before the grab.
    if (argc > 2) {
        if (auto *button = w.findChild<QAction *>(QString::fromLocal8Bit(argv[2])))
            button->trigger();
    }
    w.show();
    int code = 1;
    QTimer::singleShot(500, &app, [&] {
        code = w.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        w.onSaveBeforeExit = nullptr;
        std::_Exit(code);
    });
    return QApplication::exec();
}
