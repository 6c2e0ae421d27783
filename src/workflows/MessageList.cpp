#include "workflows/MessageList.h"

#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "workflows/Choices.h"

#include <QRegularExpression>

quint8 MessageList::clockCode(int option) {
    static const quint8 codes[ClockOptions] = {254, 255, 252, 253};
    return codes[option];
}

QString MessageList::entryProblem(const QString &line) {
    static const QRegularExpression picture(QStringLiteral(
        "^第\\d+幅图，动作方式：(.+)，动作速度：\\d+(\\.\\d+)?，停留时间：\\d+(\\.\\d+)?$"));
    static const QRegularExpression clock(
        QStringLiteral("^(.{8})，动作方式：立即显示，停留时间：\\d+(\\.\\d+)?$"));
    const QRegularExpressionMatch p = picture.match(line);
    if (p.hasMatch()) {
        for (const char *list : {"Combo3", "Combo8", "Combo9"})
            if (choice(QString::fromLatin1(list)).items.contains(p.captured(1))) return QString();
        return QStringLiteral("unknown effect in: ") + line;
    }
    const QRegularExpressionMatch c = clock.match(line);
    if (c.hasMatch() && clockCaptions().contains(c.captured(1))) return QString();
    return QStringLiteral("not a list entry: ") + line;
}

int MessageList::effectPosition(const QString &name) {
    const int p = int(choice(QStringLiteral("Combo3")).items.indexOf(name));
    return p < 0 ? 0 : p;
}

MessageList::MessageList(QObject *parent) : QAbstractListModel(parent) {}

int MessageList::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant MessageList::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return line(index.row());
}

QStringList MessageList::lines() const {
    QStringList result;
    for (const Entry &e : m_entries)
        result.append(ListFiles::entryLine(e));
    return result;
}

void MessageList::setLines(const QStringList &lines) {
    beginResetModel();
    m_entries.clear();
    for (const QString &l : lines)
        m_entries.append(ListFiles::readEntry(l));
    for (int i = 0; i < ClockOptions; ++i) {
        m_ticked[i] = false;
        m_positions[i] = -1;
    }
    endResetModel();
}

void MessageList::append(const Entry &entry) {
    insertAt(count(), entry);
}

void MessageList::insertAt(int position, const Entry &entry) {
    position = qBound(0, position, count());
    beginInsertRows({}, position, position);
    m_entries.insert(position, entry);
    endInsertRows();
    for (int &p : m_positions)
        if (p >= position) ++p;
}

void MessageList::replaceAt(int position, const Entry &entry) {
    if (position < 0 || position >= count()) return;
    m_entries[position] = entry;
    emit dataChanged(index(position), index(position));
}

void MessageList::removeAt(int position) {
    if (position < 0 || position >= count()) return;
    beginRemoveRows({}, position, position);
    m_entries.removeAt(position);
    endRemoveRows();
    for (int &p : m_positions) {
        if (p == position)
            p = -1;
        else if (p > position)
            --p;
    }
}

void MessageList::clearAll() {
    setLines({});
}

int MessageList::removeEntry(int position) {
    if (position < 0 || position >= count()) return -1;
    int option = ClockOptions - 1;
    while (option >= 0 && !(ticked(option) && clockPosition(option) == position))
        --option;
    if (option >= 0)
        untick(option);
    else
        removeAt(position);
    return position - 1;
}

void MessageList::modifyEntry(int position, const Entry &pictureEntry, const QString &stay) {
    if (position < 0 || position >= count()) return;
    const Entry old = entry(position);
    replaceAt(position, old.clock ? ListFiles::clockEntry(old.caption, stay) : pictureEntry);
}

void MessageList::tick(int option, const QString &stay) {
    if (m_ticked[option]) return;
    m_ticked[option] = true;
    append(ListFiles::clockEntry(option, stay));
    m_positions[option] = count() - 1;
}

void MessageList::untick(int option) {
    if (!m_ticked[option]) return;
    m_ticked[option] = false;
    const int p = m_positions[option];
    // An option ticked without an entry of its own (kept from another
    // screen's list) removes nothing.
    if (p >= 0) removeAt(p);
    m_positions[option] = -1;
}

void MessageList::setTicked(const QList<bool> &ticked) {
    for (int i = 0; i < ClockOptions; ++i) {
        if (ticked.value(i)) m_ticked[i] = true;
        m_positions[i] = -1;
        if (!m_ticked[i]) continue;
        for (int p = 0; p < count(); ++p) {
            if (m_entries.at(p).clock && m_entries.at(p).clockOption == i) {
                m_positions[i] = p;
                break;
            }
        }
    }
}

QByteArray MessageList::payload() const {
    if (count() > MaxEntries)
        throw VbError(vberr::SubscriptOutOfRange,
                      QStringLiteral("列表超过%1项：%2").arg(MaxEntries).arg(count()));
    QByteArray bytes;
    for (const Entry &e : m_entries) {
        if (e.clock) {
            bytes.append(char(e.clockOption < 0 ? 0 : clockCode(e.clockOption)));
            bytes.append(2, '\0');
        } else {
            bytes.append(
                char(NumericText::toByte(NumericText::value(e.picture), QStringLiteral("图号"))));
            bytes.append(char(quint8(led::actionfashion(e.effect))));
            bytes.append(
                char(NumericText::toByte(NumericText::value(e.speed), QStringLiteral("动作速度"))));
        }
        bytes.append(
            char(NumericText::toByte(NumericText::value(e.stay), QStringLiteral("停留时间"))));
    }
    return bytes;
}

namespace messagelist {

workflow::Outcome upload(led &device, OperatorUi &ui, const workflow::Connection &c,
                         const MessageList &list) {
    if (list.count() == 0) {
        ui.message(QStringLiteral("列表框为空"));
        return workflow::Outcome::Refused;
    }
    return workflow::trapped(ui, [&] {
        // Built completely first: a list that cannot be sent sends nothing.
        const QByteArray payload = list.payload();
        workflow::connect(device, c);
        const bool ok = device.Csendlist(payload, qint32(payload.size()));
        workflow::tellResult(device, ui, ok, QStringLiteral("列表发送成功"),
                             QStringLiteral("列表发送失败"), QStringLiteral("列表发送"));
        return workflow::acknowledged(ok);
    });
}

} // namespace messagelist
