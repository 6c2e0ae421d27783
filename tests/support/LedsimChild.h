#pragma once
// The virtual screen as a process of its own, on port `port` of program
// directory `dir`; stopped with SIGTERM when it goes out of scope. For tests
// whose own thread must not serve the board.
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

struct LedsimChild {
    QProcess process;
    QString readyLine;
    LedsimChild(const QString &dir, int port, const QStringList &extra) {
        process.start(QStringLiteral(LEDCOUNTER_BIN_DIR) + QStringLiteral("/ledsim"),
                      QStringList{QStringLiteral("--dir"), dir, QStringLiteral("--port"),
                                  QString::number(port)} +
                          extra);
    }
    bool waitReady() {
        if (!process.waitForStarted()) return false;
        QElapsedTimer t;
        t.start();
        while (!process.canReadLine() && t.elapsed() < 10000)
            if (!process.waitForReadyRead(10000 - int(t.elapsed()))) break;
        readyLine = QString::fromUtf8(process.readLine()).trimmed();
        return readyLine.startsWith(QStringLiteral("ready "));
    }
    ~LedsimChild() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(5000)) process.kill();
    }
};
