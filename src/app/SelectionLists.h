#pragma once
// The selection lists of the main window: their items, item data (the device
// codes) and start positions, filled once at start-up.
#include <QList>
#include <QString>
#include <QStringList>

class QComboBox;

struct SelectionList {
    QString name;
    QStringList items;
    QList<int> data; // empty: the position is what counts
    int initial = 0;
};

const QList<SelectionList> &selectionLists();
// Fills the list with the table's entry of the same name (its objectName).
void fillSelectionList(QComboBox *combo);
// "9600" -> 0, "19200" -> 1, "38400" -> 2, "115200" -> 3, anything else -> 2.
int baudRatePosition(const QString &text);
