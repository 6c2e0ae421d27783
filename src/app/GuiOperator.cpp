#include "app/GuiOperator.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QString GuiOperator::applicationTitle() {
    return QStringLiteral("LED条屏控制系统");
}

QString GuiOperator::captionOr(const QString &caption) const {
    return caption.isEmpty() ? applicationTitle() : caption;
}

void GuiOperator::message(const QString &text, const QString &caption) {
    QMessageBox::information(m_parent, captionOr(caption), text, QMessageBox::Ok);
}

bool GuiOperator::askYesNo(const QString &text, const QString &caption) {
    return QMessageBox::question(m_parent, captionOr(caption), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool GuiOperator::askOkCancel(const QString &text, const QString &caption) {
    return QMessageBox::warning(m_parent, captionOr(caption), text,
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool GuiOperator::input(const QString &prompt, const QString &caption, QString &value) {
    bool ok = false;
    const QString v =
        QInputDialog::getText(m_parent, captionOr(caption), prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = v;
    return ok;
}

QString GuiOperator::openFile(const QString &caption, const QString &filter) {
    return QFileDialog::getOpenFileName(m_parent, captionOr(caption), QString(), filter);
}

void GuiOperator::statusError(int, const QString &) {}
