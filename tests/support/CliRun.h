#pragma once
// Runs ledctl in-process and keeps its exit code, stdout and stderr.
#include "cli/Cli.h"

#include <QTextStream>

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

inline CliRun runLedctl(const QStringList &args,
                        const QList<cli::Command> &table = cli::commands()) {
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = cli::run(args, out, err, table);
    out.flush();
    err.flush();
    return r;
}
