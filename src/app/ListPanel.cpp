#include "app/ListPanel.h"

#include "app/Controls.h"
#include "app/SelectionLists.h"
#include "config/NumericText.h"
#include "ui_ListPanel.h"
#include "workflows/ActionContext.h"
#include "workflows/MessageList.h"

#include <QSignalBlocker>

namespace {
const QString ModifyCaption = QStringLiteral("修改列表");
const QString DoneCaption = QStringLiteral("修改完成");
} // namespace

ListPanel::ListPanel(ActionContext &context, MessageList &list, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ListPanel>()), m_context(context), m_list(list) {
    m_ui->setupUi(this);
    m_ui->List1->setModel(&m_list);
    connect(m_ui->List1, &QListView::clicked, this,
            [this](const QModelIndex &i) { select(i.row()); });
    connect(m_ui->List1, &QListView::doubleClicked, this, [this] { removeSelected(); });
    connect(m_ui->添加列表, &QPushButton::clicked, this, &ListPanel::add);
    connect(m_ui->删除列表, &QPushButton::clicked, this, &ListPanel::removeSelected);
    connect(m_ui->修改列表, &QPushButton::clicked, this, &ListPanel::modify);
    connect(m_ui->清空列表, &QPushButton::clicked, this, &ListPanel::clear);
    connect(m_ui->已发送文字, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { pickStoredText(m_ui->已发送文字->row(item)); });
    const QCheckBox *options[] = {m_ui->Check1_0, m_ui->Check1_1, m_ui->Check1_2, m_ui->Check1_3};
    for (int i = 0; i < MessageList::ClockOptions; ++i)
        connect(options[i], &QCheckBox::toggled, this,
                [this, i](bool on) { clockOptionChanged(i, on); });
    Controls::bindAction(context, m_ui->更新列表, [this] {
        messagelist::upload(m_context.device(), m_context.ui(), m_context.connection(), m_list);
    });
}

ListPanel::~ListPanel() = default;

void ListPanel::fillSelectionLists() {
    fillSelectionList(m_ui->Combo3);
}

void ListPanel::showStoredTexts(const QStringList &texts, bool selectFirst) {
    m_ui->已发送文字->clear();
    m_ui->已发送文字->addItems(texts);
    if (selectFirst && !texts.isEmpty()) m_ui->已发送文字->setCurrentRow(0);
}

void ListPanel::showClockOptions() {
    QCheckBox *options[] = {m_ui->Check1_0, m_ui->Check1_1, m_ui->Check1_2, m_ui->Check1_3};
    for (int i = 0; i < MessageList::ClockOptions; ++i) {
        const QSignalBlocker block(options[i]);
        options[i]->setChecked(m_list.ticked(i));
    }
}

QString ListPanel::clockStay() const {
    return m_ui->Text12->text();
}

int ListPanel::selected() const {
    const QModelIndex i = m_ui->List1->currentIndex();
    return i.isValid() && m_ui->List1->selectionModel()->isSelected(i) ? i.row() : -1;
}

MessageList::Entry ListPanel::entryFromFields() const {
    return MessageList::pictureEntry(m_ui->Text13->text(), m_ui->Combo3->currentText(),
                                     m_ui->Text10->text(), m_ui->Text12->text());
}

void ListPanel::select(int position) {
    if (position < 0 || position >= m_list.count()) return;
    m_ui->List1->setCurrentIndex(m_list.index(position));
    const MessageList::Entry e = m_list.entry(position);
    m_ui->Text12->setText(NumericText::format(NumericText::value(e.stay)));
    if (e.clock) {
        m_ui->Combo3->setCurrentIndex(0);
        return;
    }
    m_ui->Text13->setText(NumericText::format(NumericText::value(e.picture)));
    m_ui->Combo3->setCurrentIndex(MessageList::effectPosition(e.effect));
    m_ui->Text10->setText(NumericText::format(NumericText::value(e.speed)));
}

void ListPanel::add() {
    m_list.append(entryFromFields());
}

void ListPanel::removeSelected() {
    const int p = selected();
    // While an entry is being modified, deleting is off, by button and by double-click.
    if (p < 0 || !m_ui->删除列表->isEnabled()) return;
    const int next = m_list.removeEntry(p);
    showClockOptions();
    if (next >= 0)
        select(next);
    else
        m_ui->List1->clearSelection();
}

void ListPanel::modify() {
    const int p = selected();
    if (p < 0) return;
    m_modifying = !m_modifying;
    if (m_modifying) {
        m_ui->修改列表->setText(DoneCaption);
        for (QPushButton *b : {m_ui->删除列表, m_ui->清空列表, m_ui->更新列表})
            b->setEnabled(false);
        return;
    }
    for (QPushButton *b : {m_ui->删除列表, m_ui->清空列表, m_ui->更新列表})
        b->setEnabled(true);
    m_ui->修改列表->setText(ModifyCaption);
    m_list.modifyEntry(p, entryFromFields(), m_ui->Text12->text());
    m_ui->List1->setCurrentIndex(m_list.index(p));
}

void ListPanel::clear() {
    m_list.clearAll();
    showClockOptions();
}

void ListPanel::clockOptionChanged(int option, bool ticked) {
    if (ticked) {
        m_list.tick(option, m_ui->Text12->text());
        return;
    }
    if (m_list.count() == 0) {
        m_list.untick(option);
        return;
    }
    const int p = m_list.clockPosition(option);
    m_list.untick(option);
    if (p > 0) select(p - 1);
}

void ListPanel::pickStoredText(int line) {
    m_ui->Text13->setText(QString::number(line + 1));
    add();
}
