// The text pool of the text panel: the pool and attribute views, add,
// select, delete, clear and send-all.
#include "app/TextPanel.h"

#include "app/AddTextDialog.h"
#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "ui_TextPanel.h"
#include "workflows/ActionContext.h"
#include "workflows/ScreenLists.h"
#include "workflows/ScreenRegistry.h"
#include "workflows/TextPool.h"

QStringList TextPanel::pool() const {
    return m_lists.pool.textLines();
}

void TextPanel::showListOptions() {
    QCheckBox *boxes[] = {m_ui->Check2_0, m_ui->Check2_1,   m_ui->Check2_2,
                          m_ui->Check2_3, m_ui->按屏长截取, m_ui->自动更新列表};
    const QList<bool> &flags = m_lists.attributeFlags;
    for (int i = 0; i < 6; ++i) {
        const QSignalBlocker block(boxes[i]);
        boxes[i]->setChecked(flags.value(i));
    }
}

int TextPanel::selectedText() const {
    const QModelIndex i = m_ui->发送文字->currentIndex();
    return i.isValid() && m_ui->发送文字->selectionModel()->isSelected(i) ? i.row() : -1;
}

void TextPanel::selectText(int p) {
    TextPoolModel &pool = m_lists.pool;
    const TextPoolModel::Text text = pool.text(p);
    m_ui->发送文字->setCurrentIndex(pool.textView()->index(p, 0));
    m_ui->List2->setCurrentIndex(pool.attributeView()->index(p, 0));
    m_ui->Text7->setText(text.text);
    showColour(text.colour);
    m_ui->Text8->setText(QString::number(p + 1));
    // All three values first: each change of the fields rewrites the entry.
    const TextPoolModel::Attributes a = pool.attributes(p);
    m_loadingText = true;
    const int effect = m_ui->Combo8->findText(a.effect);
    m_ui->Combo8->setCurrentIndex(effect < 0 ? 0 : effect);
    m_ui->Text2->setText(NumericText::format(NumericText::value(a.speed)));
    m_ui->Text3->setText(NumericText::format(NumericText::value(a.stay)));
    m_loadingText = false;
}

void TextPanel::showColour(const QString &colourName) {
    // A colour the refilled list does not have leaves the list as it is
    // rather than selecting nothing.
    const int item = m_ui->combo1->findText(colourName);
    if (item >= 0) m_ui->combo1->setCurrentIndex(item);
}

void TextPanel::updateAttributes() {
    const int p = selectedText();
    if (m_loadingText || p < 0) return;
    TextPoolModel &pool = m_lists.pool;
    if (p >= pool.attributeCount()) return;
    textpool::setAttribute(m_lists, p,
                           textpool::attributeEntry(m_ui->Combo8->currentText(),
                                                    m_ui->Text2->text(), m_ui->Text3->text()));
    m_ui->List2->setCurrentIndex(pool.attributeView()->index(p, 0));
}

namespace {
textpool::Store storeOf(ScreenRegistry &registry) {
    return {registry.MapSavePath, {&registry.ini(), registry.currentSection()}};
}
} // namespace

void TextPanel::addTexts() {
    // Said before the operator types a text that could not be kept.
    if (textpool::registryRefusal(storeOf(m_registry))) {
        m_context.ui().message(textpool::registryProblem(), QStringLiteral("添加"));
        return;
    }
    const int width = textpool::lineWidth(m_ui->按屏长截取->isChecked(), m_screenLength, m_is161D);
    AddTextDialog dialog(m_context.ui(), qMax(2, width), window());
    if (dialog.exec() != QDialog::Accepted) return;
    m_ui->发送文字->clearSelection();
    // The text keeps the colour chosen for it, whatever combo1 holds now.
    const QString colour = textpool::colourName(dialog.colour());
    showColour(colour);
    m_context.trap([&] {
        textpool::add(m_lists, storeOf(m_registry), dialog.lines(), colour,
                      textpool::attributeEntry(m_ui->Combo8->currentText(), m_ui->Text2->text(),
                                               m_ui->Text3->text()));
    });
    QAbstractItemModel *texts = m_lists.pool.textView();
    const int count = texts->rowCount();
    if (count > 0) m_ui->发送文字->setCurrentIndex(texts->index(count - 1, 0));
}

void TextPanel::deleteText() {
    const int p = selectedText();
    if (p < 0) return;
    int next = -1;
    m_context.trap([&] { next = textpool::remove(m_lists, storeOf(m_registry), p); });
    if (next >= 0) selectText(next);
}

void TextPanel::clearPool() {
    m_context.trap([&] { textpool::clear(m_lists, storeOf(m_registry)); });
    emit clockOptionsChanged();
}

void TextPanel::sendAll() {
    const QList<bool> flags = m_lists.attributeFlags;
    const textpool::SendAll sent =
        textpool::sendAll(m_context.device(), m_context.ui(), m_context.connection(), m_lists,
                          flags.value(5), flags.mid(0, 4), clockStay ? clockStay() : QString());
    if (sent.width >= 0) m_ui->Text9->setText(QString::number(sent.width));
    emit clockOptionsChanged();
}
