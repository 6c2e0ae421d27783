#pragma once
// 列表处理框: the stored texts and the effect list of the message list.
#include <QGroupBox>
#include <memory>

namespace Ui {
class ListPanel;
}

class ListPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit ListPanel(QWidget *parent);
    ~ListPanel() override;
    void fillSelectionLists();
    // `已发送文字` := the text pool, in order.
    void showStoredTexts(const QStringList &texts);

  private:
    const std::unique_ptr<Ui::ListPanel> m_ui;
};
