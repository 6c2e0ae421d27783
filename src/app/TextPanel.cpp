#include "app/TextPanel.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/ScreenPanel.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "encoding/ColourBytes.h"
#include "ui_ParameterPanel.h"
#include "ui_TextPanel.h"
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
    connect(m_ui->VScroll1, &QScrollBar::valueChanged, this, [this](int v) {
        m_ui->窗口号->setText(windownumber::stepField(m_ui->窗口号->text(), v));
    });
    window.bind(window.parameters().form().Command12, [this] { setWindowNumber(); });
    window.bind(m_ui->发送汉字, [this] { sendText(false); });
    window.bind(m_ui->Command1, [this] { sendText(true); });
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

void TextPanel::refresh() {
    m_ui->窗口号->setText(windownumber::stepField(m_ui->窗口号->text(), m_ui->VScroll1->value()));
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
    windownumber::Request request;
    request.field = m_ui->窗口号->text();
    request.colour = windownumber::colourByte(m_ui->Windowbackcolor->currentIndex(),
                                              m_ui->Asccolor->currentIndex());
    request.dotsPosition = QString::number(m_window.parameters().form().窗口点阵数->currentIndex());
    request.hanziPosition = QString::number(m_ui->字库颜色->currentIndex());
    request.ascPosition = QString::number(m_ui->ASC颜色->currentIndex());
    request.backgroundPosition = QString::number(m_ui->combo1->currentIndex());
    ScreenRegistry &registry = m_window.screens().registry();
    windownumber::set(m_window.device(), m_window.ui(), m_window.connection(), request,
                      {&registry.ini(), registry.currentSection()});
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

void TextPanel::setPool(const QStringList &texts) {
    m_ui->发送文字->clear();
    m_ui->发送文字->addItems(texts);
}

QGroupBox *TextPanel::imagePanel() const {
    return m_ui->自动发送框;
}

QStringList TextPanel::pool() const {
    QStringList texts;
    for (int i = 0; i < m_ui->发送文字->count(); ++i)
        texts.append(m_ui->发送文字->item(i)->text());
    return texts;
}
