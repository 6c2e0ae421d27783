#pragma once
// Fills a selection list of the window from the table of choices.
#include "workflows/Choices.h"

class QComboBox;

// The table's entry of the same name (the list's objectName): items, item
// data and start position.
void fillSelectionList(QComboBox *combo);
// Fills the list with `list`'s items, data and start position.
void fillSelectionList(QComboBox *combo, const Choice &list);
