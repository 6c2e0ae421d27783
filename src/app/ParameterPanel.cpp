#include "app/ParameterPanel.h"

#include "app/MainWindow.h"
#include "app/SelectionLists.h"
#include "app/SpinPair.h"
#include "config/NumericText.h"
#include "config/ScreenFields.h"
#include "ui_ParameterPanel.h"
#include "workflows/ControlCommands.h"

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

ParameterPanel::ParameterPanel(MainWindow &window, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ParameterPanel>()), m_window(window) {
    m_ui->setupUi(this);
    m_lengthPair = SpinPair::sixteenths(m_ui->VScroll6, m_ui->Pchang);
    SpinPair::plain(m_ui->VScroll7, m_ui->Text11);

    using namespace controlcommands;
    window.bind(m_ui->设置亮度, [this] {
        setBrightness(m_window.device(), m_window.ui(), m_window.connection(), m_ui->亮度->text());
    });
    window.bind(m_ui->校时, [this] {
        adjustClock(m_window.device(), m_window.ui(), m_window.connection(), m_ui->Text5->text());
    });
    window.bind(m_ui->设置开始图号按钮, [this] {
        setStartPicture(m_window.device(), m_window.ui(), m_window.connection(),
                        m_ui->Text4->text());
    });
    window.bind(m_ui->开屏, [this] { screenOn(true); });
    window.bind(m_ui->关屏, [this] { screenOn(false); });
}

ParameterPanel::~ParameterPanel() = default;

void ParameterPanel::fillSelectionLists() {
    for (QComboBox *c :
         {m_ui->主控类型, m_ui->色彩, m_ui->扫描方式, m_ui->每区行数, m_ui->行加减, m_ui->区内走向,
          m_ui->极性, m_ui->数据极性, m_ui->时钟显示, m_ui->Combo2, m_ui->窗口点阵数})
        fillSelectionList(c);
}

void ParameterPanel::screenOn(bool on) {
    controlcommands::screenOn(m_window.device(), m_window.ui(), m_window.connection(), on);
}

void ParameterPanel::protocolSwitch() {
    controlcommands::ProtocolSwitchFields fields;
    fields.oePolarity = m_ui->极性->currentData().toInt();
    fields.dataPolarity = m_ui->数据极性->currentData().toInt();
    fields.length = m_ui->Pchang->text();
    fields.brightness = m_ui->亮度->text();
    controlcommands::protocolSwitch(m_window.device(), m_window.ui(), m_window.connection(),
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

void ParameterPanel::applyLengthRule() {
    m_lengthPair->applyFieldRule();
}

int ParameterPanel::screenLength() const {
    return int(NumericText::value(m_ui->Pchang->text()));
}

int ParameterPanel::screenHeight() const {
    return int(NumericText::value(m_ui->pgao->currentText()));
}
