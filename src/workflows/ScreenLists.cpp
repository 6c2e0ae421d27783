#include "workflows/ScreenLists.h"

#include "config/ListFiles.h"
#include "config/ProgramDirLock.h"
#include "encoding/Gbk.h"

ScreenLists::ScreenLists(QObject *parent) : QObject(parent) {
    // Whatever enters a list is looked at: its file holds code page 936 only.
    for (QStringListModel *model :
         {static_cast<QStringListModel *>(&messages), &pool, &attributes, &images}) {
        const auto look = [this, model] { lookForUnstorable(*model); };
        connect(model, &QAbstractItemModel::rowsInserted, this, look);
        connect(model, &QAbstractItemModel::dataChanged, this, look);
        connect(model, &QAbstractItemModel::modelReset, this, look);
    }
}

void ScreenLists::lookForUnstorable(const QStringListModel &model) {
    for (const QString &entry : model.stringList()) {
        const QString lost = gbk::unrepresentable(entry);
        if (lost.isEmpty() || m_warned.contains(entry)) continue;
        m_warned.insert(entry);
        emit unstorable(entry, lost);
    }
}

QString ScreenLists::unstorableWarning(const QString &entry, const QString &characters) {
    return QStringLiteral("“%1”中的字符“%2”不能存入文件，存入后会变成“?”。").arg(entry, characters);
}

int ScreenLists::load(const QString &directory) {
    // No directory: nothing to read, and never the working directory's files.
    const ListFiles::Loaded first =
        directory.isEmpty()
            ? ListFiles::Loaded{}
            : ListFiles::read(directory + ListFiles::messageListName(), MessageList::ClockOptions);
    if (!first.exists) {
        // A screen without list files has empty lists: another screen's
        // entries must not be saved into its files on the next save.
        messages.clearAll();
        attributes.setStringList({});
        for (int i = 0; i < 4; ++i)
            attributeFlags[i] = false;
        images.setStringList({});
        emit loaded();
        return 0;
    }
    messages.clearAll();
    messages.setStringList(first.list.entries);
    messages.setTicked(first.list.flags);
    const ListFiles::Loaded second =
        ListFiles::read(directory + ListFiles::attributeListName(), int(attributeFlags.size()));
    attributes.setStringList(second.list.entries);
    attributeFlags = second.list.flags;
    const ListFiles::Loaded third = ListFiles::read(directory + ListFiles::imageListName(), 0);
    images.setStringList(third.list.entries);
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
    ListFiles::write(directory + ListFiles::messageListName(), {messages.stringList(), clocks});
    ListFiles::write(directory + ListFiles::attributeListName(),
                     {attributes.stringList(), attributeFlags});
    ListFiles::write(directory + ListFiles::imageListName(), {images.stringList(), {}});
}

bool ScreenLists::isEmpty() const {
    return messages.count() == 0 && attributes.rowCount() == 0 && images.rowCount() == 0;
}

QStringList ScreenLists::textPool(const QString &directory, int count) {
    QStringList pool;
    if (directory.isEmpty()) return pool;
    for (int k = 1; k <= count; ++k) {
        const QString text = ListFiles::readText(directory, k);
        if (!text.isNull()) pool.append(text);
    }
    return pool;
}
