#include "app/TextPanel.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/Preview.h"
#include "app/ScreenPanel.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "encoding/ColourBytes.h"
#include "protocol/OperatorUi.h"
#include "ui_MainWindow.h"
#include "ui_ParameterPanel.h"
#include "ui_TextPanel.h"
#include "workflows/ScreenLists.h"
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
    m_ui->Text1->viewport()->installEventFilter(this);
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
    m_ui->发送文字->setModel(lists.pool.textView());
    m_ui->List2->setModel(lists.pool.attributeView());
    connect(m_ui->发送文字, &QListView::clicked, this,
            [this](const QModelIndex &i) { selectText(i.row()); });
    m_ui->发送文字->installEventFilter(this);
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
                                 m_window.screens().registry().MapSavePath,
                                 &m_window.screenLists().pool);
    }
}

bool TextPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui->Text1->viewport() && event->type() == QEvent::MouseButtonPress)
        textPreview();
    if (watched == m_ui->发送文字) {
        const int row = m_ui->发送文字->currentIndex().row();
        if (event->type() == QEvent::KeyPress) m_poolRowBeforeKey = row;
        if (event->type() == QEvent::KeyRelease && row >= 0 && row != m_poolRowBeforeKey)
            selectText(row);
    }
    return QGroupBox::eventFilter(watched, event);
}

void TextPanel::refresh() {
    stepWindowNumber(m_ui->VScroll1->value());
    refillColourLists(m_window.parameters().form().色彩->currentIndex());
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
    // A screen that did not take it stays silent; one that did is worth a word.
    if (m_windowNumberSet) m_window.showStatus(QStringLiteral("窗口号设置成功"));
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

QGroupBox *TextPanel::imagePanel() const {
    return m_ui->自动发送框;
}
