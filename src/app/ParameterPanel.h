#pragma once
// 参数设置框: the display properties of the current screen and the screen
// control buttons (brightness, clock, start picture, on and off). The
// buttons run the control-command workflows. The radio and update frames
// sit beside them.
#include "workflows/DisplayProperties.h"

#include <QGroupBox>
#include <memory>

class MainWindow;
class RadioPanel;
class SpinPair;
class UpdatePanel;
struct ScreenFields;
namespace Ui {
class ParameterPanel;
}

class ParameterPanel : public QGroupBox {
    Q_OBJECT
  public:
    ParameterPanel(MainWindow &window, QWidget *parent);
    ~ParameterPanel() override;
    Ui::ParameterPanel &form() { return *m_ui; }
    // The frames 无线模块 and 更新ASC和字库 inside this panel.
    RadioPanel &radio() const { return *m_radio; }
    UpdatePanel &update() const { return *m_update; }

    void fillSelectionLists();
    // The screen's length, height and the positions of its property lists.
    void showFields(const ScreenFields &fields);
    void takeFields(ScreenFields &fields) const;
    // The length field's lost-focus rule, also run at start-up.
    void applyLengthRule();
    int screenLength() const;
    int screenHeight() const;

    // The property fields as the workflows take them, and back.
    displayproperties::Fields propertyFields() const;
    void showPropertyFields(const displayproperties::Fields &fields);

    // Also reached from the toolbar.
    void screenOn(bool on);
    void protocolSwitch();
    // The end of "添加" and "连接测试".
    void connectionTest();

  private:
    displayproperties::Section selectedSection() const;
    void readProperties();
    void writeProperties();
    void changeAddress();
    const std::unique_ptr<Ui::ParameterPanel> m_ui;
    MainWindow &m_window;
    SpinPair *m_lengthPair = nullptr;
    RadioPanel *m_radio = nullptr;
    UpdatePanel *m_update = nullptr;
};
