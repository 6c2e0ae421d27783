#pragma once
// The screen-management panel and the connection row: the registry of
// ledfile.ini behind `现有屏幕`, `总屏号`, "添加", "删除" and "连接测试".
#include "config/CIniFile.h"
#include "config/ScreenRegistry.h"

#include <QObject>

class MainWindow;
struct ScreenConnection;

class ScreenManagementWorkflow : public QObject {
    Q_OBJECT
  public:
    explicit ScreenManagementWorkflow(MainWindow &window);
    ScreenRegistry &registry() { return m_registry; }
    // Start-up: load ledfile.ini and hand back the current screen's values.
    ScreenConnection load();

  private:
    void showFields(int position);
    void takeFields();
    MainWindow &m_window;
    CIniFile m_ini;
    ScreenRegistry m_registry;
};
