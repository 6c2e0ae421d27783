#include "app/UpdatePanel.h"

#include "app/Controls.h"
#include "protocol/OperatorUi.h"
#include "ui_UpdatePanel.h"
#include "workflows/ActionContext.h"
#include "workflows/FileUpload.h"
#include "workflows/ScreenRegistry.h"

UpdatePanel::UpdatePanel(ActionContext &context, ScreenRegistry &registry, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::UpdatePanel>()), m_context(context),
      m_registry(registry) {
    m_ui->setupUi(this);
    connect(m_ui->at45161d, &QCheckBox::toggled, this, &UpdatePanel::is161DChanged);
    connect(m_ui->选择ASC文件, &QPushButton::clicked, this,
            [this] { pick(m_ui->Textasc, m_ui->选择ASC文件->text()); });
    connect(m_ui->选择字库文件, &QPushButton::clicked, this,
            [this] { pick(m_ui->Textziku, m_ui->选择字库文件->text()); });
    Controls::bindAction(context, m_ui->Command5, [this] {
        fileupload::update(m_context.device(), m_context.ui(), m_context.connection(),
                           m_ui->Textziku->text(), fileupload::arm());
    });
    Controls::bindAction(context, m_ui->Command6, [this] {
        fileupload::update(m_context.device(), m_context.ui(), m_context.connection(),
                           m_ui->Textasc->text(), fileupload::fpga());
    });
    Controls::bindAction(context, m_ui->更新, [this] { runBatch(); });
}

UpdatePanel::~UpdatePanel() = default;

bool UpdatePanel::is161D() const {
    return m_ui->at45161d->isChecked();
}

void UpdatePanel::pick(QLineEdit *field, const QString &caption) {
    // A cancelled dialog keeps the file the field already names.
    const QString file = m_context.ui().openFile(caption, QString());
    if (!file.isEmpty()) field->setText(file);
}

batchupdate::Inputs UpdatePanel::batchInputs() const {
    using namespace batchupdate;
    Inputs in;
    const QCheckBox *ticks[PartCount] = {m_ui->C1152,  m_ui->Check3, m_ui->Check4,
                                         m_ui->Check5, m_ui->Casc,   m_ui->Check7,
                                         m_ui->Cziku,  m_ui->C384,   m_ui->Check6};
    for (int i = 0; i < PartCount; ++i)
        in.ticked[static_cast<std::size_t>(i)] = ticks[i]->isChecked();
    in.ascFile = m_ui->Textasc->text();
    in.fontFile = m_ui->Textziku->text();
    in.is161D = is161D();
    if (completeInputs) completeInputs(in);
    in.properties.height = m_ui->Text15->text();

    in.ini = &m_registry.ini();
    in.section = m_registry.currentSection();
    return in;
}

void UpdatePanel::runBatch() {
    const batchupdate::Result r =
        batchupdate::run(m_context.device(), m_context.ui(), m_context.connection(),
                         [this] { return batchInputs(); });
    // Parts that succeeded before a No changed the board; the row follows.
    emit batchFinished(r.baudPosition, r.connection);
}
