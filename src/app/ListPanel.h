#pragma once
// 列表处理框: the current screen's message list (`List1`) with the fields an
// entry is composed from, the four clock options, the stored texts and the
// five buttons. The list itself is the MessageList model of the workflows.
#include "workflows/MessageList.h"

#include <QGroupBox>
#include <memory>

class ActionContext;
namespace Ui {
class ListPanel;
}

class ListPanel : public QGroupBox {
    Q_OBJECT
  public:
    ListPanel(ActionContext &context, MessageList &list, QWidget *parent);
    ~ListPanel() override;
    void fillSelectionLists();
    // `已发送文字` := the text pool, in order; a screen's selection also
    // selects its first text.
    void showStoredTexts(const QStringList &texts, bool selectFirst = false);
    // The clock options as the model has them (after a load).
    void showClockOptions();
    // The stay time a new clock entry takes (Text12).
    QString clockStay() const;

  private:
    int selected() const;
    // A click on entry p: its values into the fields.
    void select(int position);
    void add();
    void removeSelected();
    void modify();
    void clear();
    void clockOptionChanged(int option, bool ticked);
    void pickStoredText(int line);
    MessageList::Entry entryFromFields() const;

    const std::unique_ptr<Ui::ListPanel> m_ui;
    ActionContext &m_context;
    MessageList &m_list;
    // Between "修改列表" and "修改完成".
    bool m_modifying = false;
};
