#pragma once
// The files a screen keeps in its store directory besides ledfile.ini: three
// list files ("List1.txt" the message list, "List2.txt" the text attributes,
// "图像.txt" the image list), each a header "count - 1,flag,..." and one line
// per entry, and one text file per stored text (" k.txt"). Code page 936,
// CR LF, as existing installations write them.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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

// Longest line a list or text file is read with: far above any entry or
// text the program writes, so a longer one is damage, not data.
constexpr int MaxLineBytes = 4096;

struct Loaded {
    bool exists = false;
    List list;
    // 62 (input past end of file) when the header counts more lines than
    // follow: the lines there are were read. 0 otherwise.
    int error = 0;
    // 1-based line numbers left out: bytes that are no code page 936 text,
    // or longer than MaxLineBytes. Such a file must not be rewritten from
    // what was loaded.
    QList<int> skippedLines;
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

struct TextRead {
    enum Status { Loaded, Missing, NotText, TooLong } status = Missing;
    QString text; // the first line when Loaded
};
// The first line of text file k. Only its first MaxLineBytes are read; a
// first line that is longer, or holds bytes that are no code page 936 text,
// is not loaded.
TextRead readText(const QString &directory, int k);

// One line of the message list, "第N幅图，动作方式：E，动作速度：S，停留时间：T"
// or a clock caption with "，动作方式：立即显示，停留时间：T", and one line of the
// attribute list, the same without its "第N幅图". Fields are kept as the
// line spells them, so that writing an entry gives back the line it was read from.
struct Entry {
    bool clock = false;
    int clockOption = -1; // clock entries: position in clockCaptions(), -1 for another caption
    QString caption;      // clock entries: the text before the first "，"
    QString picture;      // picture entries: the number between "第" and "幅图"
    QString effect;
    QString speed;
    QString stay;
    // A line of another shape, written back as it stands.
    std::optional<QString> verbatim;
};
// "显示日期128点", "显示时钟128点", "显示日期64点 ", "显示时钟64点 " (8 characters each).
const QStringList &clockCaptions();
Entry pictureEntry(const QString &picture, const QString &effect, const QString &speed,
                   const QString &stay);
Entry clockEntry(int option, const QString &stay);
Entry clockEntry(const QString &caption, const QString &stay);
Entry readEntry(const QString &line);
QString entryLine(const Entry &entry);
Entry readAttributes(const QString &line);
QString attributeLine(const Entry &attributes);
// The message list entry that shows `picture` with these attributes.
Entry withPicture(const Entry &attributes, const QString &picture);

// One text of the pool as its text file holds it: colour name, blank, text.
struct PoolText {
    QString colour; // the line's first two characters
    QString text;
    // Lines of other makes: without the blank the text is the whole line.
    bool blank = true;
};
PoolText readPoolText(const QString &line);
QString poolLine(const PoolText &text);

} // namespace ListFiles
