#pragma once
// The lists a screen keeps in its store directory: the message list, the
// text panel's attribute list with its six check boxes, the image list, and
// the text pool read from the text files. Loaded when a screen is selected,
// saved before another one is selected and when the program ends.
#include "workflows/MessageList.h"

#include <QSet>
#include <QStringListModel>

class ScreenLists : public QObject {
    Q_OBJECT
  public:
    explicit ScreenLists(QObject *parent = nullptr);

    MessageList messages;
    // The text pool (colour name, blank, text; text k is picture k) and,
    // parallel to it, the attribute list ("，动作方式：…，动作速度：…，停留时间：…").
    QStringListModel pool;
    QStringListModel attributes;
    // Check2 items 0..3, 按屏长截取, 自动更新列表.
    QList<bool> attributeFlags = QList<bool>(6, false);
    QStringListModel images;

    // Loads the three list files of `directory` (ending in '/'). Without a
    // directory or a message list file the three lists load empty, the clock options
    // unticked and the two text-panel boxes kept; a missing attribute or
    // image file loads empty. Returns
    // the error number of a file that was cut short (after loading all), 0.
    int load(const QString &directory);
    // Writes the three files, each atomically (it is the old file or the new
    // one); VbError with the number of the first write that failed, the
    // files after it not written.
    void save(const QString &directory) const;
    // No entry in any of the three lists.
    bool isEmpty() const;
    // The texts of files 1..count that exist, in order; none without a directory.
    static QStringList textPool(const QString &directory, int count);

    // The operator's words for an entry that cannot be stored as typed.
    static QString unstorableWarning(const QString &entry, const QString &characters);

  signals:
    // The lists were replaced by a load.
    void loaded();
    // An entry of a list holds `characters` code page 936 cannot represent:
    // its file would hold "?" instead. Once per entry text.
    void unstorable(const QString &entry, const QString &characters);

  private:
    void lookForUnstorable(const QStringListModel &model);
    QSet<QString> m_warned;
};
