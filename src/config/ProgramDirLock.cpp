#include "config/ProgramDirLock.h"

#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"

#include <QDeadlineTimer>
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
    auto file = std::make_unique<QLockFile>(ProgramDir::filePath(fileName()));
    // Only a holder that is gone makes the lock stale, never its age.
    file->setStaleLockTime(0);
    // QLockFile's own wait doubles its pauses up to seconds, leaving the lock
    // idle while waiters sleep; a turn comes sooner with short, jittered tries.
    const QDeadlineTimer deadline(waitMs);
    while (!file->tryLock(0)) {
        if (file->error() != QLockFile::LockFailedError) break;
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
