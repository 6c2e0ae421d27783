#pragma once
// 自动发送框 ("发送上电信息"): the window number with its spin, the power-on
// format (picture or text), the image list, the preview and the power-on
// send. It shows beside the text panel and takes the text panel's colours,
// the screen's properties and the window's dot size as they change.
#include "app/TextColours.h"
#include "workflows/DisplayProperties.h"

#include <QGroupBox>
#include <QImage>
#include <memory>

class ActionContext;
class ScreenLists;
class ScreenRegistry;
namespace Ui {
class ImagePanel;
}

class ImagePanel : public QGroupBox {
    Q_OBJECT
  public:
    ImagePanel(ActionContext &context, ScreenLists &lists, ScreenRegistry &registry,
               QWidget *parent);
    ~ImagePanel() override;

    void fillSelectionLists();
    // Shown by the toolbar: a format is always chosen.
    void showWithFormat();
    // One dot is one pixel; sized from the screen's length and height.
    void sizePreview();
    // The window-number step for the spin's value.
    void refresh();
    // "设置窗口号": true when the screen acknowledged it.
    bool setWindowNumber();

    void setScreenProperties(const displayproperties::Fields &fields);
    void setColours(const TextColours &colours) { m_colours = colours; }
    void setWindowDots(int position) { m_windowDots = position; }

  protected:
    // A click into Text1 redraws the text preview with the colours of the moment.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    int selectedImage() const;
    void selectImage(int position);
    void chooseImage(bool replace);
    void deleteImage();
    void sendPowerOn();
    void showPictureControls(bool picture);
    void stepWindowNumber(int value);
    bool windowNumberShown() const;
    void placePreview(int shift);
    void scrollPreview(int value);
    void textPreview();
    int screenLength() const;
    int screenHeight() const;

    const std::unique_ptr<Ui::ImagePanel> m_ui;
    ActionContext &m_context;
    ScreenLists &m_lists;
    ScreenRegistry &m_registry;
    displayproperties::Fields m_screen;
    TextColours m_colours;
    int m_windowDots = 0;
    QImage m_surface;
};
