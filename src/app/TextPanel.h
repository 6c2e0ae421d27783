#pragma once
// 图象处理框 ("发送信息") with the image panel 自动发送框 inside it: the
// queue-calling frame, the colour lists, the text pool and the preview.
#include "workflows/QueueCalling.h"

#include <QGroupBox>
#include <QImage>
#include <memory>

class MainWindow;
namespace Ui {
class TextPanel;
}

class TextPanel : public QGroupBox {
    Q_OBJECT
  public:
    TextPanel(MainWindow &window, QWidget *parent);
    ~TextPanel() override;
    Ui::TextPanel &form() { return *m_ui; }

    void fillSelectionLists();
    // The toolbar shows this panel with the image panel; a format is always chosen.
    void showWithImagePanel(bool sizeThePreview);
    // One dot is one pixel; sized from the screen's length and height.
    void sizePreview(int length, int height);
    QStringList pool() const;
    // The check boxes of the text panel as the screen's lists hold them.
    void showListOptions();
    QGroupBox *imagePanel() const;

    // The panel refresh of "发送信息": the window-number step for the spin's
    // value, then the colour lists for the screen's colour type.
    void refresh();
    void refillColourLists(int colourType);

  protected:
    // A click into Text1 redraws the text preview (with the colours of the
    // moment); a key that moves the pool list's current row loads that text,
    // as a click does.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void callQueue(queuecalling::Action action);
    void setWindowNumber();
    // The preview: the window-number square and the text beside it.
    void stepWindowNumber(int value);
    bool windowNumberShown() const;
    void placePreview(int shift);
    void scrollPreview(int value);
    void textPreview();
    void sendText(bool logo);
    // The text pool.
    int selectedText() const;
    void selectText(int position);
    // Selects the colour of that name in combo1 when it has one.
    void showColour(const QString &colourName);
    void updateAttributes();
    void addTexts();
    void deleteText();
    void clearPool();
    void sendAll();
    // The image panel.
    int selectedImage() const;
    void selectImage(int position);
    void chooseImage(bool replace);
    void deleteImage();
    void sendPowerOn();
    void showPictureControls(bool picture);
    QImage m_surface;
    bool m_loadingText = false;
    int m_poolRowBeforeKey = -1;
    bool m_windowNumberSet = false;
    const std::unique_ptr<Ui::TextPanel> m_ui;
    MainWindow &m_window;
};
