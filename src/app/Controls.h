#pragma once
// Small builders for the window's controls: every control carries the
// system's control name as objectName, and a label becomes its buddy so that
// screen readers announce it.
#include <QString>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QScrollBar;
class QWidget;

namespace Controls {
QComboBox *combo(QWidget *parent, const QString &name, bool editable = false);
QLineEdit *line(QWidget *parent, const QString &name, const QString &text = QString());
QScrollBar *spin(QWidget *parent, const QString &name, int min, int max, int value);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption);
QCheckBox *check(QWidget *parent, const QString &name, const QString &caption);
QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption);
QListView *listView(QWidget *parent, const QString &name);
// Adds "label  widget [spin]" as a row of a grid; the label becomes the buddy.
QLabel *row(QGridLayout *grid, int row, const QString &label, QWidget *field,
            QWidget *extra = nullptr);
// Gives every named control without an accessible name its buddy label's
// text or, lacking one, its control name.
void nameForAccessibility(QWidget *root);
} // namespace Controls
