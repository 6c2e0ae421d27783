#pragma once
// 无线模块: the radio module attached to the computer, read and set once or
// every 3000 ms while modules are attached one after another.
#include "workflows/Radio.h"

#include <QGroupBox>
#include <memory>

class ActionContext;
namespace Ui {
class RadioPanel;
}

class RadioPanel : public QGroupBox {
    Q_OBJECT
  public:
    RadioPanel(ActionContext &context, QWidget *parent);
    ~RadioPanel() override;
    Ui::RadioPanel &form() { return *m_ui; }
    radio::RepeatedSetting &repeated() { return *m_repeated; }

    // "自动设置": it stops the repeated setting, so it stays live while a tick runs.
    QWidget *stopButton() const;

    // "检测无线模块" on the toolbar.
    void checkModule();

  private:
    void detect();
    void setChannel(bool silent);
    const std::unique_ptr<Ui::RadioPanel> m_ui;
    ActionContext &m_context;
    radio::Random m_random = radio::systemRandom();
    radio::RepeatedSetting *m_repeated = nullptr;
};
