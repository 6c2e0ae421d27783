#pragma once
// A screen's message list: up to 64 entries the screen plays in turn, each a
// stored picture with effect, speed and stay time, or one of four clock
// displays. Entries are kept as their fields and made into text only for the
// list view and the list file; the positions of the clock entries are kept
// in step with every insert and removal. The list panel, the list files and
// `ledctl playlist` all work on this model.
#include "config/ListFiles.h"
#include "workflows/Workflow.h"

#include <QAbstractListModel>
#include <QByteArray>

class OperatorUi;
class led;

class MessageList : public QAbstractListModel {
    Q_OBJECT
  public:
    using Entry = ListFiles::Entry;
    static constexpr int ClockOptions = 4;
    static constexpr int MaxEntries = 64;

    static const QStringList &clockCaptions() { return ListFiles::clockCaptions(); }
    // The codes the screen knows them by: 254, 255, 252, 253.
    static quint8 clockCode(int option);
    static Entry pictureEntry(const QString &picture, const QString &effect, const QString &speed,
                              const QString &stay) {
        return ListFiles::pictureEntry(picture, effect, speed, stay);
    }

    // Why a typed entry (ledctl) is not one the list panel would make, or
    // empty: "第N幅图，动作方式：NAME，动作速度：S，停留时间：T" with a known effect
    // name, or a clock caption with "，动作方式：立即显示，停留时间：T". The panel's
    // own entries are never checked: they are read as they stand.
    static QString entryProblem(const QString &line);
    // Position of an effect name in the list panel's effect list; 0 for a
    // name it does not have ("连续右移" included).
    static int effectPosition(const QString &name);

    explicit MessageList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_entries.size()); }
    Entry entry(int position) const { return m_entries.value(position); }
    // The entries as the list file holds them.
    QString line(int position) const { return ListFiles::entryLine(entry(position)); }
    QStringList lines() const;
    // A loaded list: the entries, nothing ticked (see setTicked).
    void setLines(const QStringList &lines);
    void append(const Entry &entry);
    void insertAt(int position, const Entry &entry);
    // A new entry at `position`; every position stays.
    void replaceAt(int position, const Entry &entry);
    // Removes the entry; the clock entries after it move up one place.
    void removeAt(int position);
    // Empties the list and unticks every clock option without removing anything.
    void clearAll();
    // "删除列表": the clock entry of a ticked option goes by unticking the
    // option, any other entry is removed. Returns the position selected
    // afterwards, -1 for none.
    int removeEntry(int position);
    // "修改完成": the entry keeps its place; a picture entry becomes
    // `pictureEntry`, a clock entry keeps its caption and takes `stay`.
    void modifyEntry(int position, const Entry &pictureEntry, const QString &stay);

    bool ticked(int option) const { return m_ticked[option]; }
    // Position of the option's clock entry; -1 when it has none.
    int clockPosition(int option) const { return m_positions[option]; }
    // Ticking appends the option's clock entry; unticking removes it.
    void tick(int option, const QString &stay);
    void untick(int option);
    // After a load: ticked as given, positions where the entries are.
    void setTicked(const QList<bool> &ticked);

    // The list command's payload: 4 bytes an entry. VbError 9 for more than
    // 64 entries, 6 for a number that does not fit its byte.
    QByteArray payload() const;

  private:
    QList<Entry> m_entries;
    bool m_ticked[ClockOptions] = {};
    int m_positions[ClockOptions] = {-1, -1, -1, -1};
};

namespace messagelist {
// "更新列表": "列表框为空" for an empty list; the payload built completely,
// then the list command, "列表发送成功" or "列表发送失败".
workflow::Outcome upload(led &device, OperatorUi &ui, const workflow::Connection &c,
                         const MessageList &list);
} // namespace messagelist
