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
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        throw VbError(75, QStringLiteral("不能建立目录 ") + path);
    return path;
}

bool StoreDirectory::moveOnRename(const QString &oldName, const QString &newName) {
    if (!isUsableName(oldName) || !isUsableName(newName)) return true;
    const QString from = depot() + QLatin1Char('/') + oldName.trimmed();
    const QString to = depot() + QLatin1Char('/') + newName.trimmed();
    if (from == to || !QFileInfo(from).isDir() || QFileInfo::exists(to)) return true;
    return QDir().rename(from, to);
}
