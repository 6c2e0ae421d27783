#pragma once
// The scan window of the screen panel's "扫描": the bus scan on the
// connection row's port with a progress bar and "取消", the boards found as
// they answer, and "添加为屏幕" for the one chosen, with its name, port, rate
// and address filled in. The scan is a device action: the main window waits
// meanwhile, this window stays live.
#include "workflows/BusScan.h"

#include <QDialog>
#include <functional>
#include <memory>

class ActionContext;
namespace Ui {
class ScanDialog;
}

class ScanDialog : public QDialog {
    Q_OBJECT
  public:
    ScanDialog(ActionContext &context, QWidget *parent);
    ~ScanDialog() override;

    // Registers the board as a screen named `name` on `port`; true when it
    // was added.
    std::function<bool(const busscan::Board &board, int port, const QString &name)> registerBoard;

    // "开始扫描": runs the scan to its end or to "取消".
    void scan();
    bool scanning() const { return m_scanning; }
    QList<busscan::Board> boards() const { return m_boards; }

  protected:
    // Closing while a scan runs cancels it; the window goes once it ended.
    void reject() override;

  private:
    void addFound(const busscan::Board &board);
    void chooseRow(int row);
    void registerChosen();
    void showRunning(bool running);

    const std::unique_ptr<Ui::ScanDialog> m_ui;
    ActionContext &m_context;
    QList<busscan::Board> m_boards;
    int m_port = 1;
    bool m_scanning = false;
    bool m_cancelled = false;
    bool m_closeAfterScan = false;
};
