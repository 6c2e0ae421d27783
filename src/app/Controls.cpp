#include "app/Controls.h"

#include "app/SpinPair.h"
#include "workflows/ActionContext.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace Controls {

void bindAction(ActionContext &context, QAbstractButton *button,
                const std::function<void()> &action) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [&context, action] { context.runDeviceAction(action); });
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

namespace {
template <typename Visit> void eachWidget(QWidget *root, const Visit &visit) {
    for (QObject *child : root->children()) {
        if (auto *w = qobject_cast<QWidget *>(child)) {
            visit(w);
            eachWidget(w, visit);
        }
    }
}
} // namespace

void nameForAccessibility(QWidget *root) {
    // Labels first: a label's text names its buddy better than its control name.
    eachWidget(root, [](QWidget *w) {
        auto *label = qobject_cast<QLabel *>(w);
        QWidget *buddy = label ? label->buddy() : nullptr;
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(label->text().trimmed());
    });
    // A spin is named after the field it steps: "动作速度：", not "VScroll2".
    eachWidget(root, [](QWidget *w) {
        const auto *pair = qobject_cast<QScrollBar *>(w)
                               ? w->findChild<SpinPair *>(QString(), Qt::FindDirectChildrenOnly)
                               : nullptr;
        if (pair && w->accessibleName().isEmpty())
            w->setAccessibleName(pair->field()->accessibleName());
    });
    eachWidget(root, [](QWidget *w) {
        if (w->objectName().isEmpty() || !w->accessibleName().isEmpty()) return;
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)) return;
        if (w->objectName().startsWith(QLatin1String("qt_"))) return;
        w->setAccessibleName(w->objectName());
    });
}

void keepOnOneLine(QWidget *root) {
    for (QLineEdit *field : root->findChildren<QLineEdit *>()) {
        QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString &text) {
            if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return;
            QString line = text;
            const int cursor = field->cursorPosition();
            const int before = int(text.left(cursor).count(QLatin1Char('\r')) +
                                   text.left(cursor).count(QLatin1Char('\n')));
            line.remove(QLatin1Char('\r'));
            line.remove(QLatin1Char('\n'));
            field->setText(line);
            field->setCursorPosition(cursor - before);
        });
    }
}

} // namespace Controls
