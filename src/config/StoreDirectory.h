#pragma once
// Every screen keeps its lists and texts in a directory named after it under
// MapDepot in the program directory. A screen name therefore has to be a
// usable directory name that stays inside MapDepot on every platform.
#include <QString>

namespace StoreDirectory {
// MapDepot in the program directory, without a trailing '/'.
QString depot();
// Not empty, at most 99 bytes in code page 936 (so it reads back whole), every
// character in code page 936, no control characters, none of \ / : * ? " < > |,
// not "." or "..". Blanks around the name do not count.
bool isUsableName(const QString &name);
// depot()/name/ with the name's surrounding blanks removed; ends in '/'.
// Raises VbError 76 for a name that is no usable directory name.
QString pathFor(const QString &name);
// Creates MapDepot and the screen's directory as needed and returns pathFor().
// Raises VbError 76 for a name that is no usable directory name, 75 when a
// directory cannot be created.
QString ensure(const QString &name);
// True when a directory that is not the screen's own (left by a deleted
// screen, say) already has the new name: a rename would replace it.
bool leftoverAt(const QString &oldName, const QString &newName);
// For a rename: the old directory becomes the new one, replacing whatever
// had the new name. Returns false when the move failed; everything is then
// where it was.
bool moveOnRename(const QString &oldName, const QString &newName);
} // namespace StoreDirectory
