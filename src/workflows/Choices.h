#pragma once
// The window's selection lists as data: their items, the device code each
// item stands for (item data) and the position selected at start-up. The
// panels fill their lists from here; the workflows and ledctl turn positions
// into codes and back with the same table.
#include <QList>
#include <QString>
#include <QStringList>

struct Choice {
    QString name; // the list's control name
    QStringList items;
    QList<int> data; // empty: the position is what counts
    int initial = 0;
    // The code of the item at `position` (the position itself without data);
    // VbError 381 when no item is there (nothing selected).
    int codeAt(int position) const;
    // The first position whose code is `code`, -1 when none is.
    int positionOf(int code) const;
};

const QList<Choice> &choices();
// The entry of that name; VbError 5 for a name the table does not have.
const Choice &choice(const QString &name);
// The five colour lists (字库颜色, ASC颜色, combo1, Asccolor, Windowbackcolor)
// as they follow the screen's colour type (色彩 position 0, 1, 2), without
// item data; any other type empties them.
QList<Choice> colourListsFor(int colourType);
// "9600" -> 0, "19200" -> 1, "38400" -> 2, "115200" -> 3, anything else -> 2.
int baudRatePosition(const QString &text);
