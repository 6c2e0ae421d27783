#pragma once
// File-system faults on cue for tests of refused writes. Root writes through
// read-only modes, so RunUnprivileged switches the effective user to nobody
// while it lives; FileSizeLimit makes writes beyond a size fail the way a
// full disk does.
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

class RunUnprivileged {
  public:
    RunUnprivileged() {
        if (geteuid() != 0) return;
        if (setegid(65534) != 0) return;
        if (seteuid(65534) != 0) {
            [[maybe_unused]] const int restored = setegid(0);
            return;
        }
        m_switched = true;
    }
    ~RunUnprivileged() {
        if (!m_switched) return;
        [[maybe_unused]] const int u = seteuid(0);
        [[maybe_unused]] const int g = setegid(0);
    }
    RunUnprivileged(const RunUnprivileged &) = delete;
    RunUnprivileged &operator=(const RunUnprivileged &) = delete;
    // True when file permissions now apply to this process.
    bool active() const { return geteuid() != 0; }

  private:
    bool m_switched = false;
};

// Read-only for everyone, but still readable and traversable by others, so
// that an unprivileged process can read what lies inside.
inline bool makeReadOnly(const QString &path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

inline bool makeWritable(const QString &path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther);
}

class FileSizeLimit {
  public:
    explicit FileSizeLimit(qint64 bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        if (!m_ok) return;
        rlimit limited = m_old;
        limited.rlim_cur = static_cast<rlim_t>(bytes);
        m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        if (m_ok) setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return m_ok; }

  private:
    rlimit m_old{};
    bool m_ok = false;
    void (*m_oldHandler)(int) = SIG_DFL;
};
