// Renders the main window, connected to nothing, into a PNG: the picture in
// docs/ comes from this program run under Xvfb (xvfb-run -a).
#include "ChildProcesses.h"
#include "app/MainWindow.h"
#include "app/ScanDialog.h"
#include "app/ScreenPanel.h"
#include "app/Startup.h"
#include "protocol/ProgramDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
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
    // "扫描": the scan window after a scan of three boards on a virtual line.
    const bool scan = argc > 2 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("扫描");
    bench::Sim sim;
    if (scan &&
        !sim.start(dir.path(), 101,
                   {QStringLiteral("--address"), QStringLiteral("3@9600,17@9600,30@19200")})) {
        std::fprintf(stderr, "ledsim did not start\n");
        return 1;
    }
    MainWindow w;
    Startup(w).run();
    if (scan) {
        w.findChild<QComboBox *>(QStringLiteral("Pchao"))->setCurrentText(QStringLiteral("101"));
        w.show();
        ScanDialog *dialog = w.screens().openScan();
        dialog->findChild<QLineEdit *>(QStringLiteral("地址范围"))->setText(QStringLiteral("0-31"));
        QTimer::singleShot(0, &app, [&] {
            dialog->scan();
            const bool saved = dialog->grab().save(QString::fromLocal8Bit(argv[1]));
            sim.stop();
            std::_Exit(saved && dialog->boards().size() == 3 ? 0 : 1);
        });
        return QApplication::exec();
    }
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
