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

// A line is read up to its CR LF (or a lone LF, as editors may leave it); a
// last line without one still counts.
QByteArray withoutCr(const QByteArray &line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

QList<QByteArray> rawLinesOf(const QByteArray &bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        lines.append(withoutCr(bytes.mid(start, end < 0 ? -1 : end - start)));
        if (end < 0) break;
        start = end + 1;
    }
    return lines;
}

// Text only: control bytes other than tab, or bytes code page 936 has no
// character for, mean the line is not text this program wrote.
std::optional<QString> textOf(const QByteArray &line) {
    if (line.size() > MaxLineBytes) return std::nullopt;
    for (char c : line)
        if (quint8(c) < 0x20 && c != '\t') return std::nullopt;
    QStringDecoder gbk("GBK", QStringConverter::Flag::Stateless);
    QString text = gbk.decode(line);
    if (gbk.hasError() || text.contains(QChar::ReplacementCharacter)) return std::nullopt;
    return text;
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
    const QList<QByteArray> lines = rawLinesOf(f.readAll());
    if (lines.isEmpty()) return loaded;
    const QStringList header = textOf(lines.first()).value_or(QString()).split(QLatin1Char(','));
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
        if (const auto text = textOf(lines.at(i)))
            loaded.list.entries.append(*text);
        else
            loaded.skippedLines.append(int(i + 1));
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

TextRead readText(const QString &directory, int k) {
    QFile f(QDir(directory).filePath(textFileName(k)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    // One byte past the limit tells a line that is too long from one that fits.
    const QByteArray head = f.read(MaxLineBytes + 2);
    // A text file holds text throughout: control bytes past the first line
    // (a picture's or a program's bytes) make it no text file.
    for (char c : head)
        if (quint8(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') return {TextRead::NotText, {}};
    const qsizetype end = head.indexOf('\n');
    const QByteArray first = withoutCr(end < 0 ? head : head.left(end));
    if (first.size() > MaxLineBytes) return {TextRead::TooLong, {}};
    const auto text = textOf(first);
    if (!text) return {TextRead::NotText, {}};
    return {TextRead::Loaded, *text};
}

namespace {
const QString Comma = QStringLiteral("，");
const QString EffectLabel = QStringLiteral("，动作方式：");
const QString SpeedLabel = QStringLiteral("，动作速度：");
const QString StayLabel = QStringLiteral("，停留时间：");
constexpr int LabelLength = 5; // "动作方式：" after the comma split

QString attributeTail(const Entry &e) {
    return EffectLabel + e.effect + SpeedLabel + e.speed + StayLabel + e.stay;
}
} // namespace

const QStringList &clockCaptions() {
    static const QStringList captions{
        QStringLiteral("显示日期128点"), QStringLiteral("显示时钟128点"),
        QStringLiteral("显示日期64点 "), QStringLiteral("显示时钟64点 ")};
    return captions;
}

Entry pictureEntry(const QString &picture, const QString &effect, const QString &speed,
                   const QString &stay) {
    Entry e;
    e.picture = picture;
    e.effect = effect;
    e.speed = speed;
    e.stay = stay;
    return e;
}

Entry clockEntry(const QString &caption, const QString &stay) {
    Entry e;
    e.clock = true;
    e.caption = caption;
    e.clockOption = int(clockCaptions().indexOf(caption));
    e.effect = QStringLiteral("立即显示");
    e.stay = stay;
    return e;
}

Entry clockEntry(int option, const QString &stay) {
    return clockEntry(clockCaptions().value(option), stay);
}

Entry readEntry(const QString &line) {
    const QStringList fields = line.split(Comma);
    Entry e;
    e.clock = !line.startsWith(QStringLiteral("第"));
    e.effect = fields.value(1).mid(LabelLength);
    if (e.clock) {
        e.caption = fields.value(0);
        e.clockOption = int(clockCaptions().indexOf(e.caption));
        e.stay = fields.value(2).mid(LabelLength);
    } else {
        const QString head = fields.value(0).mid(1);
        e.picture = head.endsWith(QStringLiteral("幅图")) ? head.chopped(2) : head;
        e.speed = fields.value(2).mid(LabelLength);
        e.stay = fields.value(3).mid(LabelLength);
    }
    if (entryLine(e) != line) e.verbatim = line;
    return e;
}

QString entryLine(const Entry &e) {
    if (e.verbatim) return *e.verbatim;
    if (e.clock) return e.caption + EffectLabel + e.effect + StayLabel + e.stay;
    return QStringLiteral("第") + e.picture + QStringLiteral("幅图") + attributeTail(e);
}

Entry readAttributes(const QString &line) {
    const QStringList fields = line.split(Comma);
    Entry e;
    e.effect = fields.value(1).mid(LabelLength);
    e.speed = fields.value(2).mid(LabelLength);
    e.stay = fields.value(3).mid(LabelLength);
    if (attributeTail(e) != line) e.verbatim = line;
    return e;
}

QString attributeLine(const Entry &attributes) {
    return attributes.verbatim ? *attributes.verbatim : attributeTail(attributes);
}

Entry withPicture(const Entry &attributes, const QString &picture) {
    if (attributes.verbatim)
        return readEntry(QStringLiteral("第") + picture + QStringLiteral("幅图") +
                         *attributes.verbatim);
    Entry e = attributes;
    e.picture = picture;
    return e;
}

PoolText readPoolText(const QString &line) {
    if (line.size() >= 3 && line.at(2) == QLatin1Char(' ')) return {line.left(2), line.mid(3)};
    if (line.startsWith(QLatin1Char(' '))) return {QString(), line.mid(1)};
    // Lines of other makes lose nothing of their text.
    return {line.left(2), line, false};
}

QString poolLine(const PoolText &text) {
    return text.blank ? text.colour + QLatin1Char(' ') + text.text : text.text;
}

} // namespace ListFiles
