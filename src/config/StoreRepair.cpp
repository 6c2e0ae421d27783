#include "config/StoreRepair.h"

#include "config/CIniFile.h"
#include "config/FileSet.h"
#include "config/ProgramDirLock.h"
#include "config/RegistryFile.h"
#include "config/StoreDirectory.h"
#include "protocol/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>

namespace {
constexpr int MaxTexts = 251;

int removeOrphans(CIniFile &ini) {
    static const QRegularExpression textFile(QStringLiteral("^ ([1-9][0-9]{0,8})\\.txt$"));
    int removed = 0;
    for (const RegistryFile::RegisteredScreen &s : RegistryFile::readScreens(ini)) {
        if (!StoreDirectory::isUsableName(s.name)) continue;
        const QString directory = StoreDirectory::pathFor(s.name);
        if (!QFileInfo(directory).isDir()) continue;
        // Only a count that means one thing decides what goes.
        const QString text = ini.ReadString(RegistryFile::sectionName(s.number),
                                            QStringLiteral("TSUM"), RegistryFile::ScreenSize);
        bool ok = false;
        const int count = text.trimmed().toInt(&ok);
        if (!ok || count < 0 || count > MaxTexts) continue;
        const QStringList names = QDir(directory).entryList(QDir::Files);
        for (const QString &name : names) {
            const QRegularExpressionMatch m = textFile.match(name);
            if (m.hasMatch() && m.captured(1).toInt() > count && QFile::remove(directory + name))
                ++removed;
        }
    }
    return removed;
}
} // namespace

StoreRepair::Found StoreRepair::run() {
    Found found;
    std::optional<ProgramDirLock> lock;
    try {
        lock.emplace();
    } catch (const VbError &) {
        // Another program holds the directory and repairs it at its own start.
        return found;
    }
    const FileSet::Recovery r = FileSet::recover();
    found.finished = r.finished;
    found.removed = r.removed;
    CIniFile ini;
    ini.SpecifyIni(RegistryFile::path());
    if (QFileInfo(ini.filePath()).isFile()) found.orphans = removeOrphans(ini);
    return found;
}
