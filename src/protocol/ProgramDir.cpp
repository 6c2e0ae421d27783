#include "protocol/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
// For the user the program runs as (its effective user), a read-only mount included.
bool writable(const QString &dir) {
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(dir).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(dir).isWritable();
#endif
}

QString &overridden() {
    static QString dir;
    return dir;
}
} // namespace

ProgramDir::Location ProgramDir::locate(const QString &exeDir, const QString &dataDir) {
    if (!exeDir.isEmpty() && writable(exeDir)) return {exeDir, QString()};
    // Screens kept beside the executable are not lost, only out of reach:
    // the operator is told where the files are now and why.
    return {dataDir, QStringLiteral("程序目录 %1 不能写入，屏幕设置 ledfile.ini 和 MapDepot "
                                    "现在保存在 %2。程序目录中原有的屏幕设置不会被读取。")
                         .arg(QDir::toNativeSeparators(exeDir), QDir::toNativeSeparators(dataDir))};
}

namespace {
ProgramDir::Location applicationLocation() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const ProgramDir::Location where =
        ProgramDir::locate(QCoreApplication::applicationDirPath(), data);
    if (where.path == data) QDir().mkpath(data);
    return where;
}
} // namespace

QString ProgramDir::path() {
    if (!overridden().isEmpty()) return overridden();
    return applicationLocation().path;
}

QString ProgramDir::notice() {
    if (!overridden().isEmpty()) return QString();
    return applicationLocation().notice;
}

void ProgramDir::setOverride(const QString &dir) {
    overridden() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

QString ProgramDir::filePath(const QString &name) {
    return path() + QLatin1Char('/') + name;
}
