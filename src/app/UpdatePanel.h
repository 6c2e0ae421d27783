#pragma once
// 更新ASC和字库: the ASC and font-library files with their pickers, the
// firmware updates "更新ARM" and "更新FPGA", and the batch "更新".
#include "workflows/BatchUpdate.h"

#include <QGroupBox>
#include <memory>

class MainWindow;
class QLineEdit;
namespace Ui {
class UpdatePanel;
}

class UpdatePanel : public QGroupBox {
    Q_OBJECT
  public:
    UpdatePanel(MainWindow &window, QWidget *parent);
    ~UpdatePanel() override;
    Ui::UpdatePanel &form() { return *m_ui; }
    // "161D": 512-byte file packets, and 132 characters a cut text line.
    bool is161D() const;
    // What the batch reads from this panel, the parameter and the text panel.
    batchupdate::Inputs batchInputs() const;

  private:
    void pick(QLineEdit *field, const QString &caption);
    void runBatch();
    const std::unique_ptr<Ui::UpdatePanel> m_ui;
    MainWindow &m_window;
};
