#pragma once
// 屏幕管理框 and the screen choice of the connection row: the registry's
// screen list shown in `现有屏幕` and `总屏号`, "添加", "删除", "连接测试" and
// "扫描", whose window offers each board found for adding.
// The highlighted row is always the current screen.
#include "app/Startup.h"
#include "config/CIniFile.h"
#include "workflows/BusScan.h"
#include "workflows/ScreenRegistry.h"

#include <QGroupBox>
#include <functional>
#include <memory>

class ActionContext;
class ScanDialog;
namespace Ui {
class ScreenPanel;
}

class ScreenPanel : public QGroupBox {
    Q_OBJECT
  public:
    ScreenPanel(ActionContext &context, QWidget *parent);
    ~ScreenPanel() override;
    ScreenRegistry &registry() { return m_registry; }
    // Start-up: load ledfile.ini and hand back the current screen's values.
    ScreenConnection load();
    // A row chosen by mouse, keyboard or `总屏号` becomes the current screen,
    // unless a command waits: then the highlight goes back.
    void choose(int position, bool fromList);
    // "屏幕修改": the fields into the registry, then the connection test.
    void saveAndTest();
    // "扫描": the scan window (made on first use).
    ScanDialog *openScan();
    // A board the scan found, added as "添加" adds a screen, with its name,
    // port, rate and address in place of the fields'. True when added.
    bool addFound(const busscan::Board &board, int port, const QString &name);

    // Writes the lists of the screen left; false keeps the operator on it.
    std::function<bool()> saveLists;
    // The fields of the connection row and the parameter panel into the screen's.
    std::function<void(ScreenFields &)> takeOtherFields;

  signals:
    // The current screen's fields are in the registry's `fields`.
    void screenShown(int position);

  private:
    void showFields(int position);
    void takeFields();
    const std::unique_ptr<Ui::ScreenPanel> m_ui;
    ActionContext &m_context;
    CIniFile m_ini;
    ScreenRegistry m_registry;
    bool m_showing = false;
    ScanDialog *m_scan = nullptr;
};
