#include "app/RadioPanel.h"

#include "app/Controls.h"
#include "app/SpinPair.h"
#include "ui_RadioPanel.h"
#include "workflows/ActionContext.h"

namespace {
// The module reports each index as one digit; the lists show those digits
// so that a read is visible.
constexpr int IndexDigits = 10;

void selectIfPresent(QComboBox *list, int position) {
    if (position >= 0 && position < list->count()) list->setCurrentIndex(position);
}
} // namespace

RadioPanel::RadioPanel(ActionContext &context, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::RadioPanel>()), m_context(context) {
    m_ui->setupUi(this);
    SpinPair::plain(m_ui->VScroll5, m_ui->信道号);
    for (QComboBox *c : {m_ui->波特率, m_ui->空中波特率, m_ui->功率档, m_ui->收发切换范围}) {
        for (int i = 0; i < IndexDigits; ++i)
            c->addItem(QString::number(i));
        c->setCurrentIndex(-1);
    }
    m_repeated = new radio::RepeatedSetting(
        context.ui(),
        [this] {
            // Another action owns the line (an upload, a question box): this
            // tick is skipped quietly, panel 5 keeps what it shows.
            if (m_context.actionRunning()) return;
            m_context.runDeviceAction([this] { setChannel(true); });
        },
        this);
    Controls::bindAction(context, m_ui->检测模块, [this] { detect(); });
    Controls::bindAction(context, m_ui->设置信道, [this] { setChannel(false); });
    // Stopping must work while a tick waits for its module.
    connect(m_ui->自动设置, &QPushButton::clicked, this,
            [this] { m_ui->自动设置->setText(m_repeated->toggle()); });
}

RadioPanel::~RadioPanel() = default;

QWidget *RadioPanel::stopButton() const {
    return m_ui->自动设置;
}

void RadioPanel::checkModule() {
    radio::check(m_context.device(), m_context.ui(), m_context.connection());
}

void RadioPanel::detect() {
    const radio::Detected d =
        radio::detect(m_context.device(), m_context.ui(), m_context.connection());
    if (d.module.isEmpty()) return;
    m_ui->包大小->setText(d.fields.packetSize);
    selectIfPresent(m_ui->波特率, d.fields.baud);
    selectIfPresent(m_ui->空中波特率, d.fields.airBaud);
    selectIfPresent(m_ui->功率档, d.fields.power);
    selectIfPresent(m_ui->收发切换范围, d.fields.range);
    m_ui->信道号->setText(d.fields.channel);
}

void RadioPanel::setChannel(bool silent) {
    radio::setChannel(m_context.device(), m_context.ui(), m_context.connection(),
                      m_ui->信道号->text(), m_random, silent);
}
