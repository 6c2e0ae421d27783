#include "config/ListFiles.h"

#include "config/AtomicFile.h"
#include "protocol/VbError.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace ListFiles {

namespace {
constexpr int InputPastEndOfFile = 62;

// One entry is one line: a line break typed or pasted into it would split it
// into two entries on the next load.
QString oneLine(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QStringList linesOf(const QByteArray &bytes) {
    QStringDecoder gbk("GBK");
    QString text = gbk.decode(bytes);
    // A line is read up to its CR LF; a last line without one still counts.
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace

QString messageListName() {
    return QStringLiteral("List1.txt");
}
QString attributeListName() {
    return QStringLiteral("List2.txt");
}
QString imageListName() {
    return QStringLiteral("图像.txt");
}
QString textFileName(int k) {
    return QStringLiteral(" %1.txt").arg(k);
}

Loaded read(const QString &path, int flagCount) {
    Loaded loaded;
    loaded.list.flags = QList<bool>(flagCount, false);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return loaded;
    loaded.exists = true;
    const QStringList lines = linesOf(f.readAll());
    if (lines.isEmpty()) return loaded;
    const QStringList header = lines.first().split(QLatin1Char(','));
    for (int i = 0; i < flagCount; ++i)
        loaded.list.flags[i] = header.value(i + 1).trimmed() == QLatin1String("1");
    // A damaged count is read as far as there are lines.
    const qint64 stored = header.first().trimmed().toLongLong();
    const qint64 count = qBound<qint64>(-1, stored, qint64(1) << 30) + 1;
    for (qint64 i = 1; i <= count; ++i) {
        if (i >= lines.size()) {
            loaded.error = InputPastEndOfFile;
            break;
        }
        loaded.list.entries.append(lines.at(i));
    }
    return loaded;
}

QByteArray bytes(const List &list) {
    QString text = QString::number(list.entries.size() - 1);
    for (bool flag : list.flags)
        text += flag ? QStringLiteral(",1") : QStringLiteral(",0");
    text += QStringLiteral("\r\n");
    for (const QString &e : list.entries)
        text += oneLine(e) + QStringLiteral("\r\n");
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

QByteArray textFileBytes(const QString &line) {
    QStringEncoder gbk("GBK");
    return gbk.encode(oneLine(line) + QStringLiteral("\r\n"));
}

void write(const QString &path, const List &list) {
    if (const int number = AtomicFile::replace(path, bytes(list)))
        throw VbError(number, QStringLiteral("写入失败：") + path);
}

QString readText(const QString &directory, int k) {
    QFile f(QDir(directory).filePath(textFileName(k)));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    const QStringList lines = linesOf(f.readAll());
    return lines.isEmpty() ? QStringLiteral("") : lines.first();
}

} // namespace ListFiles
