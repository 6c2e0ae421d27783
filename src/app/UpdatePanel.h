#pragma once
// 更新ASC和字库: the ASC and font-library files with their pickers, the
// firmware updates "更新ARM" and "更新FPGA", and the batch "更新".
#include "workflows/BatchUpdate.h"

#include <QGroupBox>
#include <functional>
#include <memory>

class ActionContext;
class ScreenRegistry;
class QLineEdit;
namespace Ui {
class UpdatePanel;
}

class UpdatePanel : public QGroupBox {
    Q_OBJECT
  public:
    UpdatePanel(ActionContext &context, ScreenRegistry &registry, QWidget *parent);
    ~UpdatePanel() override;
    Ui::UpdatePanel &form() { return *m_ui; }
    // "161D": 512-byte file packets, and 132 characters a cut text line.
    bool is161D() const;
    // What the batch reads from this panel; the parameter and the text
    // panel add theirs through `completeInputs`.
    batchupdate::Inputs batchInputs() const;
    std::function<void(batchupdate::Inputs &)> completeInputs;

  signals:
    void is161DChanged(bool on);
    // The batch ended; parts that succeeded may have moved the board.
    void batchFinished(int baudPosition, const workflow::Connection &connection);

  private:
    void pick(QLineEdit *field, const QString &caption);
    void runBatch();
    const std::unique_ptr<Ui::UpdatePanel> m_ui;
    ActionContext &m_context;
    ScreenRegistry &m_registry;
};
