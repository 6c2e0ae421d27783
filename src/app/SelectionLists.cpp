#include "app/SelectionLists.h"

#include <QComboBox>

void fillSelectionList(QComboBox *combo) {
    fillSelectionList(combo, choice(combo->objectName()));
}

void fillSelectionList(QComboBox *combo, const Choice &list) {
    combo->clear();
    for (int i = 0; i < list.items.size(); ++i) {
        if (list.data.isEmpty())
            combo->addItem(list.items.at(i));
        else
            combo->addItem(list.items.at(i), list.data.at(i));
    }
    combo->setCurrentIndex(list.initial);
}
