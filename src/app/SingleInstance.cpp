#include "app/SingleInstance.h"

#include "protocol/OperatorUi.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath)) {
    // Only a lock whose owner process is gone is stale; age does not matter.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    return m_lock->tryLock(0);
}

bool SingleInstance::acquireOrTell(OperatorUi &ui) {
    if (acquire()) return true;
    ui.message(QStringLiteral("已经有一个相同的程序在运行，请关闭"), QStringLiteral("字库程序"));
    return false;
}

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QStringLiteral("/ledcounter.lock");
}
