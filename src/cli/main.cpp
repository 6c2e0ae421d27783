#include "cli/Cli.h"
#include "config/AtomicFile.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv) {
    AtomicFile::reportFileSizeLimit();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments();
    args.removeFirst();
    const int code = cli::run(args, out, err);
    out.flush();
    return code;
}
