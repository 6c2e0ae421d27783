#include "app/GuiOperator.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "config/AtomicFile.h"

#include <QApplication>

int main(int argc, char **argv) {
    restrictProcessForStartup();
    AtomicFile::reportFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledcounter"));
    installQtChinese();
    SingleInstance instance;
    GuiOperator alone(nullptr);
    if (!instance.acquireOrTell(alone)) return 0;
    MainWindow window;
    Startup(window).run();
    window.show();
    return QApplication::exec();
}
