#pragma once
// A full disk on cue, after KeePassXC's tests/FailDevice.h: a device that
// passes a file's bytes on until its budget is spent, then writes no more.
// While a DiskFaults lives, the n-th file AtomicFile writes (1 the first)
// goes through one, so that each write of an action can be made to fail.
#include "config/AtomicFile.h"

#include <QIODevice>
#include <memory>

class FailDevice : public QIODevice {
  public:
    FailDevice(QIODevice &target, qint64 budget) : m_target(target), m_budget(budget) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

  protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override {
        const qint64 passed = qMin(size, m_budget);
        if (passed > 0 && m_target.write(data, passed) != passed) return -1;
        m_budget -= passed;
        if (passed == size) return size;
        setErrorString(QStringLiteral("No space left on device"));
        return passed > 0 ? passed : -1;
    }

  private:
    QIODevice &m_target;
    qint64 m_budget;
};

class DiskFaults {
  public:
    explicit DiskFaults(int failing, qint64 budget = 3) {
        AtomicFile::setWriteDevice([=, this](QIODevice &file) -> std::unique_ptr<QIODevice> {
            if (++m_writes != failing) return nullptr;
            return std::make_unique<FailDevice>(file, budget);
        });
    }
    ~DiskFaults() { AtomicFile::setWriteDevice(nullptr); }
    DiskFaults(const DiskFaults &) = delete;
    DiskFaults &operator=(const DiskFaults &) = delete;
    // Files written since this began.
    int writes() const { return m_writes; }

  private:
    int m_writes = 0;
};
