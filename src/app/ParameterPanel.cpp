#include "app/ParameterPanel.h"

#include "app/Controls.h"
#include "app/RadioPanel.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "app/UpdatePanel.h"
#include "config/NumericText.h"
#include "config/ScreenFields.h"
#include "protocol/VbError.h"
#include "ui_ParameterPanel.h"
#include "workflows/ActionContext.h"
#include "workflows/BatchUpdate.h"
#include "workflows/ControlCommands.h"
#include "workflows/ScreenRegistry.h"

namespace {
struct PositionField {
    QComboBox *Ui::ParameterPanel::*list;
    int ScreenFields::*field;
};
// The display-property lists a screen's section remembers.
const PositionField kPositions[] = {
    {&Ui::ParameterPanel::色彩, &ScreenFields::Pcolor},
    {&Ui::ParameterPanel::主控类型, &ScreenFields::Pleixing},
    {&Ui::ParameterPanel::极性, &ScreenFields::POE},
    {&Ui::ParameterPanel::数据极性, &ScreenFields::PDataSign},
    {&Ui::ParameterPanel::区内走向, &ScreenFields::PCol_F},
    {&Ui::ParameterPanel::行加减, &ScreenFields::PColRule},
    {&Ui::ParameterPanel::每区行数, &ScreenFields::PQSign},
    {&Ui::ParameterPanel::扫描方式, &ScreenFields::PScan},
};
} // namespace

ParameterPanel::ParameterPanel(ActionContext &context, ScreenRegistry &registry, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ParameterPanel>()), m_context(context),
      m_registry(registry) {
    m_ui->setupUi(this);
    m_lengthPair = SpinPair::sixteenths(m_ui->VScroll6, m_ui->Pchang);
    SpinPair::plain(m_ui->VScroll7, m_ui->Text11);
    m_radio = new RadioPanel(context, this);
    m_ui->controlGrid->addWidget(m_radio, 7, 0, 1, 3);
    m_update = new UpdatePanel(context, registry, this);
    m_ui->parameterRow->addWidget(m_update);
    connect(m_update, &UpdatePanel::is161DChanged, this, &ParameterPanel::is161DChanged);
    connect(m_update, &UpdatePanel::batchFinished, this, [this](int baudPosition) {
        if (baudPosition >= 0) m_ui->Combo2->setCurrentIndex(baudPosition);
    });
    const auto tell = [this] { emit propertiesChanged(propertyFields()); };
    connect(m_ui->Pchang, &QLineEdit::textChanged, this, tell);
    connect(m_ui->pgao, &QComboBox::currentTextChanged, this, tell);
    connect(m_ui->色彩, &QComboBox::currentIndexChanged, this, tell);
    connect(m_ui->窗口点阵数, &QComboBox::currentIndexChanged, this,
            &ParameterPanel::windowDotsChanged);

    using namespace controlcommands;
    const auto bind = [&context](QAbstractButton *button, const std::function<void()> &action) {
        Controls::bindAction(context, button, action);
    };
    bind(m_ui->设置亮度, [this] {
        setBrightness(m_context.device(), m_context.ui(), m_context.connection(),
                      m_ui->亮度->text());
    });
    bind(m_ui->校时, [this] {
        adjustClock(m_context.device(), m_context.ui(), m_context.connection(),
                    m_ui->Text5->text());
    });
    bind(m_ui->设置开始图号按钮, [this] {
        setStartPicture(m_context.device(), m_context.ui(), m_context.connection(),
                        m_ui->Text4->text());
    });
    bind(m_ui->开屏, [this] { screenOn(true); });
    bind(m_ui->关屏, [this] { screenOn(false); });
    bind(m_ui->属性获取, [this] { readProperties(); });
    bind(m_ui->修改属性, [this] { writeProperties(); });
    bind(m_ui->修改地址, [this] { changeAddress(); });
    bind(m_ui->Command12, [this] { emit windowNumberRequested(); });
}

void ParameterPanel::takeBatchFields(batchupdate::Inputs &in) const {
    in.properties = propertyFields();
    in.newAddress = m_ui->Text11->text();
    in.startPicture = m_ui->Text4->text();
}

displayproperties::Fields ParameterPanel::propertyFields() const {
    displayproperties::Fields f;
    f.board = m_ui->主控类型->currentIndex();
    f.colour = m_ui->色彩->currentIndex();
    f.scan = m_ui->扫描方式->currentIndex();
    f.zone = m_ui->每区行数->currentIndex();
    f.rowShift = m_ui->行加减->currentIndex();
    f.direction = m_ui->区内走向->currentIndex();
    f.oe = m_ui->极性->currentIndex();
    f.dataPolarity = m_ui->数据极性->currentIndex();
    f.clock = m_ui->时钟显示->currentIndex();
    f.length = m_ui->Pchang->text();
    f.height = m_ui->pgao->currentText();
    f.productId = m_ui->PID->text();
    f.version = m_ui->Text18->text();
    return f;
}

void ParameterPanel::showPropertyFields(const displayproperties::Fields &f) {
    m_ui->Pchang->setText(f.length);
    m_ui->pgao->setCurrentText(f.height);
    m_ui->色彩->setCurrentIndex(f.colour);
    m_ui->区内走向->setCurrentIndex(f.direction);
    m_ui->主控类型->setCurrentIndex(f.board);
    m_ui->极性->setCurrentIndex(f.oe);
    m_ui->数据极性->setCurrentIndex(f.dataPolarity);
    m_ui->行加减->setCurrentIndex(f.rowShift);
    m_ui->时钟显示->setCurrentIndex(f.clock);
    m_ui->每区行数->setCurrentIndex(f.zone);
    m_ui->扫描方式->setCurrentIndex(f.scan);
    m_ui->PID->setText(f.productId);
    m_ui->Text18->setText(f.version);
}

displayproperties::Section ParameterPanel::selectedSection() const {
    return {&m_registry.ini(), m_registry.currentSection()};
}

void ParameterPanel::readProperties() {
    const displayproperties::Read read = displayproperties::readProperties(
        m_context.device(), m_context.ui(), m_context.connection(), propertyFields(),
        selectedSection());
    if (!read.properties.isEmpty()) showPropertyFields(read.fields);
}

void ParameterPanel::writeProperties() {
    displayproperties::writeProperties(m_context.device(), m_context.ui(), m_context.connection(),
                                       displayproperties::codesOf(propertyFields()),
                                       selectedSection());
}

void ParameterPanel::changeAddress() {
    ScreenRegistry &registry = m_registry;
    const displayproperties::AddressResult result =
        displayproperties::changeAddress(m_context.device(), m_context.ui(), m_context.connection(),
                                         {m_ui->Text11->text(), m_ui->Combo2->currentIndex()},
                                         &registry.ini(), registry.currentPosition() + 1);
    // The board may be at the new address even when the registry could not follow.
    if (result.address.isEmpty()) return;
    emit addressChanged(result.address, m_ui->Combo2->currentIndex());
}

void ParameterPanel::connectionTest() {
    const displayproperties::TestResult test = displayproperties::connectionTest(
        m_context.device(), m_context.ui(), m_context.connection(), propertyFields(),
        selectedSection());
    if (test.answered) {
        // The version message belongs to "属性获取" only.
        showPropertyFields(test.fields);
        return;
    }
    emit portsScanned(test.ports, test.portNumber);
}

ParameterPanel::~ParameterPanel() = default;

void ParameterPanel::fillSelectionLists() {
    for (QComboBox *c :
         {m_ui->主控类型, m_ui->色彩, m_ui->扫描方式, m_ui->每区行数, m_ui->行加减, m_ui->区内走向,
          m_ui->极性, m_ui->数据极性, m_ui->时钟显示, m_ui->Combo2, m_ui->窗口点阵数})
        fillSelectionList(c);
}

void ParameterPanel::screenOn(bool on) {
    controlcommands::screenOn(m_context.device(), m_context.ui(), m_context.connection(), on);
}

void ParameterPanel::protocolSwitch() {
    controlcommands::ProtocolSwitchFields fields;
    fields.oePolarity = m_ui->极性->currentData().toInt();
    fields.dataPolarity = m_ui->数据极性->currentData().toInt();
    fields.length = m_ui->Pchang->text();
    fields.brightness = m_ui->亮度->text();
    controlcommands::protocolSwitch(m_context.device(), m_context.ui(), m_context.connection(),
                                    fields);
}

void ParameterPanel::showFields(const ScreenFields &f) {
    m_ui->Pchang->setText(f.Pchang);
    m_ui->pgao->setCurrentText(f.pgao);
    for (const PositionField &p : kPositions) {
        QComboBox *c = (*m_ui).*(p.list);
        if (f.*(p.field) < c->count()) c->setCurrentIndex(f.*(p.field));
    }
}

void ParameterPanel::takeFields(ScreenFields &f) const {
    f.Pchang = m_ui->Pchang->text();
    f.pgao = m_ui->pgao->currentText();
    for (const PositionField &p : kPositions)
        f.*(p.field) = ((*m_ui).*(p.list))->currentIndex();
}

void ParameterPanel::showStartValues(const QString &length, const QString &height, int colour,
                                     int board) {
    m_ui->Pchang->setText(length);
    applyLengthRule();
    m_ui->pgao->setCurrentText(height);
    for (const auto &[list, position] : {std::pair{m_ui->色彩, colour}, {m_ui->主控类型, board}}) {
        if (position < 0 || position >= list->count())
            throw VbError(vberr::InvalidCall, QStringLiteral("列表位置无效"));
        list->setCurrentIndex(position);
    }
}

void ParameterPanel::applyLengthRule() {
    m_lengthPair->applyFieldRule();
}

int ParameterPanel::screenLength() const {
    return int(NumericText::value(m_ui->Pchang->text()));
}

int ParameterPanel::screenHeight() const {
    return int(NumericText::value(m_ui->pgao->currentText()));
}

int ParameterPanel::windowDots() const {
    return m_ui->窗口点阵数->currentIndex();
}
