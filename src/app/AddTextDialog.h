#pragma once
// The text entry window `add`: a colour, then a typed text or a text file,
// cut into the lines that become pool texts.
#include <QDialog>
#include <memory>

class OperatorUi;
namespace Ui {
class AddTextDialog;
}

class AddTextDialog : public QDialog {
    Q_OBJECT
  public:
    // `width`: half-width cells of a line.
    AddTextDialog(OperatorUi &ui, int width, QWidget *parent);
    ~AddTextDialog() override;
    // After "确定": the lines, and the colour chosen (0 红色, 1 绿色, 2 黄色).
    QStringList lines() const;
    int colour() const;
    // "确定": false, after "错误号…", when there is nothing to take (a
    // cancelled file dialog, a file that cannot be read): the window stays open.
    bool take();

  private:
    const std::unique_ptr<Ui::AddTextDialog> m_ui;
    OperatorUi &m_operator;
    int m_width;
};
