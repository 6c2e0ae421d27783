#pragma once
// Small helpers for controls made in code (the toolbar's buttons) and the
// accessible names of every named control.
#include <QString>

class QPushButton;
class QWidget;

namespace Controls {
QPushButton *button(QWidget *parent, const QString &name, const QString &caption);
// Gives every named control without an accessible name its buddy label's
// text, a spin the name of its field, or, lacking both, its control name.
void nameForAccessibility(QWidget *root);
// Every one-line field drops the line breaks a paste brings: what they hold
// ends up in one-line-per-entry files.
void keepOnOneLine(QWidget *root);
} // namespace Controls
