#include "app/MainWindow.h"

#include "app/Controls.h"
#include "app/GuiOperator.h"
#include "app/ImagePanel.h"
#include "app/ListPanel.h"
#include "app/LunarCalendar.h"
#include "app/ParameterPanel.h"
#include "app/ProgressWindow.h"
#include "app/RadioPanel.h"
#include "app/ScreenPanel.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "app/TextPanel.h"
#include "app/UpdatePanel.h"
#include "config/ScreenFields.h"
#include "protocol/PortLocator.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "ui_MainWindow.h"
#include "workflows/BatchUpdate.h"
#include "workflows/ScreenLists.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

namespace {

using Tool = MainWindow::Tool;
struct ToolButton {
    Tool tool;
    const char16_t *caption; // empty: image only
    const char16_t *key;
    const char16_t *tooltip;
};
const ToolButton kToolButtons[] = {
    {Tool::Screens, u"显示屏", u"屏幕管理", u"屏幕管理"},
    {Tool::Parameters, u"参数设置", u"参数设置", u"参数设置"},
    {Tool::SendMessage, u"发送信息", u"图象处理", u"发送信息"},
    {Tool::Lists, u"", u"列表处理", u"图片处理"},
    {Tool::Logo, u"", u"自动发送", u"更新LOGO"},
    {Tool::ScreenOn, u"开屏", u"开屏工", u"开屏"},
    {Tool::ScreenOff, u"关屏", u"关屏工", u"关屏"},
    {Tool::ProtocolSwitch, u"协议切换", u"校时工", u"协议切换"},
    {Tool::DefaultAddress, u"默认地址", u"地址工", u"默认地址"},
    {Tool::Exit, u"退出", u"退出工", u"退出"},
};
const QString BusyNotice = QStringLiteral("正在与显示屏通讯，请稍候");
} // namespace

class MainWindow::OperatorProxy : public OperatorUi {
  public:
    explicit OperatorProxy(MainWindow &w) : m_w(w) {}
    void message(const QString &t, const QString &c) override { m_w.m_ui->message(t, c); }
    bool askYesNo(const QString &t, const QString &c) override { return m_w.m_ui->askYesNo(t, c); }
    bool askYesNoDefaultNo(const QString &t, const QString &c) override {
        return m_w.m_ui->askYesNoDefaultNo(t, c);
    }
    bool askOkCancel(const QString &t, const QString &c) override {
        return m_w.m_ui->askOkCancel(t, c);
    }
    bool input(const QString &p, const QString &c, QString &v) override {
        return m_w.m_ui->input(p, c, v);
    }
    QString openFile(const QString &c, const QString &f) override {
        return m_w.m_ui->openFile(c, f);
    }
    void statusError(int number, const QString &text) override {
        m_w.showErrorNumber(number, text);
        if (m_w.m_ui != m_w.m_gui.get()) m_w.m_ui->statusError(number, text);
    }

  private:
    MainWindow &m_w;
};

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), m_form(std::make_unique<Ui::MainWindow>()) {
    m_form->setupUi(this);
    m_gui = std::make_unique<GuiOperator>(this);
    m_ui = m_gui.get();
    m_proxy = std::make_unique<OperatorProxy>(*this);
    m_progress = std::make_unique<ProgressHook>(this);

    QWidget *area = m_form->面板区;
    m_screenLists = new ScreenLists(this);
    m_screens = new ScreenPanel(*this, area);
    ScreenRegistry &registry = m_screens->registry();
    m_parameters = new ParameterPanel(*this, registry, area);
    m_lists = new ListPanel(*this, m_screenLists->messages, area);
    connect(m_screenLists, &ScreenLists::loaded, m_lists, &ListPanel::showClockOptions);
    connect(
        m_screenLists, &ScreenLists::unstorable, this,
        [this](const QString &entry, const QString &characters) {
            m_ui->message(ScreenLists::unstorableWarning(entry, characters),
                          QStringLiteral("提示"));
        },
        // After the change that brought it, not inside the model's signal.
        Qt::QueuedConnection);
    m_texts = new TextPanel(*this, *m_screenLists, registry, area);
    m_images = new ImagePanel(*this, *m_screenLists, registry, m_texts);
    m_texts->placeImagePanel(m_images);
    wirePanels();
    for (QGroupBox *p : panels().mid(0, 4))
        m_form->面板栈->addWidget(p, 0, 0);
    buildToolbar();
    buildStatusBar();
    SpinPair::plain(m_form->VScroll4, m_form->Pdizhi);
    showPanel(m_parameters);
    Controls::nameForAccessibility(this);
    Controls::keepOnOneLine(this);
    resize(1000, 680);
}

MainWindow::~MainWindow() {
    if (m_device) m_device->setProgress(nullptr);
}

led &MainWindow::device() {
    if (!m_device) {
        m_device = std::make_unique<led>();
        m_device->setOperator(m_proxy.get());
        m_device->setProgress(m_progress.get());
    }
    return *m_device;
}

OperatorUi &MainWindow::ui() {
    return *m_proxy;
}

void MainWindow::setOperator(OperatorUi *ui) {
    m_ui = ui ? ui : m_gui.get();
}

void MainWindow::bind(QAbstractButton *button, const std::function<void()> &action) {
    Controls::bindAction(*this, button, action);
}

void MainWindow::wirePanels() {
    ScreenRegistry &registry = m_screens->registry();
    m_form->总屏号->setModel(registry.screens());
    connect(m_form->总屏号, &QComboBox::activated, m_screens,
            [this](int position) { m_screens->choose(position, false); });
    bind(m_form->屏幕修改, [this] { m_screens->saveAndTest(); });
    m_screens->saveLists = [this] { return saveScreenLists(); };
    m_screens->takeOtherFields = [this](ScreenFields &f) {
        takeConnection(f);
        m_parameters->takeFields(f);
    };
    registry.onConnectionTest = [this] { m_parameters->connectionTest(); };
    registry.onScreenSelected = [this] { screenSelected(); };
    connect(m_screens, &ScreenPanel::screenShown, this, [this](int position) {
        const ScreenRegistry &r = m_screens->registry();
        m_form->总屏号->setCurrentIndex(position);
        showConnection(r.fields);
        m_parameters->showFields(r.fields);
    });

    connect(m_parameters, &ParameterPanel::propertiesChanged, this,
            [this](const displayproperties::Fields &f) {
                m_images->setScreenProperties(f);
                m_texts->setScreenLength(f.length);
            });
    connect(m_parameters, &ParameterPanel::windowDotsChanged, m_images, &ImagePanel::setWindowDots);
    connect(m_parameters, &ParameterPanel::is161DChanged, m_texts, &TextPanel::set161D);
    connect(m_parameters, &ParameterPanel::windowNumberRequested, m_images,
            &ImagePanel::setWindowNumber);
    connect(m_parameters, &ParameterPanel::addressChanged, this,
            [this](const QString &address, int baudPosition) {
                m_form->Pdizhi->setText(address);
                m_form->Pbtl->setCurrentIndex(baudPosition);
            });
    connect(m_parameters, &ParameterPanel::portsScanned, this,
            [this](const QList<PortScanEntry> &ports, int portNumber) {
                QComboBox *row = m_form->Pchao;
                row->clear();
                for (const PortScanEntry &e : ports)
                    row->addItem(e.text, e.number);
                row->setCurrentText(QString::number(portNumber));
            });
    UpdatePanel &update = m_parameters->update();
    connect(&update, &UpdatePanel::batchFinished, this, [this](int, const workflow::Connection &c) {
        m_form->Pdizhi->setText(c.address);
        m_form->Pbtl->setCurrentText(c.baud);
    });
    update.completeInputs = [this](batchupdate::Inputs &in) {
        m_parameters->takeBatchFields(in);
        m_texts->takeWelcome(in);
    };
    keepLiveWhileBusy(m_parameters->radio().stopButton());

    connect(m_texts, &TextPanel::coloursChanged, m_images, &ImagePanel::setColours);
    connect(m_texts, &TextPanel::clockOptionsChanged, m_lists, &ListPanel::showClockOptions);
    m_texts->clockStay = [this] { return m_lists->clockStay(); };

    // What the panels hold from the start.
    const displayproperties::Fields properties = m_parameters->propertyFields();
    m_images->setScreenProperties(properties);
    m_texts->setScreenLength(properties.length);
    m_images->setWindowDots(m_parameters->windowDots());
    m_images->setColours(m_texts->colours());
    m_texts->set161D(update.is161D());
}

void MainWindow::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButton &b : kToolButtons) {
        const QString key = QString::fromUtf16(b.key);
        const QString caption = QString::fromUtf16(b.caption);
        auto *action = new QAction(caption, this);
        action->setObjectName(key);
        action->setData(key);
        action->setToolTip(QString::fromUtf16(b.tooltip));
        if (caption.isEmpty())
            action->setIcon(style()->standardIcon(b.tool == Tool::Lists
                                                      ? QStyle::SP_FileDialogDetailedView
                                                      : QStyle::SP_DialogApplyButton));
        connect(
            action, &QAction::triggered, this, [this, tool = b.tool] { toolbarAction(tool); },
            Qt::QueuedConnection);
        m_toolbar->addAction(action);
        // Tab reaches every button; an image-only one is named by its tooltip.
        QWidget *button = m_toolbar->widgetForAction(action);
        button->setFocusPolicy(Qt::TabFocus);
        if (caption.isEmpty()) button->setAccessibleName(action->toolTip());
    }
    m_toolbar->addSeparator();
    auto *radioCheck =
        Controls::button(this, QStringLiteral("Command7"), QStringLiteral("检测无线模块"));
    m_toolbar->addWidget(radioCheck);
    bind(radioCheck, [this] { m_parameters->radio().checkModule(); });
    auto *protocolSwitch =
        Controls::button(this, QStringLiteral("Command3"), QStringLiteral("协议切换"));
    m_toolbar->addWidget(protocolSwitch);
    bind(protocolSwitch, [this] { m_parameters->protocolSwitch(); });
}

void MainWindow::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar2"));
    const int widths[5] = {259, 141, 118, 118, 180};
    for (int i = 0; i < 5; ++i) {
        m_status[i] = new QLabel(bar);
        m_status[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_status[i]->setMinimumWidth(widths[i]);
        bar->addWidget(m_status[i]);
    }
    m_statusWords = new QLabel(bar);
    m_statusWords->setObjectName(QStringLiteral("StatusWords"));
    m_statusWords->setAccessibleName(QStringLiteral("错误说明"));
    m_statusWords->setMinimumWidth(220);
    bar->addWidget(m_statusWords, 1);
    showStatus(QStringLiteral("欢迎使用条屏编辑软件"));
    // The date and time panels follow the system clock; one tick a second.
    m_clock = new QTimer(this);
    m_clock->setTimerType(Qt::CoarseTimer);
    connect(m_clock, &QTimer::timeout, this, &MainWindow::updateClockPanels);
    m_clock->start(1000);
    updateClockPanels();
}

void MainWindow::updateClockPanels() {
    const QDateTime now = QDateTime::currentDateTime();
    m_status[1]->setText(now.date().toString(QStringLiteral("yyyy-MM-dd")));
    m_status[3]->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
}

QLabel *MainWindow::statusPanel(int index) const {
    return index >= 1 && index <= 5 ? m_status[index - 1] : nullptr;
}

namespace {
// The words of the run-time numbers the trap shows, for errors raised without their own.
QString wordsOfNumber(int number) {
    switch (number) {
    case vberr::InvalidCall:
        return QStringLiteral("无效的过程调用或参数");
    case vberr::Overflow:
        return QStringLiteral("溢出");
    case vberr::SubscriptOutOfRange:
        return QStringLiteral("下标越界");
    case vberr::TypeMismatch:
        return QStringLiteral("类型不匹配");
    case vberr::FileNotFound:
        return QStringLiteral("文件未找到");
    case vberr::PermissionDenied:
        return QStringLiteral("没有权限");
    case vberr::PathFileAccessError:
        return QStringLiteral("路径/文件访问错误");
    case vberr::PathNotFound:
        return QStringLiteral("路径未找到");
    case vberr::InvalidPropertyValue:
        return QStringLiteral("无效的属性值");
    case vberr::InvalidPropertyArrayIndex:
        return QStringLiteral("无效的属性数组索引");
    }
    return QStringLiteral("错误");
}
} // namespace

void MainWindow::showErrorNumber(int number, const QString &words) {
    const QString said = words.isEmpty() ? wordsOfNumber(number) : words;
    m_busyNoticeShown = false;
    m_status[4]->setText(QString::number(number));
    m_status[4]->setToolTip(said);
    m_statusWords->setText(said);
}

void MainWindow::showStatus(const QString &text) {
    m_busyNoticeShown = false;
    m_status[4]->setText(text);
    m_status[4]->setToolTip(text);
    m_statusWords->clear();
}

bool MainWindow::trap(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const VbError &e) {
        showErrorNumber(e.number(), e.text());
    }
    return false;
}

bool MainWindow::runDeviceAction(const std::function<void()> &action) {
    if (!beginDeviceAction()) return false;
    struct Release {
        MainWindow &w;
        ~Release() { w.endDeviceAction(); }
    } release{*this};
    trap(action);
    return true;
}

bool MainWindow::beginDeviceAction() {
    if (refuseWhileBusy()) return false;
    m_busy = true;
    m_focusBeforeAction = QApplication::focusWidget();
    freeze(m_toolbar);
    freeze(centralWidget());
    return true;
}

void MainWindow::endDeviceAction() {
    m_busy = false;
    thaw();
    // A refusal while this action ran is stale once it ends.
    if (m_busyNoticeShown) showStatus(QString());
    emit deviceActionEnded();
}

void MainWindow::freeze(QWidget *widget) {
    const bool holdsLive =
        std::any_of(m_keepLive.cbegin(), m_keepLive.cend(),
                    [widget](QWidget *c) { return c == widget || widget->isAncestorOf(c); });
    if (!holdsLive) {
        // One explicitly disabled stays so; its own state comes back untouched.
        if (widget->testAttribute(Qt::WA_ForceDisabled)) return;
        widget->setEnabled(false);
        m_frozen.append(widget);
        return;
    }
    if (m_keepLive.contains(widget)) return;
    for (QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        freeze(child);
}

void MainWindow::thaw() {
    for (const QPointer<QWidget> &w : std::as_const(m_frozen))
        if (w) w->setEnabled(true);
    m_frozen.clear();
    // The operator goes on where he was; disabling took the focus away.
    if (m_focusBeforeAction && m_focusBeforeAction->isEnabled() && m_focusBeforeAction->isVisible())
        m_focusBeforeAction->setFocus();
    m_focusBeforeAction.clear();
}

QList<QGroupBox *> MainWindow::panels() const {
    return {m_screens, m_parameters, m_lists, m_texts, m_images};
}

QGroupBox *MainWindow::panel(const QString &name) const {
    for (QGroupBox *p : panels())
        if (p->objectName() == name) return p;
    return nullptr;
}

void MainWindow::showPanel(QGroupBox *shown) {
    for (QGroupBox *p : panels())
        p->hide();
    if (shown) shown->show();
}

void MainWindow::toolbarAction(Tool tool) {
    trap([&] {
        switch (tool) {
        case Tool::Screens:
            showPanel(m_screens);
            break;
        case Tool::Parameters:
            showPanel(m_parameters);
            break;
        case Tool::Lists:
            showPanel(m_lists);
            m_lists->showStoredTexts(m_texts->pool());
            break;
        case Tool::SendMessage:
        case Tool::Logo:
            // The image panel lies beside the text panel, so both show together.
            showPanel(m_texts);
            m_images->showWithFormat();
            if (tool == Tool::SendMessage) {
                m_images->sizePreview();
                m_images->refresh();
                m_texts->refillColourLists(m_parameters->propertyFields().colour);
            }
            break;
        case Tool::DefaultAddress:
            m_form->VScroll4->setValue(1);
            break;
        case Tool::Exit:
            requestExit();
            break;
        case Tool::ScreenOn:
        case Tool::ScreenOff:
            runDeviceAction([&] { m_parameters->screenOn(tool == Tool::ScreenOn); });
            break;
        case Tool::ProtocolSwitch:
            runDeviceAction([&] { m_parameters->protocolSwitch(); });
            break;
        }
    });
}

void MainWindow::sizePreview() {
    m_images->sizePreview();
}

ScreenConnection MainWindow::loadRegistry() {
    return m_screens->load();
}

void MainWindow::fillSelectionLists() {
    m_parameters->fillSelectionLists();
    m_lists->fillSelectionLists();
    m_texts->fillSelectionLists();
    m_images->fillSelectionLists();
    fillSelectionList(m_form->Pbtl);
}

void MainWindow::screenSelected() {
    const ScreenRegistry &registry = m_screens->registry();
    const QString directory = registry.MapSavePath;
    QString textsLeftOut;
    const QStringList pool = ScreenLists::textPool(directory, registry.DQPTgeshu, &textsLeftOut);
    m_screenLists->pool.setTextLines(pool);
    m_lists->showStoredTexts(pool, registry.DQPTgeshu != 0);
    const int error = m_screenLists->load(directory);
    const QString leftOut = (textsLeftOut + QLatin1Char('\n') + m_screenLists->notLoaded).trimmed();
    if (!leftOut.isEmpty()) m_ui->message(leftOut, QStringLiteral("读入文件"));
    if (error) throw VbError(error, QStringLiteral("列表文件不完整"));
}

bool MainWindow::saveScreenLists() {
    const QString directory = m_screens->registry().MapSavePath;
    return trap([&] {
        // Lists entered while the store directory is missing have nowhere to go.
        if (directory.isEmpty() && !m_screenLists->isEmpty())
            throw VbError(vberr::PathNotFound, QStringLiteral("屏幕目录不存在，列表不能保存"));
        if (!directory.isEmpty()) m_screenLists->save(directory);
    });
}

workflow::Connection MainWindow::connection() const {
    return workflow::Connection{portNumber(), baudText(), addressText()};
}

void MainWindow::showConnection(const ScreenFields &f) {
    m_form->Pchao->setCurrentText(f.Pchao);
    m_form->Pbtl->setCurrentIndex(BaudRate::position(f.Pbtl));
    m_form->Pdizhi->setText(f.Pdizhi);
}

void MainWindow::takeConnection(ScreenFields &f) const {
    f.Pchao = m_form->Pchao->currentText();
    f.Pbtl = baudText();
    f.Pdizhi = addressText();
}

int MainWindow::portNumber() const {
    return PortLocator::numberOfItem(m_form->Pchao->currentText());
}

QString MainWindow::baudText() const {
    return m_form->Pbtl->currentText();
}

QString MainWindow::addressText() const {
    return m_form->Pdizhi->text();
}

void MainWindow::applyLengthRule() {
    m_parameters->applyLengthRule();
}

bool MainWindow::confirmExit() {
    return m_ui->askOkCancel(QStringLiteral("你确认要退出系统吗？"), QStringLiteral("提示"));
}

void MainWindow::requestExit() {
    if (refuseWhileBusy()) return;
    if (!confirmExit()) return;
    m_exitConfirmed = true;
    close();
}

bool MainWindow::refuseWhileBusy() {
    if (!m_busy) return false;
    // A transfer waits for a screen: ending now would cut it off half-way.
    showStatus(BusyNotice);
    m_busyNoticeShown = true;
    QApplication::beep();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (refuseWhileBusy()) {
        event->ignore();
        return;
    }
    if (!m_exitConfirmed && !confirmExit()) {
        event->ignore();
        return;
    }
    m_exitConfirmed = true;
    if (!m_saved) {
        // Lists that cannot be written are not thrown away without asking.
        if (!saveScreenLists() &&
            !m_ui->askYesNo(QStringLiteral("列表文件无法保存，是否仍然退出？"),
                            QStringLiteral("提示"))) {
            m_exitConfirmed = false;
            event->ignore();
            return;
        }
        m_saved = true;
        if (onSaveBeforeExit) onSaveBeforeExit();
    }
    event->accept();
}

void MainWindow::refreshCalendar() {
    const QDate today = QDate::currentDate();
    const LunarPanelTexts texts = LunarCalendar::panelTextsFor(today);
    m_status[0]->setText(texts.lunarDate);
    m_status[2]->setText(texts.weekday);
    scheduleMidnight();
}

void MainWindow::scheduleMidnight() {
    // Refresh when the date changes while the program runs.
    if (!m_midnight) {
        m_midnight = new QTimer(this);
        m_midnight->setSingleShot(true);
        m_midnight->setTimerType(Qt::PreciseTimer);
        connect(m_midnight, &QTimer::timeout, this, &MainWindow::refreshCalendar);
    }
    m_midnight->start(LunarCalendar::msecsToNextMidnight(QDateTime::currentDateTime()) + 50);
}
