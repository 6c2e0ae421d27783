#include "app/ImagePanel.h"

#include "app/Controls.h"
#include "app/Preview.h"
#include "app/SelectionLists.h"
#include "config/NumericText.h"
#include "encoding/ColourBytes.h"
#include "protocol/OperatorUi.h"
#include "ui_ImagePanel.h"
#include "workflows/ActionContext.h"
#include "workflows/ImageLibrary.h"
#include "workflows/ScreenLists.h"
#include "workflows/ScreenRegistry.h"
#include "workflows/WindowNumber.h"

ImagePanel::ImagePanel(ActionContext &context, ScreenLists &lists, ScreenRegistry &registry,
                       QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ImagePanel>()), m_context(context),
      m_lists(lists), m_registry(registry) {
    m_ui->setupUi(this);
    m_ui->文本Logo框->hide();
    m_ui->HScroll1->hide();
    connect(m_ui->VScroll1, &QScrollBar::valueChanged, this, &ImagePanel::stepWindowNumber);
    connect(m_ui->HScroll1, &QScrollBar::valueChanged, this, &ImagePanel::scrollPreview);
    connect(m_ui->Text1, &QPlainTextEdit::textChanged, this, [this] {
        if (m_ui->Option2->isChecked()) textPreview();
    });
    m_ui->Text1->viewport()->installEventFilter(this);
    connect(m_ui->Option1, &QRadioButton::toggled, this, [this](bool picture) {
        m_ui->文本Logo框->setVisible(!picture);
        showPictureControls(picture);
        if (picture)
            selectImage(selectedImage());
        else
            textPreview();
    });
    m_ui->图像->setModel(&lists.images);
    connect(m_ui->图像, &QListView::clicked, this,
            [this](const QModelIndex &i) { selectImage(i.row()); });
    connect(m_ui->添加图像, &QPushButton::clicked, this, [this] { chooseImage(false); });
    connect(m_ui->修改图像, &QPushButton::clicked, this, [this] { chooseImage(true); });
    connect(m_ui->删除选中图像, &QPushButton::clicked, this, &ImagePanel::deleteImage);
    connect(m_ui->清空图像, &QPushButton::clicked, this,
            [this] { m_lists.images.setStringList({}); });
    Controls::bindAction(context, m_ui->发送图像, [this] { sendPowerOn(); });
    connect(&lists, &ScreenLists::loaded, this, [this] {
        // A screen's first image is shown when it is selected; none, no error.
        if (m_lists.images.rowCount() > 0) selectImage(0);
    });
}

ImagePanel::~ImagePanel() = default;

void ImagePanel::fillSelectionLists() {
    for (QComboBox *c : {m_ui->Combo4, m_ui->Combo5})
        fillSelectionList(c);
}

void ImagePanel::setScreenProperties(const displayproperties::Fields &fields) {
    m_screen = fields;
}

int ImagePanel::screenLength() const {
    return int(NumericText::value(m_screen.length));
}

int ImagePanel::screenHeight() const {
    return int(NumericText::value(m_screen.height));
}

void ImagePanel::showWithFormat() {
    show();
    if (!m_ui->Option1->isChecked() && !m_ui->Option2->isChecked()) m_ui->Option1->click();
}

void ImagePanel::refresh() {
    stepWindowNumber(m_ui->VScroll1->value());
}

bool ImagePanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui->Text1->viewport() && event->type() == QEvent::MouseButtonPress)
        textPreview();
    return QGroupBox::eventFilter(watched, event);
}

bool ImagePanel::setWindowNumber() {
    windownumber::Request request;
    request.field = m_ui->窗口号->text();
    request.colour = windownumber::colourByte(m_colours.windowBack, m_colours.ascColour);
    request.dotsPosition = QString::number(m_windowDots);
    request.hanziPosition = QString::number(m_colours.hanzi);
    request.ascPosition = QString::number(m_colours.asc);
    request.backgroundPosition = QString::number(m_colours.background);
    const bool set = windownumber::set(m_context.device(), m_context.ui(), m_context.connection(),
                                       request, {&m_registry.ini(), m_registry.currentSection()}) ==
                     workflow::Outcome::Done;
    // A failure was told by the workflow; a success is worth a word.
    if (set) m_context.showStatus(QStringLiteral("窗口号设置成功"));
    return set;
}

int ImagePanel::selectedImage() const {
    const QModelIndex i = m_ui->图像->currentIndex();
    return i.isValid() && m_ui->图像->selectionModel()->isSelected(i) ? i.row() : -1;
}

void ImagePanel::selectImage(int p) {
    QStringListModel &images = m_lists.images;
    if (p < 0 || p >= images.rowCount()) return;
    m_ui->图像->setCurrentIndex(images.index(p));
    m_surface = imagelibrary::surface(m_context.ui(), images.stringList().at(p), screenLength(),
                                      screenHeight(), windowNumberShown());
    m_ui->PicImg->setPixmap(QPixmap::fromImage(m_surface));
}

void ImagePanel::chooseImage(bool replace) {
    const int p = selectedImage();
    if (replace && p < 0) {
        m_context.ui().message(QStringLiteral("未选中图像"), QStringLiteral("图像删除"));
        return;
    }
    const QString path = m_context.ui().openFile(
        m_ui->添加图像->text(), QStringLiteral("数据库文件 (*.bmp);;所有文件 (*)"));
    // A cancelled dialog leaves the list as it was.
    if (path.isEmpty()) return;
    QStringList images = m_lists.images.stringList();
    if (replace)
        images[p] = path;
    else
        images = QStringList{path};
    m_lists.images.setStringList(images);
    selectImage(replace ? p : 0);
}

void ImagePanel::deleteImage() {
    const int p = selectedImage();
    if (p < 0) {
        m_context.ui().message(QStringLiteral("未选中图像"), QStringLiteral("图像删除"));
        return;
    }
    m_lists.images.removeRows(p, 1);
    if (p > 0) selectImage(p - 1);
}

void ImagePanel::showPictureControls(bool picture) {
    for (QWidget *w : {static_cast<QWidget *>(m_ui->图像), static_cast<QWidget *>(m_ui->添加图像),
                       static_cast<QWidget *>(m_ui->label_图像)})
        w->setVisible(picture);
    for (QWidget *w : {m_ui->删除选中图像, m_ui->修改图像, m_ui->清空图像})
        w->setVisible(false);
}

void ImagePanel::sendPowerOn() {
    imagelibrary::Request r;
    r.picture = !m_ui->Option2->isChecked();
    r.position = selectedImage();
    r.surface = m_surface;
    r.colourType = m_screen.colour;
    r.height = m_screen.height;
    r.text = m_ui->Text1->toPlainText();
    r.colour = colourbytes::lineColourByte(m_colours.hanzi, m_colours.asc, m_colours.background);
    imagelibrary::send(m_context.device(), m_context.ui(), m_context.connection(), r,
                       [this] { return setWindowNumber(); });
}

void ImagePanel::stepWindowNumber(int value) {
    m_ui->窗口号->setText(windownumber::stepField(m_ui->窗口号->text(), value));
    placePreview(0);
    if (windowNumberShown())
        m_ui->pic1->setPixmap(preview::windowNumber(windownumber::choiceText(value),
                                                    preview::backColour(m_colours.windowBack),
                                                    preview::colour(m_colours.ascColour)));
}

bool ImagePanel::windowNumberShown() const {
    return windownumber::showsNumber(m_ui->窗口号->text());
}

void ImagePanel::placePreview(int shift) {
    const int length = qBound(0, screenLength(), 4096);
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

void ImagePanel::scrollPreview(int value) {
    placePreview(value);
    const QString field = m_ui->窗口号->text();
    if (windowNumberShown())
        m_ui->pic1->setPixmap(preview::windowNumber(
            field, preview::backColour(m_colours.windowBack), QColor(255, 255, 0)));
    if (m_ui->Option2->isChecked()) textPreview();
}

void ImagePanel::textPreview() {
    m_ui->PicImg->setPixmap(preview::text(m_ui->Text1->toPlainText(), m_ui->PicImg->size(),
                                          preview::backColour(m_colours.background),
                                          preview::colour(m_colours.hanzi)));
}

void ImagePanel::sizePreview() {
    // The frame shows at most 264 dots and the scroll bar reaches the rest.
    constexpr int visibleDots = 264;
    const int w = qBound(0, screenLength(), 4096), h = qBound(0, screenHeight(), 512);
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
