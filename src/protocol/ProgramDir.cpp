#include "protocol/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &overridden() {
    static QString dir;
    return dir;
}
} // namespace

QString ProgramDir::path() {
    if (!overridden().isEmpty()) return overridden();
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable()) return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

void ProgramDir::setOverride(const QString &dir) {
    overridden() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

QString ProgramDir::filePath(const QString &name) {
    return path() + QLatin1Char('/') + name;
}
