#include "app/TextPanel.h"

#include "app/AddTextDialog.h"
#include "app/ListPanel.h"
#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/Preview.h"
#include "app/ScreenPanel.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "config/NumericText.h"
#include "encoding/ColourBytes.h"
#include "protocol/OperatorUi.h"
#include "ui_MainWindow.h"
#include "ui_ParameterPanel.h"
#include "ui_TextPanel.h"
#include "workflows/ImageLibrary.h"
#include "workflows/ScreenLists.h"
#include "workflows/TextPool.h"
#include "workflows/TextSending.h"
#include "workflows/WindowNumber.h"

using queuecalling::Action;

TextPanel::TextPanel(MainWindow &window, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::TextPanel>()), m_window(window) {
    m_ui->setupUi(this);
    m_ui->文本Logo框->hide();
    m_ui->HScroll1->hide();
    SpinPair::plain(m_ui->VScroll2, m_ui->Text14);
    SpinPair::plain(m_ui->VScroll3, m_ui->Text16);
    SpinPair::plain(m_ui->VScroll8, m_ui->Text17);
    const std::pair<QPushButton *, Action> buttons[] = {{m_ui->Command10, Action::DefaultUpper},
                                                        {m_ui->Command11, Action::DefaultLower},
                                                        {m_ui->Command8, Action::TestUpper},
                                                        {m_ui->Command9, Action::TestLower}};
    for (const auto &[button, action] : buttons)
        window.bind(button, [this, a = action] { callQueue(a); });
    connect(m_ui->VScroll1, &QScrollBar::valueChanged, this, &TextPanel::stepWindowNumber);
    connect(m_ui->HScroll1, &QScrollBar::valueChanged, this, &TextPanel::scrollPreview);
    connect(m_ui->Text1, &QPlainTextEdit::textChanged, this, [this] {
        if (m_ui->Option2->isChecked()) textPreview();
    });
    connect(m_ui->Option1, &QRadioButton::toggled, this, [this](bool picture) {
        m_ui->文本Logo框->setVisible(!picture);
        showPictureControls(picture);
        if (picture)
            selectImage(selectedImage());
        else
            textPreview();
    });
    m_ui->图像->setModel(&window.screenLists().images);
    connect(m_ui->图像, &QListView::clicked, this,
            [this](const QModelIndex &i) { selectImage(i.row()); });
    connect(m_ui->添加图像, &QPushButton::clicked, this, [this] { chooseImage(false); });
    connect(m_ui->修改图像, &QPushButton::clicked, this, [this] { chooseImage(true); });
    connect(m_ui->删除选中图像, &QPushButton::clicked, this, &TextPanel::deleteImage);
    connect(m_ui->清空图像, &QPushButton::clicked, this,
            [this] { m_window.screenLists().images.setStringList({}); });
    window.bind(m_ui->发送图像, [this] { sendPowerOn(); });
    connect(&window.screenLists(), &ScreenLists::loaded, this, [this] {
        // A screen's first image is shown when it is selected; none, no error.
        if (m_window.screenLists().images.rowCount() > 0) selectImage(0);
    });
    window.bind(window.parameters().form().Command12, [this] { setWindowNumber(); });
    window.bind(m_ui->发送汉字, [this] { sendText(false); });
    window.bind(m_ui->Command1, [this] { sendText(true); });

    ScreenLists &lists = window.screenLists();
    m_ui->发送文字->setModel(&lists.pool);
    m_ui->List2->setModel(&lists.attributes);
    connect(m_ui->发送文字, &QListView::clicked, this,
            [this](const QModelIndex &i) { selectText(i.row()); });
    connect(m_ui->Combo8, &QComboBox::activated, this, &TextPanel::updateAttributes);
    connect(m_ui->Text2, &QLineEdit::textChanged, this, &TextPanel::updateAttributes);
    connect(m_ui->Text3, &QLineEdit::textChanged, this, &TextPanel::updateAttributes);
    connect(m_ui->文字添加, &QPushButton::clicked, this, &TextPanel::addTexts);
    connect(m_ui->文字删除, &QPushButton::clicked, this, &TextPanel::deleteText);
    connect(m_ui->文字清空, &QPushButton::clicked, this, &TextPanel::clearPool);
    window.bind(m_ui->全部发送, [this] { sendAll(); });
    QCheckBox *boxes[] = {m_ui->Check2_0, m_ui->Check2_1,   m_ui->Check2_2,
                          m_ui->Check2_3, m_ui->按屏长截取, m_ui->自动更新列表};
    for (int i = 0; i < 6; ++i)
        connect(boxes[i], &QCheckBox::toggled, this,
                [this, i](bool on) { m_window.screenLists().attributeFlags[i] = on; });
    connect(&lists, &ScreenLists::loaded, this, &TextPanel::showListOptions);
}

void TextPanel::sendText(bool logo) {
    textsending::Fields f;
    f.text = logo ? m_ui->Text24->toPlainText() : m_ui->Text7->text();
    f.colour =
        colourbytes::textColourByte(m_ui->Asccolor->currentIndex(), m_ui->combo1->currentIndex());
    f.effect = m_ui->Combo8->currentData().toInt();
    f.speed = m_ui->Text2->text();
    f.stay = m_ui->Text3->text();
    f.withEffect = m_ui->Check8->isChecked();
    f.pictureField = m_ui->Text8->text();
    f.background = m_ui->combo1->currentText();
    if (logo) {
        if (!f.text.isEmpty()) m_ui->排队->setChecked(true);
        textsending::sendLogo(m_window.device(), m_window.ui(), m_window.connection(), f);
    } else {
        textsending::sendMessage(m_window.device(), m_window.ui(), m_window.connection(), f,
                                 m_window.screens().registry().MapSavePath);
    }
}

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
    m_window.connectionRow().pic->setPixmap(picture);
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

void TextPanel::refresh() {
    stepWindowNumber(m_ui->VScroll1->value());
    refillColourLists(m_window.parameters().form().色彩->currentIndex());
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
    const QString field = m_ui->窗口号->text();
    return field != QStringLiteral("自定义") && field != QStringLiteral("无");
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

void TextPanel::refillColourLists(int colourType) {
    QComboBox *lists[] = {m_ui->字库颜色, m_ui->ASC颜色, m_ui->combo1, m_ui->Asccolor,
                          m_ui->Windowbackcolor};
    const QList<Choice> refill = colourListsFor(colourType);
    for (int i = 0; i < 5; ++i)
        fillSelectionList(lists[i], refill.at(i));
}

void TextPanel::setWindowNumber() {
    m_windowNumberSet = false;
    windownumber::Request request;
    request.field = m_ui->窗口号->text();
    request.colour = windownumber::colourByte(m_ui->Windowbackcolor->currentIndex(),
                                              m_ui->Asccolor->currentIndex());
    request.dotsPosition = QString::number(m_window.parameters().form().窗口点阵数->currentIndex());
    request.hanziPosition = QString::number(m_ui->字库颜色->currentIndex());
    request.ascPosition = QString::number(m_ui->ASC颜色->currentIndex());
    request.backgroundPosition = QString::number(m_ui->combo1->currentIndex());
    ScreenRegistry &registry = m_window.screens().registry();
    m_windowNumberSet =
        windownumber::set(m_window.device(), m_window.ui(), m_window.connection(), request,
                          {&registry.ini(), registry.currentSection()}) == workflow::Outcome::Done;
}

TextPanel::~TextPanel() = default;

void TextPanel::fillSelectionLists() {
    for (QComboBox *c : {m_ui->combo1, m_ui->字库颜色, m_ui->ASC颜色, m_ui->Asccolor, m_ui->Combo4,
                         m_ui->Combo5, m_ui->Combo8, m_ui->Combo9})
        fillSelectionList(c);
}

void TextPanel::callQueue(Action action) {
    queuecalling::Fields fields;
    fields.action = action;
    fields.colour =
        colourbytes::lineColourByte(m_ui->字库颜色->currentIndex(), m_ui->ASC颜色->currentIndex(),
                                    m_ui->combo1->currentIndex());
    fields.text = action == Action::DefaultUpper   ? m_ui->Text22->text()
                  : action == Action::DefaultLower ? m_ui->Text23->text()
                                                   : m_ui->Text6->text();
    fields.pageTime = m_ui->Text17->text();
    fields.speed = m_ui->Text14->text();
    fields.stay = m_ui->Text16->text();
    fields.effect = m_ui->Combo9->currentData().toInt();
    const queuecalling::Run run =
        queuecalling::run(m_window.device(), m_window.ui(), m_window.connection(), fields);
    if (run.queueTicked) m_ui->排队->setChecked(true);
    if (run.width >= 0) m_ui->Text9->setText(QString::number(run.width));
}

void TextPanel::showWithImagePanel(bool sizeThePreview) {
    m_ui->自动发送框->show();
    if (!m_ui->Option1->isChecked() && !m_ui->Option2->isChecked()) m_ui->Option1->click();
    if (!sizeThePreview) return;
    sizePreview(m_window.parameters().screenLength(), m_window.parameters().screenHeight());
    refresh();
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

QGroupBox *TextPanel::imagePanel() const {
    return m_ui->自动发送框;
}

QStringList TextPanel::pool() const {
    return m_window.screenLists().pool.stringList();
}

void TextPanel::showListOptions() {
    QCheckBox *boxes[] = {m_ui->Check2_0, m_ui->Check2_1,   m_ui->Check2_2,
                          m_ui->Check2_3, m_ui->按屏长截取, m_ui->自动更新列表};
    const QList<bool> &flags = m_window.screenLists().attributeFlags;
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
    ScreenLists &lists = m_window.screenLists();
    const QString entry = lists.pool.stringList().value(p);
    m_ui->发送文字->setCurrentIndex(lists.pool.index(p));
    m_ui->List2->setCurrentIndex(lists.attributes.index(p));
    m_ui->Text7->setText(entry.mid(3));
    m_ui->combo1->setCurrentIndex(entry.startsWith(QStringLiteral("红色"))   ? 0
                                  : entry.startsWith(QStringLiteral("绿色")) ? 1
                                                                             : 2);
    m_ui->Text8->setText(QString::number(p + 1));
    // All three values first: each change of the fields rewrites the entry.
    const MessageList::Parsed a =
        MessageList::parse(QStringLiteral("第") + QString::number(p + 1) + QStringLiteral("幅图") +
                           lists.attributes.stringList().value(p));
    m_loadingText = true;
    const int effect = m_ui->Combo8->findText(a.effect);
    m_ui->Combo8->setCurrentIndex(effect < 0 ? 0 : effect);
    m_ui->Text2->setText(NumericText::format(a.speed));
    m_ui->Text3->setText(NumericText::format(a.stay));
    m_loadingText = false;
}

void TextPanel::updateAttributes() {
    const int p = selectedText();
    if (m_loadingText || p < 0) return;
    QStringList attributes = m_window.screenLists().attributes.stringList();
    if (p >= attributes.size()) return;
    attributes[p] = textpool::attributeEntry(m_ui->Combo8->currentText(), m_ui->Text2->text(),
                                             m_ui->Text3->text());
    m_window.screenLists().attributes.setStringList(attributes);
    m_ui->List2->setCurrentIndex(m_window.screenLists().attributes.index(p));
}

namespace {
textpool::Store storeOf(MainWindow &window) {
    ScreenRegistry &registry = window.screens().registry();
    return {registry.MapSavePath, {&registry.ini(), registry.currentSection()}};
}
} // namespace

void TextPanel::addTexts() {
    const int width = textpool::lineWidth(m_ui->按屏长截取->isChecked(),
                                          m_window.parameters().form().Pchang->text(), false);
    AddTextDialog dialog(m_window.ui(), qMax(2, width), &m_window);
    if (dialog.exec() != QDialog::Accepted) return;
    m_ui->发送文字->clearSelection();
    m_ui->combo1->setCurrentIndex(dialog.colour());
    m_window.trap([&] {
        textpool::add(m_window.screenLists(), storeOf(m_window), dialog.lines(),
                      m_ui->combo1->currentText(),
                      textpool::attributeEntry(m_ui->Combo8->currentText(), m_ui->Text2->text(),
                                               m_ui->Text3->text()));
    });
    const int count = int(pool().size());
    if (count > 0) m_ui->发送文字->setCurrentIndex(m_window.screenLists().pool.index(count - 1));
}

void TextPanel::deleteText() {
    const int p = selectedText();
    if (p < 0) return;
    int next = -1;
    m_window.trap([&] { next = textpool::remove(m_window.screenLists(), storeOf(m_window), p); });
    if (next >= 0) selectText(next);
}

void TextPanel::clearPool() {
    m_window.trap([&] { textpool::clear(m_window.screenLists(), storeOf(m_window)); });
    m_window.lists().showClockOptions();
}

void TextPanel::sendAll() {
    const QList<bool> flags = m_window.screenLists().attributeFlags;
    const textpool::SendAll sent =
        textpool::sendAll(m_window.device(), m_window.ui(), m_window.connection(),
                          m_window.screenLists(), flags.value(5), flags.mid(0, 4));
    if (sent.width >= 0) m_ui->Text9->setText(QString::number(sent.width));
    m_window.lists().showClockOptions();
}
