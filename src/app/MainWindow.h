#pragma once
// `fmain`: the whole user interface — toolbar, four panels, the connection
// row and the status bar. Panels' actions live in src/workflows.
#include <QMainWindow>
#include <functional>
#include <memory>

class GuiOperator;
class OperatorUi;
class ProgressHook;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;
class QToolBar;
class SpinPair;
class led;

struct ScreenConnection;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The device object, created on first use.
    led &device();
    OperatorUi &ui();
    // Tests put a scripted operator here.
    void setOperator(OperatorUi *ui);

    template <typename T> T *control(const QString &name) const { return findChild<T *>(name); }

    // Runs one device action; refuses (and says so in the status bar) while
    // another one waits for a screen. Returns false when refused.
    bool runDeviceAction(const std::function<void()> &action);
    bool actionRunning() const { return m_busy; }
    // True (and says so in panel 5) while a device action runs.
    bool refuseWhileBusy();
    // The error trap: a typed run-time error ends the action and its number
    // goes to status panel 5.
    bool trap(const std::function<void()> &action);
    void showErrorNumber(int number);
    QLabel *statusPanel(int index) const; // 1..5

    // Toolbar dispatch on the button's key.
    void toolbarAction(const QString &key);
    QToolBar *toolbar() const { return m_toolbar; }

    // Connection fields.
    int portNumber() const;
    QString baudText() const;
    QString addressText() const;
    void applyLengthRule();
    // Sizes the text panel's preview from the screen's length and height.
    void sizePreview();

    // Loads the screen registry at start-up and returns the current screen.
    std::function<ScreenConnection()> onLoadRegistry;
    // Called once when the program ends after the operator confirmed.
    std::function<void()> onSaveBeforeExit;
    // Panel-specific actions that later workflows fill in.
    std::function<void()> onTextPanelShown;
    std::function<void()> onListPanelShown;
    std::function<void(const QString &)> onQuickAction; // 开屏工, 关屏工, 校时工

    void requestExit();
    void showPanel(QGroupBox *panel);
    QGroupBox *panel(const QString &name) const;

    // Lunar date and weekday into panels 1 and 3; refreshed at midnight.
    void refreshCalendar();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    void buildToolbar();
    QHBoxLayout *buildConnectionRow(QWidget *central);
    void buildStatusBar();
    void updateClockPanels();
    bool confirmExit();
    void scheduleMidnight();

    // Everyone holds this one; it forwards to the operator of the moment and
    // puts status errors into panel 5.
    class OperatorProxy;
    std::unique_ptr<OperatorProxy> m_proxy;
    std::unique_ptr<led> m_device;
    std::unique_ptr<GuiOperator> m_gui;
    std::unique_ptr<ProgressHook> m_progress;
    OperatorUi *m_ui = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_status[5] = {};
    QTimer *m_clock = nullptr;
    QTimer *m_midnight = nullptr;
    SpinPair *m_lengthPair = nullptr;
    bool m_busy = false;
    bool m_exitConfirmed = false;
    bool m_saved = false;
};
