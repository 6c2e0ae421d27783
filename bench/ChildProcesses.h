#pragma once
// What the benchmarks share: ledsim as a child that has announced its link,
// ledctl run to the end with its own resource use (wait4 on its pid), medians.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace bench {

inline QString binary(const char *name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

inline double cpuMs(const rusage &r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
}

// A ledsim child that has announced its link.
struct Sim {
    QProcess process;
    bool start(const QString &dir, int port, const QStringList &extra) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(binary("ledsim"),
                      QStringList{QStringLiteral("--dir"), dir, QStringLiteral("--port"),
                                  QString::number(port)} +
                          extra);
        if (!process.waitForStarted()) return false;
        while (!process.canReadLine())
            if (!process.waitForReadyRead(10000)) return false;
        return process.readLine().startsWith("ready ");
    }
    // Once ledsim has ended, its state file is final.
    bool stop() {
        if (process.state() == QProcess::NotRunning) return true;
        process.terminate();
        return process.waitForFinished(5000);
    }
    ~Sim() { stop(); }
};

// `ledctl serve` as a child that has said where it listens; port() is 0 until then.
struct Service {
    QProcess process;
    quint16 port = 0;
    bool start(const QString &dir, const QStringList &extra = {}) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(binary("ledctl"),
                      QStringList{QStringLiteral("--dir"), dir, QStringLiteral("serve"),
                                  QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                          extra);
        QByteArray line;
        while (!line.startsWith("listening on ") && process.waitForReadyRead(15000))
            line = process.readLine().trimmed();
        const qsizetype colon = line.lastIndexOf(':');
        if (line.startsWith("listening on ") && colon > 0)
            port = quint16(line.mid(colon + 1).toUInt());
        return port > 0;
    }
};

// Runs ledctl to the end and returns its own resource use (wait4 on its pid).
struct Run {
    int code = -1;
    double wallMs = 0;
    rusage usage{};
};
inline Run runLedctl(const QStringList &args,
                     const QString &errFile = QStringLiteral("/dev/null")) {
    Run run;
    const QByteArray exe = QFile::encodeName(binary("ledctl"));
    std::vector<QByteArray> store{exe};
    for (const QString &a : args)
        store.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &s : store)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    // stderr kept in a file: it tells why an upload failed.
    const QByteArray errPath = QFile::encodeName(errFile);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    wait4(pid, &status, 0, &run.usage);
    run.wallMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

template <typename T> T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
