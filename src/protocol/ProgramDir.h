#pragma once
// Where ledfile.ini, MapDepot/ and ports/ live: the executable's directory
// when it is writable, else the per-user data directory. Tests and ledctl's
// --dir point it elsewhere.
#include <QString>

namespace ProgramDir {
struct Location {
    QString path;
    // Why the files are not in the executable's directory; empty when they are.
    QString notice;
};
// The executable's directory when it is writable, else `dataDir`.
Location locate(const QString &exeDir, const QString &dataDir);
QString path();
// The operator's words for a program directory that moved to the per-user
// data directory; empty when it did not (or a directory was given).
QString notice();
void setOverride(const QString &dir);
QString filePath(const QString &name);
} // namespace ProgramDir
