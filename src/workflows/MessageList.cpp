#include "workflows/MessageList.h"

#include "config/NumericText.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "protocol/led.h"
#include "workflows/Choices.h"

#include <QRegularExpression>

namespace {
const QString Comma = QStringLiteral("，");
const QString EffectLabel = QStringLiteral("，动作方式：");
const QString SpeedLabel = QStringLiteral("，动作速度：");
const QString StayLabel = QStringLiteral("，停留时间：");

} // namespace

const QStringList &MessageList::clockCaptions() {
    static const QStringList captions{
        QStringLiteral("显示日期128点"), QStringLiteral("显示时钟128点"),
        QStringLiteral("显示日期64点 "), QStringLiteral("显示时钟64点 ")};
    return captions;
}

quint8 MessageList::clockCode(int option) {
    static const quint8 codes[ClockOptions] = {254, 255, 252, 253};
    return codes[option];
}

QString MessageList::pictureEntry(const QString &picture, const QString &effect,
                                  const QString &speed, const QString &stay) {
    return QStringLiteral("第") + picture + QStringLiteral("幅图") + EffectLabel + effect +
           SpeedLabel + speed + StayLabel + stay;
}

QString MessageList::clockEntry(const QString &caption, const QString &stay) {
    return caption + QStringLiteral("，动作方式：立即显示") + StayLabel + stay;
}

MessageList::Parsed MessageList::parse(const QString &entry) {
    const QStringList fields = entry.split(Comma);
    Parsed p;
    p.clock = !entry.startsWith(QStringLiteral("第"));
    p.caption = fields.value(0);
    p.picture = NumericText::value(fields.value(0).mid(1));
    p.effect = fields.value(1).mid(5);
    p.speed = NumericText::value(fields.value(2).mid(5));
    p.stay = NumericText::value(fields.value(p.clock ? 2 : 3).mid(5));
    return p;
}

QString MessageList::entryProblem(const QString &entry) {
    static const QRegularExpression picture(QStringLiteral(
        "^第\\d+幅图，动作方式：(.+)，动作速度：\\d+(\\.\\d+)?，停留时间：\\d+(\\.\\d+)?$"));
    static const QRegularExpression clock(
        QStringLiteral("^(.{8})，动作方式：立即显示，停留时间：\\d+(\\.\\d+)?$"));
    const QRegularExpressionMatch p = picture.match(entry);
    if (p.hasMatch()) {
        for (const char *list : {"Combo3", "Combo8", "Combo9"})
            if (choice(QString::fromLatin1(list)).items.contains(p.captured(1))) return QString();
        return QStringLiteral("unknown effect in: ") + entry;
    }
    const QRegularExpressionMatch c = clock.match(entry);
    if (c.hasMatch() && clockCaptions().contains(c.captured(1))) return QString();
    return QStringLiteral("not a list entry: ") + entry;
}

int MessageList::effectPosition(const QString &name) {
    const int p = int(choice(QStringLiteral("Combo3")).items.indexOf(name));
    return p < 0 ? 0 : p;
}

MessageList::MessageList(QObject *parent) : QStringListModel(parent) {}

QString MessageList::entry(int position) const {
    return stringList().value(position);
}

void MessageList::append(const QString &entry) {
    insertAt(count(), entry);
}

void MessageList::insertAt(int position, const QString &entry) {
    insertRows(position, 1);
    setData(index(position), entry);
    for (int &p : m_positions)
        if (p >= position) ++p;
}

void MessageList::replaceAt(int position, const QString &entry) {
    if (position >= 0 && position < count()) setData(index(position), entry);
}

void MessageList::removeAt(int position) {
    if (position < 0 || position >= count()) return;
    removeRows(position, 1);
    for (int &p : m_positions) {
        if (p == position)
            p = -1;
        else if (p > position)
            --p;
    }
}

void MessageList::clearAll() {
    setStringList({});
    for (int i = 0; i < ClockOptions; ++i) {
        m_ticked[i] = false;
        m_positions[i] = -1;
    }
}

int MessageList::removeEntry(int position) {
    if (position < 0 || position >= count()) return -1;
    int option = ClockOptions - 1;
    while (option >= 0 && clockCaptions().at(option).left(6) != entry(position).left(6))
        --option;
    if (option >= 0 && ticked(option) && clockPosition(option) == position)
        untick(option);
    else
        removeAt(position);
    return position - 1;
}

void MessageList::modifyEntry(int position, const QString &pictureEntry, const QString &stay) {
    const QString head = entry(position).left(8);
    replaceAt(position,
              head.startsWith(QStringLiteral("第")) ? pictureEntry : clockEntry(head, stay));
}

void MessageList::tick(int option, const QString &stay) {
    if (m_ticked[option]) return;
    m_ticked[option] = true;
    append(clockEntry(clockCaptions().at(option), stay));
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
        const QStringList entries = stringList();
        for (int p = 0; p < entries.size(); ++p) {
            if (entries.at(p).section(Comma, 0, 0) == clockCaptions().at(i)) {
                m_positions[i] = p;
                break;
            }
        }
    }
}

QByteArray MessageList::payload() const {
    const QStringList entries = stringList();
    if (entries.size() > MaxEntries)
        throw VbError(vberr::SubscriptOutOfRange,
                      QStringLiteral("列表超过%1项：%2").arg(MaxEntries).arg(entries.size()));
    QByteArray bytes;
    for (const QString &e : entries) {
        const Parsed p = parse(e);
        if (p.clock) {
            const int option = int(clockCaptions().indexOf(p.caption));
            bytes.append(char(option < 0 ? 0 : clockCode(option)));
            bytes.append(2, '\0');
        } else {
            bytes.append(char(NumericText::toByte(p.picture, QStringLiteral("图号"))));
            bytes.append(char(quint8(led::actionfashion(p.effect))));
            bytes.append(char(NumericText::toByte(p.speed, QStringLiteral("动作速度"))));
        }
        bytes.append(char(NumericText::toByte(p.stay, QStringLiteral("停留时间"))));
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
        ui.message(ok ? QStringLiteral("列表发送成功") : QStringLiteral("列表发送失败"),
                   QStringLiteral("列表发送"));
        return workflow::acknowledged(ok);
    });
}

} // namespace messagelist
