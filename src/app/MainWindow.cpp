#include "app/MainWindow.h"

#include "app/Controls.h"
#include "app/GuiOperator.h"
#include "app/LunarCalendar.h"
#include "app/Panels.h"
#include "app/ProgressWindow.h"
#include "app/SpinPair.h"
#include "config/NumericText.h"
#include "protocol/PortLocator.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const char *const kPanels[] = {"屏幕管理框", "参数设置框", "列表处理框", "图象处理框"};

struct ToolButton {
    const char16_t *caption; // empty: image only
    const char16_t *key;
    const char16_t *tooltip;
};
const ToolButton kToolButtons[] = {
    {u"显示屏", u"屏幕管理", u"屏幕管理"},   {u"参数设置", u"参数设置", u"参数设置"},
    {u"发送信息", u"图象处理", u"发送信息"}, {u"", u"列表处理", u"图片处理"},
    {u"", u"自动发送", u"更新LOGO"},         {u"开屏", u"开屏工", u"开屏"},
    {u"关屏", u"关屏工", u"关屏"},           {u"协议切换", u"校时工", u"协议切换"},
    {u"默认地址", u"地址工", u"默认地址"},   {u"退出", u"退出工", u"退出"},
};
} // namespace

class MainWindow::OperatorProxy : public OperatorUi {
  public:
    explicit OperatorProxy(MainWindow &w) : m_w(w) {}
    void message(const QString &t, const QString &c) override { m_w.m_ui->message(t, c); }
    bool askYesNo(const QString &t, const QString &c) override { return m_w.m_ui->askYesNo(t, c); }
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
        m_w.showErrorNumber(number);
        if (m_w.m_ui != m_w.m_gui.get()) m_w.m_ui->statusError(number, text);
    }

  private:
    MainWindow &m_w;
};

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmain"));
    setWindowTitle(QStringLiteral("LED条屏控制系统 V1.0"));
    m_gui = std::make_unique<GuiOperator>(this);
    m_ui = m_gui.get();
    m_proxy = std::make_unique<OperatorProxy>(*this);
    m_progress = std::make_unique<ProgressHook>(this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildConnectionRow(central));
    auto *area = new QWidget(central);
    auto *stack = new QGridLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(buildScreenPanel(area), 0, 0);
    stack->addWidget(buildParameterPanel(area), 0, 0);
    stack->addWidget(buildListPanel(area), 0, 0);
    stack->addWidget(buildTextPanel(area), 0, 0);
    layout->addWidget(area, 1);
    setCentralWidget(central);
    buildToolbar();
    buildStatusBar();
    // The hidden drawing surface the rendering workflows draw on.
    auto *pic = new QLabel(central);
    pic->setObjectName(QStringLiteral("pic"));
    pic->setStyleSheet(QStringLiteral("background: black"));
    pic->hide();

    m_lengthPair = SpinPair::sixteenths(control<QScrollBar>(QStringLiteral("VScroll6")),
                                        control<QLineEdit>(QStringLiteral("Pchang")));
    for (const auto &[spin, field] : {std::pair{u"VScroll4", u"Pdizhi"},
                                      {u"VScroll7", u"Text11"},
                                      {u"VScroll2", u"Text14"},
                                      {u"VScroll3", u"Text16"},
                                      {u"VScroll8", u"Text17"}}) {
        SpinPair::plain(control<QScrollBar>(QString::fromUtf16(spin)),
                        control<QLineEdit>(QString::fromUtf16(field)));
    }
    showPanel(panel(QStringLiteral("参数设置框")));
    Controls::nameForAccessibility(this);
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

QHBoxLayout *MainWindow::buildConnectionRow(QWidget *central) {
    using namespace Controls;
    auto *row = new QHBoxLayout;
    auto add = [&](const QString &label, QWidget *w) {
        if (!label.isEmpty()) {
            auto *l = new QLabel(label, central);
            l->setBuddy(w);
            row->addWidget(l);
        }
        row->addWidget(w);
    };
    add(QStringLiteral("串口号"), combo(central, QStringLiteral("Pchao"), true));
    add(QStringLiteral("波特率"), combo(central, QStringLiteral("Pbtl")));
    QLineEdit *address = line(central, QStringLiteral("Pdizhi"), QStringLiteral("1"));
    address->setMaximumWidth(80);
    add(QStringLiteral("当前地址"), address);
    row->addWidget(spin(central, QStringLiteral("VScroll4"), 1, 1023, 1));
    add(QStringLiteral("当前屏"), combo(central, QStringLiteral("总屏号")));
    row->addWidget(button(central, QStringLiteral("屏幕修改"), QStringLiteral("连接测试")));
    row->addStretch();
    return row;
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
            action->setIcon(style()->standardIcon(key == QStringLiteral("列表处理")
                                                      ? QStyle::SP_FileDialogDetailedView
                                                      : QStyle::SP_DialogApplyButton));
        connect(action, &QAction::triggered, this, [this, key] { toolbarAction(key); });
        m_toolbar->addAction(action);
    }
    m_toolbar->addSeparator();
    m_toolbar->addWidget(
        Controls::button(this, QStringLiteral("Command7"), QStringLiteral("检测无线模块")));
    m_toolbar->addWidget(
        Controls::button(this, QStringLiteral("Command3"), QStringLiteral("协议切换")));
}

void MainWindow::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar2"));
    const int widths[5] = {259, 141, 118, 118, 400};
    for (int i = 0; i < 5; ++i) {
        m_status[i] = new QLabel(bar);
        m_status[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_status[i]->setMinimumWidth(widths[i]);
        bar->addWidget(m_status[i], i == 4 ? 1 : 0);
    }
    m_status[4]->setText(QStringLiteral("欢迎使用条屏编辑软件"));
    m_status[4]->setToolTip(m_status[4]->text());
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

void MainWindow::showErrorNumber(int number) {
    m_status[4]->setText(QString::number(number));
}

bool MainWindow::trap(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const VbError &e) {
        showErrorNumber(e.number());
    }
    return false;
}

bool MainWindow::runDeviceAction(const std::function<void()> &action) {
    if (refuseWhileBusy()) return false;
    m_busy = true;
    struct Release {
        bool &flag;
        ~Release() { flag = false; }
    } release{m_busy};
    trap(action);
    return true;
}

QGroupBox *MainWindow::panel(const QString &name) const {
    return control<QGroupBox>(name);
}

void MainWindow::showPanel(QGroupBox *shown) {
    for (const char *name : kPanels)
        panel(QString::fromUtf8(name))->hide();
    panel(QStringLiteral("自动发送框"))->hide();
    if (shown) shown->show();
}

void MainWindow::toolbarAction(const QString &key) {
    trap([&] {
        if (key == QStringLiteral("屏幕管理")) {
            showPanel(panel(QStringLiteral("屏幕管理框")));
        } else if (key == QStringLiteral("参数设置")) {
            showPanel(panel(QStringLiteral("参数设置框")));
        } else if (key == QStringLiteral("列表处理")) {
            showPanel(panel(QStringLiteral("列表处理框")));
            auto *stored = control<QListWidget>(QStringLiteral("已发送文字"));
            auto *pool = control<QListWidget>(QStringLiteral("发送文字"));
            stored->clear();
            for (int i = 0; i < pool->count(); ++i)
                stored->addItem(pool->item(i)->text());
            if (onListPanelShown) onListPanelShown();
        } else if (key == QStringLiteral("图象处理") || key == QStringLiteral("自动发送")) {
            // The image panel lies inside the text panel, so both show together.
            showPanel(panel(QStringLiteral("图象处理框")));
            panel(QStringLiteral("自动发送框"))->show();
            auto *picture = control<QRadioButton>(QStringLiteral("Option1"));
            if (!picture->isChecked() &&
                !control<QRadioButton>(QStringLiteral("Option2"))->isChecked())
                picture->click();
            if (key == QStringLiteral("图象处理")) sizePreview();
            if (onTextPanelShown) onTextPanelShown();
        } else if (key == QStringLiteral("地址工")) {
            control<QScrollBar>(QStringLiteral("VScroll4"))->setValue(1);
        } else if (key == QStringLiteral("退出工")) {
            requestExit();
        } else if (onQuickAction) {
            onQuickAction(key);
        }
    });
}

void MainWindow::sizePreview() {
    // One dot is one pixel; the frame shows at most 264 dots and the scroll
    // bar reaches the rest.
    constexpr int visibleDots = 264;
    const int length =
        int(NumericText::value(control<QLineEdit>(QStringLiteral("Pchang"))->text()));
    const int height =
        int(NumericText::value(control<QComboBox>(QStringLiteral("pgao"))->currentText()));
    const int w = qBound(0, length, 4096), h = qBound(0, height, 512);
    auto *frame = findChild<QWidget *>(QStringLiteral("预览框"));
    frame->setFixedSize(qMin(w, visibleDots), qMax(h, 32));
    control<QLabel>(QStringLiteral("PicImg"))->setGeometry(0, 0, w, h);
    control<QLabel>(QStringLiteral("pic1"))->resize(32, 32);
    auto *scroll = control<QScrollBar>(QStringLiteral("HScroll1"));
    if (w > visibleDots) {
        scroll->setRange(0, w - visibleDots);
        scroll->setPageStep(visibleDots);
        scroll->setValue(0);
        scroll->setEnabled(true);
        scroll->show();
    } else {
        scroll->hide();
    }
}

int MainWindow::portNumber() const {
    return PortLocator::numberOfItem(control<QComboBox>(QStringLiteral("Pchao"))->currentText());
}

QString MainWindow::baudText() const {
    return control<QComboBox>(QStringLiteral("Pbtl"))->currentText();
}

QString MainWindow::addressText() const {
    return control<QLineEdit>(QStringLiteral("Pdizhi"))->text();
}

void MainWindow::applyLengthRule() {
    m_lengthPair->applyFieldRule();
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
    m_status[4]->setText(QStringLiteral("正在与显示屏通讯，请稍候"));
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
    if (!m_saved && onSaveBeforeExit) {
        m_saved = true;
        onSaveBeforeExit();
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
