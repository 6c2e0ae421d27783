#include "app/GuiOperator.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "workflows/Workflows.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char **argv) {
    restrictProcessForStartup();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledcounter"));
    SingleInstance instance;
    if (!instance.acquire()) {
        QMessageBox::information(nullptr, QStringLiteral("字库程序"),
                                 QStringLiteral("已经有一个相同的程序在运行，请关闭"));
        return 0;
    }
    MainWindow window;
    Startup startup(window);
    startup.run();
    installWorkflows(window);
    window.show();
    return QApplication::exec();
}
