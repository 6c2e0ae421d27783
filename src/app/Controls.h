#pragma once
// Small helpers for controls made in code (the toolbar's buttons) and the
// accessible names of every named control.
#include <QString>
#include <functional>

class ActionContext;
class QAbstractButton;
class QPushButton;
class QWidget;

namespace Controls {
QPushButton *button(QWidget *parent, const QString &name, const QString &caption);
// A click on the button runs `action` as one device action of the context.
void bindAction(ActionContext &context, QAbstractButton *button,
                const std::function<void()> &action);
// Gives every named control without an accessible name its buddy label's
// text, a spin the name of its field, or, lacking both, its control name.
void nameForAccessibility(QWidget *root);
// Every one-line field drops the line breaks a paste brings: what they hold
// ends up in one-line-per-entry files.
void keepOnOneLine(QWidget *root);
} // namespace Controls
