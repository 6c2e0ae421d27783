#include "app/ListPanel.h"

#include "app/SelectionLists.h"
#include "ui_ListPanel.h"

ListPanel::ListPanel(QWidget *parent) : QGroupBox(parent), m_ui(std::make_unique<Ui::ListPanel>()) {
    m_ui->setupUi(this);
}

ListPanel::~ListPanel() = default;

void ListPanel::fillSelectionLists() {
    fillSelectionList(m_ui->Combo3);
}

void ListPanel::showStoredTexts(const QStringList &texts) {
    m_ui->已发送文字->clear();
    m_ui->已发送文字->addItems(texts);
}
