#pragma once
// The display effects: how a screen brings a picture onto the display. The
// screen knows an effect by a one-byte code, the panels by its Chinese name.
#include <QList>
#include <QString>

namespace effects {

// The three effect lists of the window.
enum class EffectList {
    ListPanel = 1,    // Combo3, message lists
    TextPanel = 2,    // Combo8, text sending
    QueueCalling = 4, // Combo9, queue-calling messages
};

struct Effect {
    int code;
    QString name;
    int lists; // EffectList values or-ed together
    bool offeredBy(EffectList list) const { return lists & int(list); }
};

// Every effect name with its code and the lists that offer it.
const QList<Effect> &table();
// The items of one list in the order the list shows them; each item carries
// its code as item data.
QList<Effect> items(EffectList list);
// Code of a list panel effect name (actionfashion): the six names after
// "立即显示" in Combo3; every other string, exact comparison, gives 0.
int listPanelCode(const QString &name);
// Position of a list panel effect name in Combo3 (1 to 6 for the same six
// names); every other string gives 0.
int listPanelPosition(const QString &name);

} // namespace effects
