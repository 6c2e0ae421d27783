#include "service/CallService.h"

#include "config/CIniFile.h"
#include "config/NumericText.h"
#include "config/RegistryFile.h"
#include "encoding/TextChecks.h"
#include "protocol/led.h"
#include "service/CallJournal.h"
#include "service/LineWorker.h"
#include "sim/BoardScene.h"
#include "sim/ScreenRenderer.h"
#include "workflows/QueueCalling.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QMap>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <cmath>
#include <map>

namespace service {

namespace {
constexpr int Attempts = 3;       // the first try and two more
constexpr int RetryPauseMs = 200; // the line serves others meanwhile
constexpr int LastCallsKept = 10;
constexpr int PruneEvery = 100;    // final calls of a screen between two prunes
constexpr int ReloadSettleMs = 50; // an editor's save may touch the file twice

const QString kMinDisplayKey = QStringLiteral("MinDisplayMs");

int iniNumber(CIniFile &ini, const QString &section, const QString &key, int fallback) {
    const QString text = ini.ReadString(section, key, RegistryFile::ScreenSize).trimmed();
    if (text.isEmpty()) return fallback;
    const double v = NumericText::value(text);
    return std::isfinite(v) && std::fabs(v) < 2e9 ? int(std::nearbyint(v)) : fallback;
}
} // namespace

struct ScreenConfig {
    RegistryFile::RegisteredScreen registered;
    int width = 128;
    int height = 32;
    int minDisplayMs = -1; // the section's MinDisplayMs, -1 without
};

// What the service knows of a screen, kept across re-reads of ledfile.ini.
struct ScreenRuntime {
    QList<Call> queue;    // accepted, not final, in order of acceptance
    qint64 readyAtMs = 0; // on the service's monotonic clock
    QString showing[2];
    QList<Call> last; // final, newest first
    QByteArray picture;
    int finalsSincePrune = 0;
};

struct PendingAction {
    int screen = 0;
    ScreenAction action;
    std::function<void(const ActionResult &)> done;
};

struct LineEntry {
    int port = 0;
    QThread *thread = nullptr;
    LineWorker *worker = nullptr;
    bool busy = false;
    quint64 ticket = 0;
    std::optional<PendingAction> running; // a screen action being run
    QList<PendingAction> actions;
    QTimer *timer = nullptr;
    LineHealth health;
};

struct CallService::Private {
    CallService *q;
    ServiceOptions options;
    CallJournal journal;
    QElapsedTimer clock;
    QMap<int, ScreenConfig> screens;
    QMap<int, ScreenRuntime> runtime;
    std::map<int, std::unique_ptr<LineEntry>> lines;
    QHash<QString, qint64> retryAt;
    QFileSystemWatcher *watcher = nullptr;
    QTimer *reload = nullptr;
    qint64 sequence = 0;
    quint64 tickets = 0;
    bool started = false;
    bool stopping = false;

    QDateTime nowUtc() const {
        return options.clock ? options.clock().toUTC() : QDateTime::currentDateTimeUtc();
    }
    QString iniPath() const { return QDir(options.dir).filePath(RegistryFile::fileName()); }

    void loadScreens();
    LineEntry &line(int port);
    void watchFile();
    int minDisplayOf(const Call &call) const;
    void dispatch(LineEntry &line);
    void dispatchAll();
    void sendCall(LineEntry &line, int screen);
    void sendAction(LineEntry &line);
    void onJobDone(int port, const LineJobResult &result);
    void finish(ScreenRuntime &rt, Call call);
    Call *queued(const QString &id, int *screen = nullptr);
    QByteArray blankPicture(const ScreenConfig &config) const;
    ScreenStatus status(int number) const;
};

// ------------------------------------------------------------------ screens

void CallService::Private::loadScreens() {
    CIniFile ini;
    ini.SpecifyIni(iniPath());
    QMap<int, ScreenConfig> fresh;
    if (QFileInfo::exists(iniPath())) {
        for (const RegistryFile::RegisteredScreen &s : RegistryFile::readScreens(ini)) {
            ScreenConfig c;
            c.registered = s;
            const QString section = RegistryFile::sectionName(s.number);
            c.width = qBound(8, iniNumber(ini, section, QStringLiteral("Pchang"), 128), 2048);
            c.height = qBound(8, iniNumber(ini, section, QStringLiteral("Pgao"), 32), 512);
            c.minDisplayMs = iniNumber(ini, section, kMinDisplayKey, -1);
            fresh.insert(s.number, c);
        }
    }
    screens = fresh;
    QMap<int, QList<MirrorScreen>> byPort;
    for (const ScreenConfig &c : std::as_const(screens)) {
        byPort[c.registered.port].append(
            {c.registered.number, c.registered.address, c.width, c.height});
        ScreenRuntime &rt = runtime[c.registered.number];
        if (rt.picture.isEmpty()) rt.picture = blankPicture(c);
    }
    for (auto it = byPort.cbegin(); it != byPort.cend(); ++it)
        line(it.key());
    for (auto &[port, entry] : lines) {
        LineWorker *w = entry->worker;
        const QList<MirrorScreen> list = byPort.value(port);
        QMetaObject::invokeMethod(
            w, [w, list] { w->setScreens(list); }, Qt::QueuedConnection);
    }
}

QByteArray CallService::Private::blankPicture(const ScreenConfig &config) const {
    BoardState state;
    state.setSize(config.width, config.height);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    render(sceneOf(state, 0)).save(&buffer, "PNG");
    return png;
}

LineEntry &CallService::Private::line(int port) {
    auto &slot = lines[port];
    if (slot) return *slot;
    slot = std::make_unique<LineEntry>();
    LineEntry &l = *slot;
    l.port = port;
    l.health.port = port;
    l.thread = new QThread(q);
    l.thread->setObjectName(QStringLiteral("line %1").arg(port));
    l.worker = new LineWorker(port);
    l.worker->moveToThread(l.thread);
    QObject::connect(
        l.worker, &LineWorker::jobDone, q,
        [this, port](const LineJobResult &r) { onJobDone(port, r); }, Qt::QueuedConnection);
    QObject::connect(
        l.worker, &LineWorker::pictureReady, q,
        [this](int screen, const QByteArray &png) {
            if (!screens.contains(screen) || png.isEmpty()) return;
            runtime[screen].picture = png;
            emit q->pictureChanged(screen);
        },
        Qt::QueuedConnection);
    l.timer = new QTimer(q);
    l.timer->setSingleShot(true);
    l.timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(l.timer, &QTimer::timeout, q, [this, port] {
        const auto it = lines.find(port);
        if (it != lines.end()) dispatch(*it->second);
    });
    l.thread->start();
    return l;
}

void CallService::Private::watchFile() {
    // The file is replaced, not rewritten: its path drops out of the watcher
    // and is added again; the folder tells of a file that appears.
    if (!watcher->directories().contains(options.dir)) watcher->addPath(options.dir);
    if (QFileInfo::exists(iniPath()) && !watcher->files().contains(iniPath()))
        watcher->addPath(iniPath());
}

int CallService::Private::minDisplayOf(const Call &call) const {
    if (call.minDisplayMs >= 0) return call.minDisplayMs;
    const auto it = screens.constFind(call.screen);
    if (it != screens.cend() && it->minDisplayMs >= 0) return it->minDisplayMs;
    return options.minDisplayMs;
}

// ---------------------------------------------------------------- scheduler

void CallService::Private::dispatchAll() {
    for (auto &[port, entry] : lines)
        dispatch(*entry);
}

void CallService::Private::dispatch(LineEntry &l) {
    if (!started || stopping || l.busy) return;
    if (!l.actions.isEmpty()) {
        sendAction(l);
        return;
    }
    const qint64 now = clock.elapsed();
    int best = 0;
    qint64 bestSequence = 0, earliest = -1;
    for (const ScreenConfig &c : std::as_const(screens)) {
        if (c.registered.port != l.port) continue;
        const int number = c.registered.number;
        const auto rt = runtime.constFind(number);
        if (rt == runtime.cend() || rt->queue.isEmpty()) continue;
        const Call &head = rt->queue.first();
        const qint64 ready = qMax(rt->readyAtMs, retryAt.value(head.id, 0));
        if (ready <= now) {
            if (best == 0 || head.sequence < bestSequence) {
                best = number;
                bestSequence = head.sequence;
            }
        } else if (earliest < 0 || ready < earliest) {
            earliest = ready;
        }
    }
    if (best != 0) {
        l.timer->stop();
        sendCall(l, best);
    } else if (earliest >= 0) {
        l.timer->start(int(qMin<qint64>(earliest - now, 24 * 3600 * 1000)));
    }
}

void CallService::Private::sendCall(LineEntry &l, int screen) {
    const ScreenConfig &c = screens[screen];
    Call &call = runtime[screen].queue.first();
    retryAt.remove(call.id);
    ++call.attempts;
    const bool entered = call.state != CallState::Sending;
    call.state = CallState::Sending;
    journal.update(call);
    LineJob job;
    job.ticket = ++tickets;
    job.screen = screen;
    job.address = c.registered.address;
    job.connection = {c.registered.port, c.registered.baud, QString::number(c.registered.address)};
    job.isCall = true;
    job.call = call;
    l.busy = true;
    l.ticket = job.ticket;
    if (entered) emit q->callChanged(call);
    LineWorker *w = l.worker;
    QMetaObject::invokeMethod(
        w, [w, job] { w->runJob(job); }, Qt::QueuedConnection);
}

void CallService::Private::sendAction(LineEntry &l) {
    PendingAction a = l.actions.takeFirst();
    const auto it = screens.constFind(a.screen);
    if (it == screens.cend() || it->registered.port != l.port) {
        // The screen went away or moved to another line while it waited.
        if (a.done) a.done({ActionResult::Status::NoSuchScreen, QString()});
        dispatch(l);
        return;
    }
    LineJob job;
    job.ticket = ++tickets;
    job.screen = a.screen;
    job.address = it->registered.address;
    job.connection = {it->registered.port, it->registered.baud,
                      QString::number(it->registered.address)};
    job.isCall = false;
    job.action = a.action;
    l.busy = true;
    l.ticket = job.ticket;
    l.running = std::move(a);
    LineWorker *w = l.worker;
    QMetaObject::invokeMethod(
        w, [w, job] { w->runJob(job); }, Qt::QueuedConnection);
}

void CallService::Private::onJobDone(int port, const LineJobResult &r) {
    const auto lineIt = lines.find(port);
    if (lineIt == lines.end()) return;
    LineEntry &l = *lineIt->second;
    if (r.ticket != l.ticket) return;
    l.busy = false;
    if (r.outcome == workflow::Outcome::NotAcknowledged) {
        l.health.ok = false;
        l.health.lastError = r.message;
    } else if (r.outcome == workflow::Outcome::Done) {
        l.health.ok = true;
    }
    if (!r.picture.isEmpty() && screens.contains(r.screen)) {
        runtime[r.screen].picture = r.picture;
        emit q->pictureChanged(r.screen);
    }
    if (!r.isCall) {
        std::optional<PendingAction> a = std::move(l.running);
        l.running.reset();
        if (a && a->done) {
            ActionResult result;
            result.status = r.outcome == workflow::Outcome::Done ? ActionResult::Status::Done
                            : r.outcome == workflow::Outcome::Refused
                                ? ActionResult::Status::Refused
                                : ActionResult::Status::NotAcknowledged;
            if (result.status != ActionResult::Status::Done) result.message = r.message;
            a->done(result);
        }
    } else {
        ScreenRuntime &rt = runtime[r.screen];
        int index = -1;
        for (int i = 0; i < rt.queue.size(); ++i)
            if (rt.queue.at(i).id == r.callId) index = i;
        if (index >= 0) {
            Call call = rt.queue.at(index);
            if (r.outcome == workflow::Outcome::Done) {
                rt.queue.removeAt(index);
                call.state = CallState::Shown;
                call.shown = nowUtc();
                call.error.clear();
                rt.showing[call.line == Line::Lower ? 1 : 0] = call.text;
                rt.readyAtMs = clock.elapsed() + minDisplayOf(call);
                finish(rt, call);
            } else if (r.outcome == workflow::Outcome::NotAcknowledged &&
                       call.attempts < Attempts) {
                retryAt.insert(call.id, clock.elapsed() + qint64(RetryPauseMs * led::timeScale()));
            } else {
                rt.queue.removeAt(index);
                call.state = CallState::Failed;
                call.error = r.message;
                finish(rt, call);
            }
        }
    }
    dispatch(l);
}

void CallService::Private::finish(ScreenRuntime &rt, Call call) {
    retryAt.remove(call.id);
    journal.update(call);
    rt.last.prepend(call);
    while (rt.last.size() > LastCallsKept)
        rt.last.removeLast();
    if (++rt.finalsSincePrune >= PruneEvery) {
        rt.finalsSincePrune = 0;
        journal.prune(call.screen);
    }
    emit q->callChanged(call);
}

Call *CallService::Private::queued(const QString &id, int *screen) {
    for (auto it = runtime.begin(); it != runtime.end(); ++it) {
        for (Call &c : it->queue) {
            if (c.id != id) continue;
            if (screen) *screen = it.key();
            return &c;
        }
    }
    return nullptr;
}

ScreenStatus CallService::Private::status(int number) const {
    const ScreenConfig &c = screens[number];
    ScreenStatus s;
    s.number = number;
    s.name = c.registered.name;
    s.port = c.registered.port;
    s.baud = c.registered.baud;
    s.address = c.registered.address;
    const auto rt = runtime.constFind(number);
    if (rt != runtime.cend()) {
        for (const Call &call : rt->queue)
            if (call.state == CallState::Queued) ++s.queued;
        s.showingUpper = rt->showing[0];
        s.showingLower = rt->showing[1];
        s.lastCalls = rt->last;
    }
    return s;
}

// ------------------------------------------------------------------ service

CallService::CallService(const ServiceOptions &options, QObject *parent)
    : CallDesk(parent), d(std::make_unique<Private>()) {
    qRegisterMetaType<service::LineJobResult>();
    d->q = this;
    d->options = options;
    d->clock.start();
}

CallService::~CallService() {
    stop();
}

bool CallService::start(QString *error) {
    if (d->started) return true;
    if (!d->journal.open(d->options.dir, error)) return false;
    d->stopping = false;
    d->sequence = d->journal.lastSequence();
    // What a previous start() queued is in the journal and comes back from there.
    for (ScreenRuntime &rt : d->runtime)
        rt.queue.clear();
    d->retryAt.clear();
    d->loadScreens();
    const QDateTime now = d->nowUtc();
    const QList<Call> expired =
        d->journal.expire(now.addSecs(-qint64(qMax(0, d->options.maxAgeS))));
    QList<Call> requeued;
    for (Call call : d->journal.unfinished()) {
        if (call.state == CallState::Sending) {
            // Cut off by a crash or a stop: sent again, perhaps shown twice.
            call.state = CallState::Queued;
            d->journal.update(call);
            requeued.append(call);
        }
        d->runtime[call.screen].queue.append(call);
    }
    QList<int> numbers = d->journal.screens();
    for (int n : d->screens.keys())
        if (!numbers.contains(n)) numbers.append(n);
    for (int n : std::as_const(numbers)) {
        ScreenRuntime &rt = d->runtime[n];
        rt.last = d->journal.lastFinished(n, LastCallsKept);
        qint64 lastShownMs = -1;
        for (Line line : {Line::Upper, Line::Lower}) {
            const std::optional<Call> shown = d->journal.lastShown(n, line);
            if (!shown) continue;
            rt.showing[line == Line::Lower ? 1 : 0] = shown->text;
            // The screen still shows it: its minimum display time goes on.
            const qint64 until = shown->shown.toMSecsSinceEpoch() + d->minDisplayOf(*shown);
            lastShownMs = qMax(lastShownMs, until - now.toMSecsSinceEpoch());
        }
        if (lastShownMs > 0) rt.readyAtMs = d->clock.elapsed() + lastShownMs;
        d->journal.prune(n);
    }
    d->watcher = new QFileSystemWatcher(this);
    d->reload = new QTimer(this);
    d->reload->setSingleShot(true);
    d->reload->setInterval(ReloadSettleMs);
    connect(d->reload, &QTimer::timeout, this, [this] {
        d->watchFile();
        d->loadScreens();
        d->dispatchAll();
    });
    connect(d->watcher, &QFileSystemWatcher::fileChanged, d->reload, qOverload<>(&QTimer::start));
    connect(d->watcher, &QFileSystemWatcher::directoryChanged, d->reload,
            qOverload<>(&QTimer::start));
    d->watchFile();
    d->started = true;
    for (const Call &call : expired + requeued)
        emit callChanged(call);
    d->dispatchAll();
    return true;
}

void CallService::stop() {
    if (!d->started) return;
    d->stopping = true;
    QThread *home = thread();
    for (auto &[port, l] : d->lines) {
        l->timer->stop();
        LineWorker *w = l->worker;
        QMetaObject::invokeMethod(
            w, [w, home] { w->stopWhenIdle(home); }, Qt::QueuedConnection);
    }
    for (auto &[port, l] : d->lines)
        l->thread->wait();
    // The results of the last exchanges are in: record them before the lines go.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    for (auto &[port, l] : d->lines) {
        delete l->worker;
        delete l->thread;
        delete l->timer;
        for (PendingAction &a : l->actions)
            if (a.done) a.done({ActionResult::Status::NotAcknowledged, QString()});
    }
    d->lines.clear();
    delete d->watcher;
    d->watcher = nullptr;
    delete d->reload;
    d->reload = nullptr;
    d->started = false;
}

QList<ScreenStatus> CallService::screens() const {
    QList<ScreenStatus> all;
    for (int n : d->screens.keys())
        all.append(d->status(n));
    return all;
}

std::optional<ScreenStatus> CallService::screen(int number) const {
    if (!d->screens.contains(number)) return std::nullopt;
    return d->status(number);
}

Accepted CallService::accept(int screen, const CallRequest &request) {
    Accepted a;
    if (!d->screens.contains(screen)) {
        a.status = Accepted::Status::NoSuchScreen;
        return a;
    }
    if (!request.id.isEmpty()) {
        if (const std::optional<Call> known = call(request.id)) {
            a.status = Accepted::Status::Known;
            a.call = *known;
            return a;
        }
    }
    // The checks of "测试上行"/"测试下行", before anything is kept.
    queuecalling::Request checked;
    checked.action = request.line == Line::Upper ? queuecalling::Action::TestUpper
                                                 : queuecalling::Action::TestLower;
    checked.text = request.text;
    checked.colour = request.colour.value_or(Call().colour);
    a.status = Accepted::Status::Refused;
    a.error = queuecalling::validate(checked);
    if (a.error.isEmpty() && !request.lossy)
        a.error = textchecks::unrepresentableProblem(request.text);
    if (!a.error.isEmpty()) return a;
    if (!d->started) {
        a.error = QStringLiteral("服务未启动");
        return a;
    }
    Call c;
    c.id = request.id.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : request.id;
    c.screen = screen;
    c.line = request.line;
    c.text = request.text;
    c.colour = checked.colour;
    c.minDisplayMs = qMax(-1, request.minDisplayMs.value_or(-1));
    c.lossy = request.lossy;
    c.state = CallState::Queued;
    c.accepted = d->nowUtc();
    c.sequence = d->sequence + 1;
    QString error;
    if (!d->journal.insert(c, &error)) {
        a.error = QStringLiteral("呼叫记录写入失败: ") + error;
        return a;
    }
    d->sequence = c.sequence;
    d->runtime[screen].queue.append(c);
    a.status = Accepted::Status::Queued;
    a.call = c;
    a.error.clear();
    emit callChanged(c);
    d->dispatch(d->line(d->screens[screen].registered.port));
    return a;
}

std::optional<Call> CallService::call(const QString &id) const {
    if (const Call *c = d->queued(id)) return *c;
    if (!d->journal.isOpen()) return std::nullopt;
    return d->journal.find(id);
}

CallDesk::Cancel CallService::cancel(const QString &id) {
    int screen = 0;
    Call *c = d->queued(id, &screen);
    if (!c) return call(id) ? Cancel::NotQueued : Cancel::NotFound;
    if (c->state != CallState::Queued) return Cancel::NotQueued;
    ScreenRuntime &rt = d->runtime[screen];
    Call cancelled = *c;
    rt.queue.removeIf([&](const Call &x) { return x.id == id; });
    cancelled.state = CallState::Cancelled;
    d->finish(rt, cancelled);
    return Cancel::Cancelled;
}

void CallService::act(int screen, const ScreenAction &action,
                      const std::function<void(const ActionResult &)> &done) {
    const auto it = d->screens.constFind(screen);
    if (it == d->screens.cend() || !d->started) {
        if (done) done({ActionResult::Status::NoSuchScreen, QString()});
        return;
    }
    if (action.kind == ScreenAction::Kind::Defaults) {
        queuecalling::Request checked;
        checked.text = action.text;
        QString problem = queuecalling::validate(checked);
        if (problem.isEmpty()) problem = textchecks::unrepresentableProblem(action.text);
        if (!problem.isEmpty()) {
            if (done) done({ActionResult::Status::Refused, problem});
            return;
        }
    }
    LineEntry &l = d->line(it->registered.port);
    l.actions.append({screen, action, done});
    d->dispatch(l);
}

QByteArray CallService::picturePng(int screen) const {
    if (!d->screens.contains(screen)) return QByteArray();
    return d->runtime.value(screen).picture;
}

QList<LineHealth> CallService::health() const {
    QList<LineHealth> all;
    for (const auto &[port, l] : d->lines)
        all.append(l->health);
    return all;
}

} // namespace service
