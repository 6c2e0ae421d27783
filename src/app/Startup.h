#pragma once
// Start-up of the main window, in the order operators know: lists, registry,
// port scan, port choice, connection fields, lunar date.
#include <QString>
#include <functional>

class MainWindow;

// One processor and high priority where the platform allows; silently
// skipped where it does not. This is how the controller has always started,
// and operators' machines are set up for it: its waits for a screen's answer
// run on the one interface thread, which high priority keeps prompt.
void restrictProcessForStartup();

// Qt's own Chinese words for the buttons and labels of message boxes and
// file dialogs ("确定", "取消", "查找范围："), from a "translations" folder
// beside the program or else Qt's installed ones. False when none was found.
bool installQtChinese();

// What the current screen's section holds for the connection fields.
struct ScreenConnection {
    QString Pcode;
    QString Pbtl;
    QString Padr;
    QString Pchang;
    QString Pgao;
    QString Pcolor;
    QString Pleixing;
};

class Startup {
  public:
    explicit Startup(MainWindow &window) : m_window(window) {}
    void run();

    // Steps on their own, for tests.
    void scanPorts();
    void choosePort(const QString &pcode);
    void fillConnectionFields(const ScreenConnection &screen);

  private:
    MainWindow &m_window;
};
