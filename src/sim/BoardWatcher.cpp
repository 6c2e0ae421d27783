#include "sim/BoardWatcher.h"

#include "sim/BoardScene.h"
#include "sim/ScreenRenderer.h"
#include "sim/StateJson.h"
#include "sim/VirtualLine.h"

#include <QSaveFile>

BoardWatcher::BoardWatcher(VirtualLine &line, QObject *parent) : QObject(parent), m_line(line) {
    m_next.setSingleShot(true);
    m_next.setTimerType(Qt::PreciseTimer);
    connect(&m_next, &QTimer::timeout, this, &BoardWatcher::refreshAll);
    connect(&line, &VirtualLine::exchanged, this, &BoardWatcher::exchanged);
}

QImage BoardWatcher::dots(const VirtualBoard &board) {
    return render(sceneOf(board.state(), board.nowMs()));
}

void BoardWatcher::refreshAll() {
    writeFiles();
    if (onPicture)
        for (const VirtualBoard *b : m_line.boards())
            onPicture(*b, dots(*b), b->state().lastExchange);
    scheduleNext();
}

void BoardWatcher::exchanged(VirtualBoard *board) {
    writeFiles();
    if (onPicture && board) onPicture(*board, dots(*board), board->state().lastExchange);
    scheduleNext();
}

void BoardWatcher::writeFiles() {
    const QList<VirtualBoard *> boards = m_line.boards();
    if (boards.isEmpty()) return;
    QString error;
    // The picture first: once the state file tells of an exchange, the
    // snapshot already shows it. Both atomically, so that a reader never
    // sees half a file.
    if (!m_snapshotPath.isEmpty()) {
        QSaveFile file(m_snapshotPath);
        if (!file.open(QIODevice::WriteOnly) || !dots(*boards.first()).save(&file, "PNG") ||
            !file.commit())
            error = QStringLiteral("cannot write %1: %2").arg(m_snapshotPath, file.errorString());
    }
    QString stateError;
    if (!m_statePath.isEmpty() &&
        !writeFileAtomically(m_statePath, stateJson(m_line, boards.first()->nowMs()), &stateError))
        error = error.isEmpty() ? stateError : error + QStringLiteral("; ") + stateError;
    if (!error.isEmpty() && error != m_lastError && onError) onError(error);
    m_lastError = error;
}

void BoardWatcher::scheduleNext() {
    qint64 next = -1, now = 0;
    for (const VirtualBoard *b : m_line.boards()) {
        now = b->nowMs();
        const qint64 t = nextSceneChangeMs(b->state(), now);
        if (t >= 0 && (next < 0 || t < next)) next = t;
    }
    if (next < 0) {
        m_next.stop();
        return;
    }
    m_next.start(int(qBound<qint64>(0, next - now, qint64(24) * 3600 * 1000)));
}
