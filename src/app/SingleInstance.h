#pragma once
// One running copy per user: a lock file in the per-user runtime directory.
// A lock left by a crashed copy is recognised as stale and taken over.
#include <QLockFile>
#include <QString>
#include <memory>

class OperatorUi;

class SingleInstance {
  public:
    explicit SingleInstance(const QString &lockPath = defaultLockPath());
    bool acquire();
    // acquire(), or tell the operator that a copy is already running.
    bool acquireOrTell(OperatorUi &ui);
    static QString defaultLockPath();

  private:
    std::unique_ptr<QLockFile> m_lock;
};
