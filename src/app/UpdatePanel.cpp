#include "app/UpdatePanel.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/ScreenPanel.h"
#include "app/TextPanel.h"
#include "protocol/OperatorUi.h"
#include "ui_MainWindow.h"
#include "ui_ParameterPanel.h"
#include "ui_TextPanel.h"
#include "ui_UpdatePanel.h"
#include "workflows/FileUpload.h"
#include "workflows/ScreenRegistry.h"

UpdatePanel::UpdatePanel(MainWindow &window, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::UpdatePanel>()), m_window(window) {
    m_ui->setupUi(this);
    connect(m_ui->选择ASC文件, &QPushButton::clicked, this,
            [this] { pick(m_ui->Textasc, m_ui->选择ASC文件->text()); });
    connect(m_ui->选择字库文件, &QPushButton::clicked, this,
            [this] { pick(m_ui->Textziku, m_ui->选择字库文件->text()); });
    window.bind(m_ui->Command5, [this] {
        fileupload::update(m_window.device(), m_window.ui(), m_window.connection(),
                           m_ui->Textziku->text(), fileupload::arm());
    });
    window.bind(m_ui->Command6, [this] {
        fileupload::update(m_window.device(), m_window.ui(), m_window.connection(),
                           m_ui->Textasc->text(), fileupload::fpga());
    });
    window.bind(m_ui->更新, [this] { runBatch(); });
}

UpdatePanel::~UpdatePanel() = default;

bool UpdatePanel::is161D() const {
    return m_ui->at45161d->isChecked();
}

void UpdatePanel::pick(QLineEdit *field, const QString &caption) {
    // A cancelled dialog keeps the file the field already names.
    const QString file = m_window.ui().openFile(caption, QString());
    if (!file.isEmpty()) field->setText(file);
}

batchupdate::Inputs UpdatePanel::batchInputs() const {
    using namespace batchupdate;
    Inputs in;
    const QCheckBox *ticks[PartCount] = {m_ui->C1152,  m_ui->Check3, m_ui->Check4,
                                         m_ui->Check5, m_ui->Casc,   m_ui->Check7,
                                         m_ui->Cziku,  m_ui->C384,   m_ui->Check6};
    for (int i = 0; i < PartCount; ++i)
        in.ticked[i] = ticks[i]->isChecked();
    in.ascFile = m_ui->Textasc->text();
    in.fontFile = m_ui->Textziku->text();
    in.is161D = is161D();
    in.properties = m_window.parameters().propertyFields();
    in.properties.height = m_ui->Text15->text();

    const Ui::ParameterPanel &p = m_window.parameters().form();
    in.newAddress = p.Text11->text();
    in.startPicture = p.Text4->text();

    const Ui::TextPanel &t = m_window.texts().form();
    in.effectCode = t.Combo8->currentData().toInt();
    in.speed = t.Text2->text();
    in.stay = t.Text3->text();
    // The third colour item; a refilled list carries no codes, so 0.
    in.welcomeColour = t.combo1->itemData(2).toInt();

    ScreenRegistry &registry = m_window.screens().registry();
    in.ini = &registry.ini();
    in.section = registry.currentSection();
    return in;
}

void UpdatePanel::runBatch() {
    const batchupdate::Result r = batchupdate::run(
        m_window.device(), m_window.ui(), m_window.connection(), [this] { return batchInputs(); });
    // Parts that succeeded before a No changed the board; the row follows.
    Ui::MainWindow &row = m_window.connectionRow();
    if (r.baudPosition >= 0) m_window.parameters().form().Combo2->setCurrentIndex(r.baudPosition);
    row.Pdizhi->setText(r.connection.address);
    row.Pbtl->setCurrentText(r.connection.baud);
}
