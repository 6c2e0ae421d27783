#include "config/ProgramDirLock.h"

#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRecursiveMutex>
#include <QThread>
#include <memory>

namespace {
// QLockFile does not nest, and a second QLockFile in the same process would
// wait for its own holder: one file, a depth, and a mutex for the threads.
QRecursiveMutex &threads() {
    static QRecursiveMutex mutex;
    return mutex;
}
int depth = 0;
std::unique_ptr<QLockFile> held;

// QLockFile writes its holder's process id right after making the file. A
// holder killed in between leaves an empty file, which QLockFile never takes
// for stale, since no holder is named. One that has stayed unnamed this long
// is no one's.
constexpr qint64 UnnamedAbandonedMs = 2000;

void removeIfAbandoned(QLockFile &file, const QString &path) {
    const auto abandoned = [&] {
        qint64 pid = 0;
        QString host, app;
        const QFileInfo info(path);
        return !file.getLockInfo(&pid, &host, &app) && info.exists() &&
               info.lastModified().msecsTo(QDateTime::currentDateTime()) > UnnamedAbandonedMs;
    };
    if (!abandoned()) return;
    // As QLockFile does for a stale lock: one remover at a time, and the
    // file looked at again under that lock.
    QLockFile remover(path + QStringLiteral(".rmlock"));
    if (remover.tryLock(0) && abandoned()) file.removeStaleLockFile();
}

[[noreturn]] void busy() {
    throw VbError(vberr::PathFileAccessError,
                  QStringLiteral("另一个程序正在修改程序目录中的文件，请稍后再试"));
}
} // namespace

QString ProgramDirLock::fileName() {
    return QStringLiteral("ledfile.lock");
}

ProgramDirLock::ProgramDirLock(int waitMs) {
    if (!threads().tryLock(waitMs)) busy();
    if (depth++ > 0) return;
    const QString path = ProgramDir::filePath(fileName());
    auto file = std::make_unique<QLockFile>(path);
    // Only a holder that is gone makes the lock stale, never its age.
    file->setStaleLockTime(0);
    // QLockFile's own wait doubles its pauses up to seconds, leaving the lock
    // idle while waiters sleep; a turn comes sooner with short, jittered tries.
    const QDeadlineTimer deadline(waitMs);
    while (!file->tryLock(0)) {
        if (file->error() != QLockFile::LockFailedError) break;
        removeIfAbandoned(*file, path);
        if (deadline.hasExpired()) {
            --depth;
            threads().unlock();
            busy();
        }
        QThread::msleep(10u + QRandomGenerator::global()->bounded(20u));
    }
    held = std::move(file);
}

ProgramDirLock::~ProgramDirLock() {
    if (--depth == 0) held.reset(); // unlocks
    threads().unlock();
}
