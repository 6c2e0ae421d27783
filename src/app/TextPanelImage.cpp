// The image panel inside the text panel: the image list, the drawing
// surface and the power-on send; and the preview beside the window number.
#include "app/TextPanel.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/Preview.h"
#include "app/ScreenPanel.h"
#include "encoding/ColourBytes.h"
#include "protocol/OperatorUi.h"
#include "ui_MainWindow.h"
#include "ui_ParameterPanel.h"
#include "ui_TextPanel.h"
#include "workflows/ImageLibrary.h"
#include "workflows/ScreenLists.h"
#include "workflows/WindowNumber.h"

int TextPanel::selectedImage() const {
    const QModelIndex i = m_ui->图像->currentIndex();
    return i.isValid() && m_ui->图像->selectionModel()->isSelected(i) ? i.row() : -1;
}

void TextPanel::selectImage(int p) {
    QStringListModel &images = m_window.screenLists().images;
    if (p < 0 || p >= images.rowCount()) return;
    m_ui->图像->setCurrentIndex(images.index(p));
    m_surface = imagelibrary::surface(m_window.ui(), images.stringList().at(p),
                                      m_window.parameters().screenLength(),
                                      m_window.parameters().screenHeight(), windowNumberShown());
    const QPixmap picture = QPixmap::fromImage(m_surface);
    m_ui->PicImg->setPixmap(picture);
}

void TextPanel::chooseImage(bool replace) {
    const int p = selectedImage();
    if (replace && p < 0) {
        m_window.ui().message(QStringLiteral("未选中图像"), QStringLiteral("图像删除"));
        return;
    }
    const QString path = m_window.ui().openFile(m_ui->添加图像->text(),
                                                QStringLiteral("数据库文件 (*.bmp);;所有文件 (*)"));
    // A cancelled dialog leaves the list as it was.
    if (path.isEmpty()) return;
    QStringList images = m_window.screenLists().images.stringList();
    if (replace)
        images[p] = path;
    else
        images = QStringList{path};
    m_window.screenLists().images.setStringList(images);
    selectImage(replace ? p : 0);
}

void TextPanel::deleteImage() {
    const int p = selectedImage();
    if (p < 0) {
        m_window.ui().message(QStringLiteral("未选中图像"), QStringLiteral("图像删除"));
        return;
    }
    m_window.screenLists().images.removeRows(p, 1);
    if (p > 0) selectImage(p - 1);
}

void TextPanel::showPictureControls(bool picture) {
    for (QWidget *w : {static_cast<QWidget *>(m_ui->图像), static_cast<QWidget *>(m_ui->添加图像),
                       static_cast<QWidget *>(m_ui->label_图像)})
        w->setVisible(picture);
    for (QWidget *w : {m_ui->删除选中图像, m_ui->修改图像, m_ui->清空图像})
        w->setVisible(false);
}

void TextPanel::sendPowerOn() {
    imagelibrary::Request r;
    r.picture = !m_ui->Option2->isChecked();
    r.position = selectedImage();
    r.surface = m_surface;
    r.colourType = m_window.parameters().form().色彩->currentIndex();
    r.height = m_window.parameters().form().pgao->currentText();
    r.text = m_ui->Text1->toPlainText();
    r.colour =
        colourbytes::lineColourByte(m_ui->字库颜色->currentIndex(), m_ui->ASC颜色->currentIndex(),
                                    m_ui->combo1->currentIndex());
    imagelibrary::send(m_window.device(), m_window.ui(), m_window.connection(), r, [this] {
        setWindowNumber();
        return m_windowNumberSet;
    });
}

void TextPanel::stepWindowNumber(int value) {
    m_ui->窗口号->setText(windownumber::stepField(m_ui->窗口号->text(), value));
    placePreview(0);
    if (windowNumberShown())
        m_ui->pic1->setPixmap(
            preview::windowNumber(windownumber::choiceText(value),
                                  preview::backColour(m_ui->Windowbackcolor->currentIndex()),
                                  preview::colour(m_ui->Asccolor->currentIndex())));
}

bool TextPanel::windowNumberShown() const {
    return windownumber::showsNumber(m_ui->窗口号->text());
}

void TextPanel::placePreview(int shift) {
    const int length = qBound(0, m_window.parameters().screenLength(), 4096);
    const int height = m_ui->PicImg->height();
    if (windowNumberShown()) {
        m_ui->pic1->show();
        m_ui->pic1->move(0, 0);
        m_ui->PicImg->setGeometry(32 - shift, 0, qMax(0, length - 32), height);
    } else {
        m_ui->pic1->hide();
        m_ui->PicImg->setGeometry(-shift, 0, length, height);
    }
}

void TextPanel::scrollPreview(int value) {
    placePreview(value);
    const QString field = m_ui->窗口号->text();
    if (windowNumberShown())
        m_ui->pic1->setPixmap(
            preview::windowNumber(field, preview::backColour(m_ui->Windowbackcolor->currentIndex()),
                                  QColor(255, 255, 0)));
    if (m_ui->Option2->isChecked()) textPreview();
}

void TextPanel::textPreview() {
    m_ui->PicImg->setPixmap(preview::text(m_ui->Text1->toPlainText(), m_ui->PicImg->size(),
                                          preview::backColour(m_ui->combo1->currentIndex()),
                                          preview::colour(m_ui->字库颜色->currentIndex())));
}

void TextPanel::sizePreview(int length, int height) {
    // The frame shows at most 264 dots and the scroll bar reaches the rest.
    constexpr int visibleDots = 264;
    const int w = qBound(0, length, 4096), h = qBound(0, height, 512);
    m_ui->预览框->setFixedSize(qMin(w, visibleDots), qMax(h, 32));
    m_ui->PicImg->setGeometry(0, 0, w, h);
    m_ui->pic1->resize(32, 32);
    QScrollBar *scroll = m_ui->HScroll1;
    if (w > visibleDots) {
        scroll->setRange(0, w - visibleDots);
        scroll->setPageStep(visibleDots);
        scroll->setValue(0);
        scroll->setEnabled(true);
        scroll->show();
    } else {
        scroll->hide();
    }
}
