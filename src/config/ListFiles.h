#pragma once
// The files a screen keeps in its store directory besides ledfile.ini: three
// list files ("List1.txt" the message list, "List2.txt" the text attributes,
// "图像.txt" the image list), each a header "count - 1,flag,..." and one line
// per entry, and one text file per stored text (" k.txt"). Code page 936,
// CR LF, as existing installations write them.
#include <QList>
#include <QString>
#include <QStringList>

namespace ListFiles {

QString messageListName();   // "List1.txt"
QString attributeListName(); // "List2.txt"
QString imageListName();     // "图像.txt"
// One blank, k, ".txt".
QString textFileName(int k);

struct List {
    QStringList entries;
    QList<bool> flags;
};

struct Loaded {
    bool exists = false;
    List list;
    // 62 (input past end of file) when the header counts more lines than
    // follow: the lines there are were read. 0 otherwise.
    int error = 0;
};
// Reads the file; a missing or unreadable file gives exists = false and an
// empty list with `flagCount` unticked flags.
Loaded read(const QString &path, int flagCount);

// The file's bytes: header, then the entries, each on one line (line breaks
// inside an entry dropped).
QByteArray bytes(const List &list);
// A text file's bytes: the line without line breaks, then CR LF.
QByteArray textFileBytes(const QString &line);
// Replaces the file atomically; VbError with the write's error number (70
// no permission, 61 disk full, 76 no such directory, 75 other) otherwise.
void write(const QString &path, const List &list);

// The first line of text file k, or a null string when it does not exist.
QString readText(const QString &directory, int k);

} // namespace ListFiles
