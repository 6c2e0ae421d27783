#include "workflows/ScreenLists.h"

#include "config/FileSet.h"
#include "config/ListFiles.h"
#include "config/ProgramDirLock.h"
#include "encoding/Gbk.h"

TextPoolModel::Half::Half(TextPoolModel *pool, bool attributes)
    : m_pool(pool), m_attributes(attributes) {
    setSourceModel(pool);
}

bool TextPoolModel::Half::filterAcceptsRow(int row, const QModelIndex &) const {
    return row < (m_attributes ? m_pool->attributeCount() : m_pool->textCount());
}

QVariant TextPoolModel::Half::data(const QModelIndex &index, int role) const {
    if (m_attributes && (role == Qt::DisplayRole || role == Qt::EditRole)) role = AttributeRole;
    return QSortFilterProxyModel::data(index, role);
}

TextPoolModel::TextPoolModel(QObject *parent)
    : QAbstractListModel(parent), m_textView(this, false), m_attributeView(this, true) {}

int TextPoolModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(qMax(m_texts.size(), m_attributes.size()));
}

QVariant TextPoolModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int p = index.row();
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && p < textCount())
        return ListFiles::poolLine(m_texts.at(p));
    if (role == AttributeRole && p < attributeCount())
        return ListFiles::attributeLine(m_attributes.at(p));
    return {};
}

QStringList TextPoolModel::textLines() const {
    QStringList lines;
    for (const Text &t : m_texts)
        lines.append(ListFiles::poolLine(t));
    return lines;
}

QStringList TextPoolModel::attributeLines() const {
    QStringList lines;
    for (const Attributes &a : m_attributes)
        lines.append(ListFiles::attributeLine(a));
    return lines;
}

void TextPoolModel::changeRows(const std::function<void()> &change) {
    // Rows whose halves change in number are shown anew.
    beginResetModel();
    change();
    endResetModel();
}

void TextPoolModel::setTextLines(const QStringList &lines) {
    changeRows([&] {
        m_texts.clear();
        for (const QString &l : lines)
            m_texts.append(ListFiles::readPoolText(l));
    });
}

void TextPoolModel::setAttributeLines(const QStringList &lines) {
    changeRows([&] {
        m_attributes.clear();
        for (const QString &l : lines)
            m_attributes.append(ListFiles::readAttributes(l));
    });
}

void TextPoolModel::setText(int p, const Text &text) {
    if (p < 0 || p >= textCount()) return;
    m_texts[p] = text;
    emit dataChanged(index(p), index(p));
}

void TextPoolModel::setAttributes(int p, const Attributes &attributes) {
    if (p < 0 || p >= attributeCount()) return;
    m_attributes[p] = attributes;
    emit dataChanged(index(p), index(p));
}

void TextPoolModel::append(const Text &text, const Attributes &attributes) {
    if (textCount() != attributeCount()) {
        changeRows([&] {
            m_texts.append(text);
            m_attributes.append(attributes);
        });
        return;
    }
    beginInsertRows({}, textCount(), textCount());
    m_texts.append(text);
    m_attributes.append(attributes);
    endInsertRows();
}

void TextPoolModel::removeAt(int p) {
    if (p < 0 || p >= rowCount()) return;
    // Whichever halves row p has, the rows after it move up one.
    beginRemoveRows({}, p, p);
    if (p < textCount()) m_texts.removeAt(p);
    if (p < attributeCount()) m_attributes.removeAt(p);
    endRemoveRows();
}

void TextPoolModel::clear() {
    changeRows([&] {
        m_texts.clear();
        m_attributes.clear();
    });
}

ScreenLists::ScreenLists(QObject *parent) : QObject(parent) {
    // Whatever enters a list is looked at: its file holds code page 936 only.
    // A changed list is the operator's and may replace a file loaded in part.
    const auto watch = [this](QAbstractItemModel *model, const QString &file, auto lines) {
        const auto look = [this, lines, file] {
            lookForUnstorable(lines());
            if (!m_loading) m_partial.remove(file);
        };
        connect(model, &QAbstractItemModel::rowsInserted, this, look);
        connect(model, &QAbstractItemModel::rowsRemoved, this, look);
        connect(model, &QAbstractItemModel::dataChanged, this, look);
        connect(model, &QAbstractItemModel::modelReset, this, look);
    };
    watch(&messages, ListFiles::messageListName(), [this] { return messages.lines(); });
    watch(&pool, ListFiles::attributeListName(),
          [this] { return pool.textLines() + pool.attributeLines(); });
    watch(&images, ListFiles::imageListName(), [this] { return images.stringList(); });
}

void ScreenLists::lookForUnstorable(const QStringList &lines) {
    for (const QString &entry : lines) {
        const QString lost = gbk::unrepresentable(entry);
        if (lost.isEmpty() || m_warned.contains(entry)) continue;
        m_warned.insert(entry);
        emit unstorable(entry, lost);
    }
}

QString ScreenLists::unstorableWarning(const QString &entry, const QString &characters) {
    return QStringLiteral("“%1”中的字符“%2”不能存入文件，存入后会变成“?”。").arg(entry, characters);
}

namespace {
QString skippedWords(const QString &file, const QList<int> &lines) {
    QStringList numbers;
    for (int n : lines)
        numbers.append(QString::number(n));
    return QStringLiteral("%1 第 %2 行").arg(file, numbers.join(QStringLiteral("、")));
}
} // namespace

int ScreenLists::load(const QString &directory) {
    m_loading = true;
    m_partial.clear();
    notLoaded.clear();
    const struct Done {
        bool &loading;
        ~Done() { loading = false; }
    } done{m_loading};
    // No directory: nothing to read, and never the working directory's files.
    const ListFiles::Loaded first =
        directory.isEmpty()
            ? ListFiles::Loaded{}
            : ListFiles::read(directory + ListFiles::messageListName(), MessageList::ClockOptions);
    if (!first.exists) {
        // A screen without list files has empty lists: another screen's
        // entries must not be saved into its files on the next save.
        messages.clearAll();
        pool.setAttributeLines({});
        for (int i = 0; i < 4; ++i)
            attributeFlags[i] = false;
        images.setStringList({});
        emit loaded();
        return 0;
    }
    messages.setLines(first.list.entries);
    messages.setTicked(first.list.flags);
    const ListFiles::Loaded second =
        ListFiles::read(directory + ListFiles::attributeListName(), int(attributeFlags.size()));
    pool.setAttributeLines(second.list.entries);
    attributeFlags = second.list.flags;
    const ListFiles::Loaded third = ListFiles::read(directory + ListFiles::imageListName(), 0);
    images.setStringList(third.list.entries);
    QStringList skipped;
    const QList<std::pair<QString, const ListFiles::Loaded *>> files{
        {ListFiles::messageListName(), &first},
        {ListFiles::attributeListName(), &second},
        {ListFiles::imageListName(), &third}};
    for (const auto &[name, file] : files) {
        if (file->skippedLines.isEmpty()) continue;
        m_partial.insert(name);
        skipped.append(skippedWords(directory + name, file->skippedLines));
    }
    if (!skipped.isEmpty())
        notLoaded = QStringLiteral("%1 不是可读的文字（或太长），没有读入；这些列表改动之前，"
                                   "文件不会被改写。")
                        .arg(skipped.join(QStringLiteral("；")));
    m_loading = false;
    emit loaded();
    for (int error : {first.error, second.error, third.error})
        if (error) return error;
    return 0;
}

void ScreenLists::save(const QString &directory) const {
    const ProgramDirLock lock;
    QList<bool> clocks;
    for (int i = 0; i < MessageList::ClockOptions; ++i)
        clocks.append(messages.ticked(i));
    // One set: a kill never leaves a new message list beside old others. A file
    // loaded in part keeps what could not be loaded until the operator changes
    // its list.
    FileSet files;
    const auto write = [&](const QString &name, const ListFiles::List &list) {
        if (!m_partial.contains(name)) files.replace(directory + name, ListFiles::bytes(list));
    };
    write(ListFiles::messageListName(), {messages.lines(), clocks});
    write(ListFiles::attributeListName(), {pool.attributeLines(), attributeFlags});
    write(ListFiles::imageListName(), {images.stringList(), {}});
    files.commit();
}

bool ScreenLists::isEmpty() const {
    return messages.count() == 0 && pool.attributeCount() == 0 && images.rowCount() == 0;
}

QStringList ScreenLists::textPool(const QString &directory, int count, QString *notLoaded) {
    QStringList pool;
    if (notLoaded) notLoaded->clear();
    if (directory.isEmpty()) return pool;
    QStringList problems;
    if (count > MaxTexts)
        problems.append(QStringLiteral("ledfile.ini 中 TSUM=%1，文字库最多 %2 条，只读入前 %2 条")
                            .arg(count)
                            .arg(MaxTexts));
    QStringList missing;
    for (int k = 1; k <= qMin(count, MaxTexts); ++k) {
        const ListFiles::TextRead read = ListFiles::readText(directory, k);
        const QString file = directory + ListFiles::textFileName(k);
        if (read.status == ListFiles::TextRead::Loaded)
            pool.append(read.text);
        else if (read.status == ListFiles::TextRead::Missing)
            missing.append(file);
        else if (read.status == ListFiles::TextRead::NotText)
            problems.append(QStringLiteral("%1 不是文字").arg(file));
        else
            problems.append(QStringLiteral("%1 太长").arg(file));
    }
    // Many missing files (a TSUM raised by hand) are one remark, not a page.
    if (missing.size() == 1)
        problems.append(QStringLiteral("%1 不存在").arg(missing.first()));
    else if (!missing.isEmpty())
        problems.append(
            QStringLiteral("%1 等 %2 个文字文件不存在").arg(missing.first()).arg(missing.size()));
    if (notLoaded && !problems.isEmpty())
        *notLoaded =
            QStringLiteral("文字没有全部读入：%1。").arg(problems.join(QStringLiteral("；")));
    return pool;
}
