#pragma once
// The lists a screen keeps in its store directory: the message list, the
// text panel's attribute list with its six check boxes, the image list, and
// the text pool read from the text files. Loaded when a screen is selected,
// saved before another one is selected and when the program ends.
#include "workflows/MessageList.h"

#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <functional>

// The text pool with its attributes, one row per picture: text k (colour
// name and text, from " k.txt") is picture k, and attribute k (effect, speed,
// stay time, from "List2.txt") is what the message list gives it. The two
// files are kept apart, so a row may have a text without attributes or
// attributes without a text (files of other makes); the views show each half
// as far as it goes.
class TextPoolModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using Text = ListFiles::PoolText;
    using Attributes = ListFiles::Entry;
    // The attribute line of a row; DisplayRole gives the text file's line.
    static constexpr int AttributeRole = Qt::UserRole + 1;

    explicit TextPoolModel(QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int textCount() const { return int(m_texts.size()); }
    int attributeCount() const { return int(m_attributes.size()); }
    Text text(int p) const { return m_texts.value(p); }
    Attributes attributes(int p) const { return m_attributes.value(p); }
    // As the text files and the attribute list file hold them.
    QStringList textLines() const;
    QStringList attributeLines() const;

    void setTextLines(const QStringList &lines);
    void setAttributeLines(const QStringList &lines);
    void setText(int p, const Text &text);
    void setAttributes(int p, const Attributes &attributes);
    // A text at the end of the texts, its attributes at the end of the attributes.
    void append(const Text &text, const Attributes &attributes);
    // Text p and attributes p go; those after them move up one.
    void removeAt(int p);
    void clear();

    // The texts and the attribute lines as two lists for the views.
    QAbstractItemModel *textView() { return &m_textView; }
    QAbstractItemModel *attributeView() { return &m_attributeView; }

  private:
    class Half : public QSortFilterProxyModel {
      public:
        Half(TextPoolModel *pool, bool attributes);
        bool filterAcceptsRow(int row, const QModelIndex &parent) const override;
        QVariant data(const QModelIndex &index, int role) const override;

      private:
        const TextPoolModel *m_pool;
        bool m_attributes;
    };
    void changeRows(const std::function<void()> &change);

    QList<Text> m_texts;
    QList<Attributes> m_attributes;
    Half m_textView;
    Half m_attributeView;
};

class ScreenLists : public QObject {
    Q_OBJECT
  public:
    explicit ScreenLists(QObject *parent = nullptr);

    MessageList messages;
    TextPoolModel pool;
    // Check2 items 0..3, 按屏长截取, 自动更新列表.
    QList<bool> attributeFlags = QList<bool>(6, false);
    QStringListModel images;

    // Loads the three list files of `directory` (ending in '/'). Without a
    // directory or a message list file the three lists load empty, the clock options
    // unticked and the two text-panel boxes kept; a missing attribute or
    // image file loads empty. Returns
    // the error number of a file that was cut short (after loading all), 0.
    int load(const QString &directory);
    // Writes the three files as one set: after a failure or a kill all three
    // are the old files or all three the new ones; VbError with the number of
    // the write that failed, no file replaced.
    void save(const QString &directory) const;
    // No entry in any of the three lists.
    bool isEmpty() const;
    // The operator's words for the lines the last load left out (files named),
    // empty when everything was loaded. A file with lines left out is not
    // rewritten by save() until its list is changed.
    QString notLoaded;

    // The pool holds at most this many texts (add stops there).
    static constexpr int MaxTexts = 251;
    // The texts of files 1..count (count at most MaxTexts) that exist and are
    // text, in order; none without a directory. `notLoaded` gets the
    // operator's words for what was left out, or stays empty.
    static QStringList textPool(const QString &directory, int count, QString *notLoaded = nullptr);

    // The operator's words for an entry that cannot be stored as typed.
    static QString unstorableWarning(const QString &entry, const QString &characters);

  signals:
    // The lists were replaced by a load.
    void loaded();
    // An entry of a list holds `characters` code page 936 cannot represent:
    // its file would hold "?" instead. Once per entry text.
    void unstorable(const QString &entry, const QString &characters);

  private:
    void lookForUnstorable(const QStringList &lines);
    QSet<QString> m_warned;
    // Files the last load could not read whole, until their list changes.
    QSet<QString> m_partial;
    bool m_loading = false;
};
