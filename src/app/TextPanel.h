#pragma once
// 图象处理框 ("发送信息"): the queue-calling frame, the colour lists, the
// text pool and the free texts. The image panel shows beside it; it takes
// the colours this panel tells.
#include "app/TextColours.h"
#include "workflows/QueueCalling.h"

#include <QGroupBox>
#include <functional>
#include <memory>

class ActionContext;
class ScreenLists;
class ScreenRegistry;
namespace batchupdate {
struct Inputs;
}
namespace Ui {
class TextPanel;
}

class TextPanel : public QGroupBox {
    Q_OBJECT
  public:
    TextPanel(ActionContext &context, ScreenLists &lists, ScreenRegistry &registry,
              QWidget *parent);
    ~TextPanel() override;

    void fillSelectionLists();
    // The image panel's place beside the calling frame.
    void placeImagePanel(QWidget *panel);
    QStringList pool() const;
    // The check boxes of the text panel as the screen's lists hold them.
    void showListOptions();
    // The colour lists for the screen's colour type.
    void refillColourLists(int colourType);
    TextColours colours() const;
    // The welcome text's effect, speed, stay and colour the batch update sends.
    void takeWelcome(batchupdate::Inputs &inputs) const;

    // What the text pool's line cutting depends on.
    void setScreenLength(const QString &length) { m_screenLength = length; }
    void set161D(bool on) { m_is161D = on; }
    // The stay time a new clock entry takes, from the list panel.
    std::function<QString()> clockStay;

  signals:
    void coloursChanged(const TextColours &colours);
    // The pool changed the message list's clock entries.
    void clockOptionsChanged();

  protected:
    // A key that moves the pool list's current row loads that text, as a click does.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void callQueue(queuecalling::Action action);
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
    bool m_loadingText = false;
    int m_poolRowBeforeKey = -1;
    QString m_screenLength;
    bool m_is161D = false;
    const std::unique_ptr<Ui::TextPanel> m_ui;
    ActionContext &m_context;
    ScreenLists &m_lists;
    ScreenRegistry &m_registry;
};
