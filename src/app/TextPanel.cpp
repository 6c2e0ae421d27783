#include "app/TextPanel.h"

#include "app/Controls.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "encoding/ColourBytes.h"
#include "protocol/OperatorUi.h"
#include "ui_TextPanel.h"
#include "workflows/ActionContext.h"
#include "workflows/BatchUpdate.h"
#include "workflows/ScreenLists.h"
#include "workflows/ScreenRegistry.h"
#include "workflows/TextSending.h"

using queuecalling::Action;

TextPanel::TextPanel(ActionContext &context, ScreenLists &lists, ScreenRegistry &registry,
                     QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::TextPanel>()), m_context(context),
      m_lists(lists), m_registry(registry) {
    m_ui->setupUi(this);
    SpinPair::plain(m_ui->VScroll2, m_ui->Text14);
    SpinPair::plain(m_ui->VScroll3, m_ui->Text16);
    SpinPair::plain(m_ui->VScroll8, m_ui->Text17);
    const std::pair<QPushButton *, Action> buttons[] = {{m_ui->Command10, Action::DefaultUpper},
                                                        {m_ui->Command11, Action::DefaultLower},
                                                        {m_ui->Command8, Action::TestUpper},
                                                        {m_ui->Command9, Action::TestLower}};
    for (const auto &[button, action] : buttons)
        Controls::bindAction(context, button, [this, a = action] { callQueue(a); });
    for (QComboBox *c :
         {m_ui->字库颜色, m_ui->ASC颜色, m_ui->combo1, m_ui->Asccolor, m_ui->Windowbackcolor})
        connect(c, &QComboBox::currentIndexChanged, this,
                [this] { emit coloursChanged(colours()); });
    Controls::bindAction(context, m_ui->发送汉字, [this] { sendText(false); });
    // The logo goes on in steps after the click returns; the window stays busy until its end.
    connect(m_ui->Command1, &QPushButton::clicked, this,
            [this] { m_context.trap([this] { sendText(true); }); });

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
    Controls::bindAction(context, m_ui->全部发送, [this] { sendAll(); });
    QCheckBox *boxes[] = {m_ui->Check2_0, m_ui->Check2_1,   m_ui->Check2_2,
                          m_ui->Check2_3, m_ui->按屏长截取, m_ui->自动更新列表};
    for (int i = 0; i < 6; ++i)
        connect(boxes[i], &QCheckBox::toggled, this,
                [this, i](bool on) { m_lists.attributeFlags[i] = on; });
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
        if (!m_context.beginDeviceAction()) return;
        if (!f.text.isEmpty()) m_ui->排队->setChecked(true);
        auto *send = new textsending::LogoSend(m_context.device(), m_context.ui(),
                                               m_context.connection(), f, this);
        connect(send, &textsending::LogoSend::finished, this, [this, send] {
            send->deleteLater();
            m_context.endDeviceAction();
        });
        send->start();
    } else {
        textsending::sendMessage(m_context.device(), m_context.ui(), m_context.connection(), f,
                                 m_registry.MapSavePath, &m_lists.pool);
    }
}

bool TextPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui->发送文字) {
        const int row = m_ui->发送文字->currentIndex().row();
        if (event->type() == QEvent::KeyPress) m_poolRowBeforeKey = row;
        if (event->type() == QEvent::KeyRelease && row >= 0 && row != m_poolRowBeforeKey)
            selectText(row);
    }
    return QGroupBox::eventFilter(watched, event);
}

void TextPanel::placeImagePanel(QWidget *panel) {
    m_ui->textGrid->addWidget(panel, 1, 1);
}

TextColours TextPanel::colours() const {
    return {m_ui->字库颜色->currentIndex(), m_ui->ASC颜色->currentIndex(),
            m_ui->combo1->currentIndex(), m_ui->Asccolor->currentIndex(),
            m_ui->Windowbackcolor->currentIndex()};
}

void TextPanel::refillColourLists(int colourType) {
    QComboBox *lists[] = {m_ui->字库颜色, m_ui->ASC颜色, m_ui->combo1, m_ui->Asccolor,
                          m_ui->Windowbackcolor};
    const QList<Choice> refill = colourListsFor(colourType);
    for (int i = 0; i < 5; ++i)
        fillSelectionList(lists[i], refill.at(i));
}

void TextPanel::takeWelcome(batchupdate::Inputs &in) const {
    in.effectCode = m_ui->Combo8->currentData().toInt();
    in.speed = m_ui->Text2->text();
    in.stay = m_ui->Text3->text();
    // The third colour item; a refilled list carries no codes, so 0.
    in.welcomeColour = m_ui->combo1->itemData(2).toInt();
}

TextPanel::~TextPanel() = default;

void TextPanel::fillSelectionLists() {
    for (QComboBox *c :
         {m_ui->combo1, m_ui->字库颜色, m_ui->ASC颜色, m_ui->Asccolor, m_ui->Combo8, m_ui->Combo9})
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
        queuecalling::run(m_context.device(), m_context.ui(), m_context.connection(), fields);
    if (run.queueTicked) m_ui->排队->setChecked(true);
    if (run.width >= 0) m_ui->Text9->setText(QString::number(run.width));
}
