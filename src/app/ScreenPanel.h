#pragma once
// 屏幕管理框 and the screen choice of the connection row: the registry's
// screen list shown in `现有屏幕` and `总屏号`, "添加", "删除" and "连接测试".
// The highlighted row is always the current screen.
#include "app/Startup.h"
#include "config/CIniFile.h"
#include "workflows/ScreenRegistry.h"

#include <QGroupBox>
#include <memory>

class MainWindow;
namespace Ui {
class ScreenPanel;
}

class ScreenPanel : public QGroupBox {
    Q_OBJECT
  public:
    ScreenPanel(MainWindow &window, QWidget *parent);
    ~ScreenPanel() override;
    ScreenRegistry &registry() { return m_registry; }
    // Start-up: load ledfile.ini and hand back the current screen's values.
    ScreenConnection load();

  private:
    // A row chosen by mouse, keyboard or `总屏号` becomes the current screen,
    // unless a command waits: then the highlight goes back.
    void choose(int position, bool fromList);
    void showFields(int position);
    void takeFields();
    const std::unique_ptr<Ui::ScreenPanel> m_ui;
    MainWindow &m_window;
    CIniFile m_ini;
    ScreenRegistry m_registry;
    bool m_showing = false;
};
