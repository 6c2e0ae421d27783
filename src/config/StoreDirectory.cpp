#include "config/StoreDirectory.h"

#include "config/IniCodec.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"

#include <QDir>
#include <QFileInfo>

QString StoreDirectory::depot() {
    return ProgramDir::filePath(QStringLiteral("MapDepot"));
}

bool StoreDirectory::isUsableName(const QString &name) {
    const QString n = name.trimmed();
    if (n.isEmpty() || n == QLatin1String(".") || n == QLatin1String("..")) return false;
    if (!IniCodec::canEncode(n) || IniCodec::encode(n).size() > 99) return false;
    for (const QChar c : n)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    return true;
}

QString StoreDirectory::pathFor(const QString &name) {
    // A name from a hand-edited ledfile.ini may still lead out of MapDepot.
    if (!isUsableName(name))
        throw VbError(vberr::PathNotFound, QStringLiteral("屏名不能用作目录名：") + name);
    return depot() + QLatin1Char('/') + name.trimmed() + QLatin1Char('/');
}

QString StoreDirectory::ensure(const QString &name) {
    const QString path = pathFor(name);
    if (QDir().mkpath(path) && QFileInfo(path).isDir()) return path;
    const QFileInfo store(depot());
    if (store.exists() && !store.isDir())
        throw VbError(vberr::PathFileAccessError,
                      QStringLiteral("%1 是一个文件，不是文件夹，不能建立屏幕目录").arg(depot()));
    const QString parent = store.exists() ? depot() : ProgramDir::path();
    if (!QFileInfo(parent).isWritable())
        throw VbError(vberr::PathFileAccessError,
                      QStringLiteral("不能建立目录 %1：%2 不能写入").arg(path, parent));
    throw VbError(vberr::PathFileAccessError, QStringLiteral("不能建立目录 ") + path);
}

namespace {
QString directoryOf(const QString &name) {
    return StoreDirectory::depot() + QLatin1Char('/') + name.trimmed();
}

// The same directory under two spellings (a change of case on Windows).
bool sameDirectory(const QString &a, const QString &b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

bool StoreDirectory::leftoverAt(const QString &oldName, const QString &newName) {
    if (!isUsableName(oldName) || !isUsableName(newName)) return false;
    const QString from = directoryOf(oldName);
    const QString to = directoryOf(newName);
    return from != to && QFileInfo::exists(to) && !sameDirectory(from, to);
}

bool StoreDirectory::moveOnRename(const QString &oldName, const QString &newName) {
    if (!isUsableName(oldName) || !isUsableName(newName)) return true;
    const QString from = directoryOf(oldName);
    const QString to = directoryOf(newName);
    if (from == to) return true;
    QDir dir;
    if (sameDirectory(from, to)) return dir.rename(from, to);
    // What lies at the new name is set aside first and removed only after
    // the screen's own directory took its place; a failed move puts it back.
    QString aside;
    if (QFileInfo::exists(to)) {
        aside = depot() + QStringLiteral("/.") + newName.trimmed() + QStringLiteral(".replaced");
        if (QFileInfo::exists(aside) && !QDir(aside).removeRecursively()) return false;
        if (!dir.rename(to, aside)) return false;
    }
    if (QFileInfo(from).isDir() && !dir.rename(from, to)) {
        if (!aside.isEmpty()) dir.rename(aside, to);
        return false;
    }
    if (!aside.isEmpty()) QDir(aside).removeRecursively();
    return true;
}
