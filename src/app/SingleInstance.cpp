#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath)) {
    // Only a lock whose owner process is gone is stale; age does not matter.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire() { return m_lock->tryLock(0); }

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QStringLiteral("/ledcounter.lock");
}
