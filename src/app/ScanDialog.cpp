#include "app/ScanDialog.h"

#include "app/Controls.h"
#include "protocol/OperatorUi.h"
#include "ui_ScanDialog.h"
#include "workflows/ActionContext.h"

ScanDialog::ScanDialog(ActionContext &context, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ScanDialog>()), m_context(context) {
    m_ui->setupUi(this);
    connect(m_ui->开始扫描, &QPushButton::clicked, this, &ScanDialog::scan);
    connect(m_ui->取消, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    connect(m_ui->关闭, &QPushButton::clicked, this, &ScanDialog::reject);
    connect(m_ui->找到的屏幕, &QListWidget::currentRowChanged, this, &ScanDialog::chooseRow);
    connect(m_ui->添加为屏幕, &QPushButton::clicked, this, &ScanDialog::registerChosen);
    Controls::nameForAccessibility(this);
    Controls::keepOnOneLine(this);
}

ScanDialog::~ScanDialog() = default;

void ScanDialog::scan() {
    if (m_scanning) return;
    busscan::Request request;
    QString why;
    if (!busscan::parseAddresses(m_ui->地址范围->text(), &request.firstAddress,
                                 &request.lastAddress, &why)) {
        m_context.ui().message(why, windowTitle());
        return;
    }
    m_port = m_context.connection().port;
    request.port = m_port;
    busscan::Observer observer;
    observer.progress = [this](int done, int total) {
        m_ui->扫描进度->setMaximum(total);
        m_ui->扫描进度->setValue(done);
    };
    observer.found = [this](const busscan::Board &board) { addFound(board); };
    observer.cancelled = [this] { return m_cancelled; };
    busscan::Result result;
    result.outcome = busscan::Outcome::Refused;
    m_boards.clear();
    m_ui->找到的屏幕->clear();
    m_cancelled = false;
    showRunning(true);
    // The waits run the event loop: "取消" and this window's close are heard.
    const bool ran = m_context.runDeviceAction(
        [&] { result = busscan::run(m_context.device(), m_context.ui(), request, observer); });
    showRunning(false);
    if (!ran) return;
    switch (result.outcome) {
    case busscan::Outcome::Finished:
        m_ui->扫描状态->setText(QStringLiteral("扫描完成，找到 %1 块屏").arg(result.boards.size()));
        break;
    case busscan::Outcome::Cancelled:
        m_ui->扫描状态->setText(
            QStringLiteral("扫描已取消，找到 %1 块屏").arg(result.boards.size()));
        break;
    case busscan::Outcome::PortFailed:
        m_ui->扫描状态->setText(QStringLiteral("通讯失败"));
        break;
    case busscan::Outcome::Refused:
        m_ui->扫描状态->clear();
        break;
    }
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        QDialog::reject();
    }
}

void ScanDialog::reject() {
    if (m_scanning) {
        m_cancelled = true;
        m_closeAfterScan = true;
        return;
    }
    QDialog::reject();
}

void ScanDialog::showRunning(bool running) {
    m_scanning = running;
    m_ui->开始扫描->setEnabled(!running);
    m_ui->地址范围->setEnabled(!running);
    m_ui->取消->setEnabled(running);
    if (running) {
        m_ui->扫描状态->setText(QStringLiteral("正在扫描端口 %1").arg(m_port));
        m_ui->扫描进度->setValue(0);
    }
    chooseRow(m_ui->找到的屏幕->currentRow());
}

void ScanDialog::addFound(const busscan::Board &board) {
    m_boards.append(board);
    m_ui->找到的屏幕->addItem(
        QStringLiteral("地址 %1    波特率 %2").arg(board.address).arg(board.baud));
}

void ScanDialog::chooseRow(int row) {
    const bool chosen = row >= 0 && row < m_boards.size() && !m_scanning;
    m_ui->新屏名称->setEnabled(chosen);
    m_ui->添加为屏幕->setEnabled(chosen);
    if (chosen) m_ui->新屏名称->setText(QStringLiteral("地址%1").arg(m_boards.at(row).address));
}

void ScanDialog::registerChosen() {
    const int row = m_ui->找到的屏幕->currentRow();
    if (row < 0 || row >= m_boards.size() || !registerBoard) return;
    if (registerBoard(m_boards.at(row), m_port, m_ui->新屏名称->text()))
        m_ui->扫描状态->setText(QStringLiteral("已添加屏幕 %1").arg(m_ui->新屏名称->text()));
}
