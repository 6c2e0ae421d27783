#include "app/ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(QWidget *mainWindow)
    // No parent: a disabled main window would disable its child windows too.
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("jindu"));
    setWindowTitle(QStringLiteral("发送数据"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_label = new QLabel(QStringLiteral("正在发送数据，请耐心等候"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setAccessibleName(QStringLiteral("发送进度"));
    m_bar->setMinimum(0);
    m_bar->setValue(0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    resize(360, 90);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &ProgressWindow::tick);
    m_timer->start();
    if (mainWindow) {
        const QRect main = mainWindow->frameGeometry();
        move(main.left() + (main.width() - width()) / 2,
             main.top() + (main.height() - height()) / 2);
    }
}

void ProgressWindow::tick() {
    if (m_dots.size() > 7)
        m_dots.clear();
    else
        m_dots.append(QChar(0xFF0E));
    m_label->setText(QStringLiteral("请耐心等候") + m_dots);
}

void ProgressHook::begin(int maximum) {
    if (m_window) m_window->close();
    m_window = new ProgressWindow(m_main);
    m_window->bar()->setMaximum(maximum);
    m_window->show();
    if (m_main) m_main->setEnabled(false);
}

void ProgressHook::step(int value) {
    if (m_window) m_window->bar()->setValue(value);
}

void ProgressHook::end(bool) {
    if (m_main) m_main->setEnabled(true);
    if (m_window) m_window->close();
}
