#pragma once
// A temporary program directory for one test: ProgramDir points at it while
// the object lives, and only ports the test links there exist.
#include "protocol/PortLocator.h"
#include "protocol/ProgramDir.h"

#include <QTemporaryDir>

class TempProgramDir {
  public:
    TempProgramDir() {
        ProgramDir::setOverride(m_dir.path());
        PortLocator::setLinksOnly(true);
    }
    ~TempProgramDir() {
        ProgramDir::setOverride(QString());
        PortLocator::setLinksOnly(false);
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }

  private:
    QTemporaryDir m_dir;
};
