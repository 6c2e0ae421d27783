#pragma once
// Where ledfile.ini, MapDepot/ and ports/ live: the executable's directory
// when it is writable, else the per-user data directory. Tests and ledctl's
// --dir point it elsewhere.
#include <QString>

namespace ProgramDir {
QString path();
void setOverride(const QString &dir);
QString filePath(const QString &name);
} // namespace ProgramDir
