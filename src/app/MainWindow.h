#pragma once
// src/app, the window: Designer forms with a binding class each, over the
// workflows; nothing below includes it.
//
// `fmain`: the toolbar, the connection row, the status bar and the four
// panels (each a Designer form with its own class). It switches panels, runs
// one device action at a time under the error trap, and is the panels'
// ActionContext (device, operator, connection row); it passes on what one
// panel tells the others. What an action does lives in src/workflows.
#include "workflows/ActionContext.h"
#include "workflows/Workflow.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class GuiOperator;
class ImagePanel;
class ListPanel;
class OperatorUi;
class ParameterPanel;
class ProgressHook;
class QAbstractButton;
class QGroupBox;
class QLabel;
class QTimer;
class QToolBar;
class ScreenLists;
class ScreenPanel;
class TextPanel;
class led;

struct ScreenConnection;
struct ScreenFields;
namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow, public ActionContext {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The device object, created on first use.
    led &device() override;
    OperatorUi &ui() override;
    // Tests put a scripted operator here.
    void setOperator(OperatorUi *ui);

    // The connection row's controls (Pchao, Pbtl, Pdizhi, VScroll4, 总屏号, 屏幕修改).
    Ui::MainWindow &connectionRow() const { return *m_form; }
    ScreenPanel &screens() const { return *m_screens; }
    ParameterPanel &parameters() const { return *m_parameters; }
    ListPanel &lists() const { return *m_lists; }
    TextPanel &texts() const { return *m_texts; }
    ImagePanel &images() const { return *m_images; }
    // The current screen's lists.
    ScreenLists &screenLists() const { return *m_screenLists; }
    // A screen was selected: its text pool and list files. Raises VbError
    // for the registry's trap.
    void screenSelected();
    // Writes the current screen's list files; false, with the error number
    // in panel 5, when one could not be written.
    bool saveScreenLists();

    // A click on the button runs `action` as a device action.
    void bind(QAbstractButton *button, const std::function<void()> &action);

    // Runs one device action; refuses (and says so in the status bar) while
    // another one waits for a screen. Returns false when refused.
    bool runDeviceAction(const std::function<void()> &action) override;
    bool actionRunning() const override { return m_busy; }
    // An action that goes on in steps from the event loop: begin refuses
    // (false) while another one runs; end releases the window.
    bool beginDeviceAction() override;
    void endDeviceAction() override;
    // A control that must stay usable while an action runs (a stop button).
    void keepLiveWhileBusy(QWidget *control) { m_keepLive.append(control); }
    // True (and says so in panel 5) while a device action runs.
    bool refuseWhileBusy() override;
    // The error trap: a typed run-time error ends the action and its number
    // goes to status panel 5.
    bool trap(const std::function<void()> &action) override;
    // Panel 5 holds the number, as operators know it; the words beside it say
    // what went wrong (the error's own words, else those of its number).
    void showErrorNumber(int number, const QString &words = QString());
    // A note in panel 5 (a success, a refusal in words); clears the words beside it.
    void showStatus(const QString &text) override;
    QLabel *statusPanel(int index) const; // 1..5
    QLabel *statusWords() const { return m_statusWords; }

    // The toolbar's buttons, in their order; each button's objectName is its key.
    enum class Tool {
        Screens,        // 屏幕管理
        Parameters,     // 参数设置
        SendMessage,    // 图象处理 ("发送信息")
        Lists,          // 列表处理
        Logo,           // 自动发送
        ScreenOn,       // 开屏工
        ScreenOff,      // 关屏工
        ProtocolSwitch, // 校时工
        DefaultAddress, // 地址工
        Exit,           // 退出工
    };
    // Toolbar dispatch. The buttons call it from the event loop, so that
    // whoever pressed one is not held by its questions.
    void toolbarAction(Tool tool);
    QToolBar *toolbar() const { return m_toolbar; }

    // Connection fields.
    int portNumber() const;
    QString baudText() const;
    QString addressText() const;
    workflow::Connection connection() const override;
    void showConnection(const ScreenFields &fields);
    void takeConnection(ScreenFields &fields) const;
    void fillSelectionLists();
    void applyLengthRule();
    // Sizes the text panel's preview from the screen's length and height.
    void sizePreview();

    // Loads the screen registry at start-up and returns the current screen.
    ScreenConnection loadRegistry();
    // Called once when the program ends after the operator confirmed.
    std::function<void()> onSaveBeforeExit;

    void requestExit();
    void showPanel(QGroupBox *panel);
    QGroupBox *panel(const QString &name) const;

    // Lunar date and weekday into panels 1 and 3; refreshed at midnight.
    void refreshCalendar();

  signals:
    // The window is free again for the next device action.
    void deviceActionEnded();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    // The four panels and the image panel beside the text panel.
    QList<QGroupBox *> panels() const;
    // The panels tell each other what changed; this window passes it on.
    void wirePanels();
    void buildToolbar();
    void buildStatusBar();
    void updateClockPanels();
    bool confirmExit();
    void scheduleMidnight();
    // While an action runs nothing that changes the operator's data or the
    // connection can be used; the window still repaints and moves.
    void freeze(QWidget *widget);
    void thaw();

    // Everyone holds this one; it forwards to the operator of the moment and
    // puts status errors into panel 5.
    class OperatorProxy;
    const std::unique_ptr<Ui::MainWindow> m_form;
    std::unique_ptr<OperatorProxy> m_proxy;
    std::unique_ptr<led> m_device;
    std::unique_ptr<GuiOperator> m_gui;
    std::unique_ptr<ProgressHook> m_progress;
    OperatorUi *m_ui = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_status[5] = {};
    QLabel *m_statusWords = nullptr;
    QTimer *m_clock = nullptr;
    QTimer *m_midnight = nullptr;
    ScreenLists *m_screenLists = nullptr;
    ScreenPanel *m_screens = nullptr;
    ParameterPanel *m_parameters = nullptr;
    ListPanel *m_lists = nullptr;
    TextPanel *m_texts = nullptr;
    ImagePanel *m_images = nullptr;
    bool m_busy = false;
    // Panel 5 shows the refusal of a second action, to be cleared when the first ends.
    bool m_busyNoticeShown = false;
    QList<QWidget *> m_keepLive;
    QList<QPointer<QWidget>> m_frozen;
    QPointer<QWidget> m_focusBeforeAction;
    bool m_exitConfirmed = false;
    bool m_saved = false;
};
