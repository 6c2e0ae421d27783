#pragma once
// 参数设置框: the display properties of the current screen and the screen
// control buttons (brightness, clock, start picture, on and off). The
// buttons run the control-command workflows. The radio and update frames
// sit beside them.
#include "protocol/PortScan.h"
#include "workflows/DisplayProperties.h"

#include <QGroupBox>
#include <memory>

class ActionContext;
class RadioPanel;
class ScreenRegistry;
class SpinPair;
class UpdatePanel;
struct ScreenFields;
namespace batchupdate {
struct Inputs;
}
namespace Ui {
class ParameterPanel;
}

class ParameterPanel : public QGroupBox {
    Q_OBJECT
  public:
    ParameterPanel(ActionContext &context, ScreenRegistry &registry, QWidget *parent);
    ~ParameterPanel() override;
    // The frames 无线模块 and 更新ASC和字库 inside this panel.
    RadioPanel &radio() const { return *m_radio; }
    UpdatePanel &update() const { return *m_update; }

    void fillSelectionLists();
    // The screen's length, height and the positions of its property lists.
    void showFields(const ScreenFields &fields);
    void takeFields(ScreenFields &fields) const;
    // The length field's lost-focus rule, also run at start-up.
    void applyLengthRule();
    // Start-up: the stored length (its rule applied), height and the
    // positions of the colour type and board lists; a position the list
    // does not have raises VbError 5.
    void showStartValues(const QString &length, const QString &height, int colour, int board);
    int screenLength() const;
    int screenHeight() const;
    // The position of 窗口点阵数.
    int windowDots() const;

    // The property fields as the workflows take them, and back.
    displayproperties::Fields propertyFields() const;
    void showPropertyFields(const displayproperties::Fields &fields);

    // What the batch update reads from this panel.
    void takeBatchFields(batchupdate::Inputs &inputs) const;

    // Also reached from the toolbar.
    void screenOn(bool on);
    void protocolSwitch();
    // The end of "添加" and "连接测试".
    void connectionTest();

  signals:
    // The length, height or colour type changed.
    void propertiesChanged(const displayproperties::Fields &fields);
    void windowDotsChanged(int position);
    void is161DChanged(bool on);
    // "设置窗口号", inside its device action.
    void windowNumberRequested();
    // The board took a new address (and baud rate position).
    void addressChanged(const QString &address, int baudPosition);
    // A silent screen: the ports found, and the one to choose.
    void portsScanned(const QList<PortScanEntry> &ports, int portNumber);

  private:
    displayproperties::Section selectedSection() const;
    void readProperties();
    void writeProperties();
    void changeAddress();
    const std::unique_ptr<Ui::ParameterPanel> m_ui;
    ActionContext &m_context;
    ScreenRegistry &m_registry;
    SpinPair *m_lengthPair = nullptr;
    RadioPanel *m_radio = nullptr;
    UpdatePanel *m_update = nullptr;
};
