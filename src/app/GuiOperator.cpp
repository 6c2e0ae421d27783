#include "app/GuiOperator.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QString GuiOperator::applicationTitle() {
    return QStringLiteral("LED条屏控制系统");
}

QWidget *GuiOperator::owner() const {
    // While an upload disables the main window, a box parented to it would be
    // disabled too and could not be answered.
    if (m_parent && m_parent->isEnabled()) return m_parent;
    return QApplication::activeModalWidget();
}

QString GuiOperator::captionOr(const QString &caption) const {
    return caption.isEmpty() ? applicationTitle() : caption;
}

void GuiOperator::message(const QString &text, const QString &caption) {
    QMessageBox::information(owner(), captionOr(caption), text, QMessageBox::Ok);
}

bool GuiOperator::askYesNo(const QString &text, const QString &caption) {
    return QMessageBox::question(owner(), captionOr(caption), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool GuiOperator::askYesNoDefaultNo(const QString &text, const QString &caption) {
    return QMessageBox::question(owner(), captionOr(caption), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool GuiOperator::askOkCancel(const QString &text, const QString &caption) {
    return QMessageBox::warning(owner(), captionOr(caption), text,
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool GuiOperator::input(const QString &prompt, const QString &caption, QString &value) {
    bool ok = false;
    const QString v =
        QInputDialog::getText(owner(), captionOr(caption), prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = v;
    return ok;
}

QString GuiOperator::openFile(const QString &caption, const QString &filter) {
    return QFileDialog::getOpenFileName(owner(), captionOr(caption), QString(), filter);
}

void GuiOperator::statusError(int, const QString &) {}
