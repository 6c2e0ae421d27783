#include "service/LineWorker.h"

#include "protocol/LinePortIo.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "service/MirrorPort.h"
#include "sim/BoardScene.h"
#include "sim/ScreenRenderer.h"
#include "sim/VirtualLine.h"
#include "workflows/ControlCommands.h"
#include "workflows/QueueCalling.h"

#include <QBuffer>
#include <QThread>

namespace service {

// ------------------------------------------------------------ the operator

void ServiceOperator::message(const QString &text, const QString &) {
    messages.append(text);
}
bool ServiceOperator::askYesNo(const QString &text, const QString &) {
    messages.append(text);
    return false;
}
bool ServiceOperator::askSubstitution(const QString &text, const QString &) {
    messages.append(text);
    return lossy;
}
bool ServiceOperator::askOkCancel(const QString &text, const QString &) {
    messages.append(text);
    return false;
}
bool ServiceOperator::input(const QString &prompt, const QString &, QString &) {
    messages.append(prompt);
    return false;
}
QString ServiceOperator::openFile(const QString &, const QString &) {
    return QString();
}
void ServiceOperator::statusError(int number, const QString &text) {
    messages.append(text.isEmpty() ? QString::number(number)
                                   : QStringLiteral("%1 %2").arg(number).arg(text));
}
void ServiceOperator::reset(bool agreeLossy) {
    messages.clear();
    lossy = agreeLossy;
}

// --------------------------------------------------------------- the worker

LineWorker::LineWorker(int port, QObject *parent) : QObject(parent), m_port(port), m_redraw(this) {
    m_redraw.setSingleShot(true);
    connect(&m_redraw, &QTimer::timeout, this, &LineWorker::redraw);
}

LineWorker::~LineWorker() = default;

led &LineWorker::device() {
    if (!m_device) {
        m_device = std::make_unique<led>();
        m_device->setOperator(&m_ui);
        m_device->setPort(std::make_unique<MirrorPort>(
            std::make_unique<LinePortIo>(),
            [this](const QByteArray &bytes) { mirror().receive(bytes); }));
    }
    return *m_device;
}

VirtualLine &LineWorker::mirror() {
    if (!m_mirror) {
        m_mirror = std::make_unique<VirtualLine>();
        // Nothing is looked back at: the frames and answers need not pile up.
        m_mirror->setRecordLimit(1);
    }
    return *m_mirror;
}

void LineWorker::setScreens(const QList<MirrorScreen> &screens) {
    m_screens = screens;
    m_screensPending = true;
    // A job may be waiting for an answer below this call: boards change after it.
    if (!m_busy) applyScreens();
}

void LineWorker::applyScreens() {
    m_screensPending = false;
    for (const MirrorScreen &s : std::as_const(m_screens)) {
        if (s.address < 0 || s.address > 0xFFFF) continue;
        const bool known = mirror().board(quint16(s.address)) != nullptr;
        VirtualBoard &board = mirror().addBoard(quint16(s.address));
        if (!known || board.state().width() != s.width || board.state().height() != s.height)
            board.state().setSize(s.width, s.height);
    }
}

QByteArray LineWorker::picture(int address) {
    if (address < 0 || address > 0xFFFF) return QByteArray();
    const VirtualBoard *board = mirror().board(quint16(address));
    if (!board) return QByteArray();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    render(sceneOf(board->state(), board->nowMs())).save(&buffer, "PNG");
    return png;
}

void LineWorker::runJob(const LineJob &job) {
    m_job = job;
    m_ui.reset(job.isCall && job.call.lossy);
    workflow::Outcome outcome = workflow::Outcome::NotAcknowledged;
    if (!runDeviceAction([&] { outcome = execute(job); }))
        m_ui.messages.append(QStringLiteral("正在通讯，请稍候"));
    LineJobResult result;
    result.ticket = job.ticket;
    result.screen = job.screen;
    result.isCall = job.isCall;
    result.callId = job.call.id;
    result.outcome = outcome;
    result.message = m_ui.messages.value(m_ui.messages.size() - 1);
    if (m_screensPending) applyScreens();
    result.picture = picture(job.address);
    if (m_mirror) m_mirror->clearRecord();
    scheduleRedraw();
    emit jobDone(result);
    if (m_stopHome) shutdown(m_stopHome);
}

workflow::Outcome LineWorker::execute(const LineJob &job) {
    led &d = device();
    const workflow::Connection c = connection();
    if (job.isCall) {
        queuecalling::Fields fields;
        fields.action = job.call.line == Line::Upper ? queuecalling::Action::TestUpper
                                                     : queuecalling::Action::TestLower;
        fields.text = job.call.text;
        fields.colour = job.call.colour;
        return queuecalling::run(d, m_ui, c, fields).outcome;
    }
    const ScreenAction &a = job.action;
    switch (a.kind) {
    case ScreenAction::Kind::Defaults: {
        queuecalling::Fields fields;
        fields.action = a.line == Line::Upper ? queuecalling::Action::DefaultUpper
                                              : queuecalling::Action::DefaultLower;
        fields.text = a.text;
        fields.colour = Call().colour;
        return queuecalling::run(d, m_ui, c, fields).outcome;
    }
    case ScreenAction::Kind::Brightness:
        return controlcommands::setBrightness(d, m_ui, c, QString::number(a.value));
    case ScreenAction::Kind::Power:
        return controlcommands::screenOn(d, m_ui, c, a.on);
    case ScreenAction::Kind::Clock:
        return controlcommands::adjustClock(d, m_ui, c, QStringLiteral("0"));
    }
    return workflow::Outcome::Refused;
}

bool LineWorker::runDeviceAction(const std::function<void()> &action) {
    if (!beginDeviceAction()) return false;
    trap(action);
    endDeviceAction();
    return true;
}

bool LineWorker::beginDeviceAction() {
    if (refuseWhileBusy()) return false;
    m_busy = true;
    return true;
}

void LineWorker::endDeviceAction() {
    m_busy = false;
}

bool LineWorker::refuseWhileBusy() {
    if (!m_busy) return false;
    showStatus(QStringLiteral("正在通讯，请稍候"));
    return true;
}

bool LineWorker::trap(const std::function<void()> &action) {
    try {
        action();
        return true;
    } catch (const VbError &e) {
        m_ui.statusError(e.number(), e.text());
    }
    return false;
}

void LineWorker::showStatus(const QString &text) {
    m_ui.messages.append(text);
}

void LineWorker::scheduleRedraw() {
    if (!m_mirror) return;
    qint64 next = -1, now = 0;
    for (const MirrorScreen &s : std::as_const(m_screens)) {
        const VirtualBoard *b =
            s.address >= 0 && s.address <= 0xFFFF ? m_mirror->board(quint16(s.address)) : nullptr;
        if (!b) continue;
        now = b->nowMs();
        const qint64 t = nextSceneChangeMs(b->state(), now);
        if (t >= 0 && (next < 0 || t < next)) next = t;
    }
    if (next < 0) {
        m_redraw.stop();
        return;
    }
    m_redraw.start(int(qBound<qint64>(0, next - now, qint64(24) * 3600 * 1000)));
}

void LineWorker::redraw() {
    if (m_busy) return; // the job's end draws and schedules again
    for (const MirrorScreen &s : std::as_const(m_screens))
        emit pictureReady(s.number, picture(s.address));
    scheduleRedraw();
}

void LineWorker::stopWhenIdle(QThread *home) {
    m_stopHome = home;
    if (!m_busy) shutdown(home);
}

void LineWorker::shutdown(QThread *home) {
    m_redraw.stop();
    m_device.reset(); // closes the port on the thread it was opened on
    m_mirror.reset();
    moveToThread(home);
    QThread::currentThread()->quit();
}

} // namespace service
