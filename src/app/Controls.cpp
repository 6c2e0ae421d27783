#include "app/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

namespace Controls {

QComboBox *combo(QWidget *parent, const QString &name, bool editable) {
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(editable);
    return c;
}

QLineEdit *line(QWidget *parent, const QString &name, const QString &text) {
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

QScrollBar *spin(QWidget *parent, const QString &name, int min, int max, int value) {
    auto *s = new QScrollBar(Qt::Vertical, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setFixedHeight(24);
    return s;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QCheckBox *check(QWidget *parent, const QString &name, const QString &caption) {
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption) {
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    return g;
}

QListView *listView(QWidget *parent, const QString &name) {
    auto *v = new QListView(parent);
    v->setObjectName(name);
    return v;
}

QLabel *row(QGridLayout *grid, int r, const QString &label, QWidget *field, QWidget *extra) {
    auto *l = new QLabel(label, grid->parentWidget());
    l->setBuddy(field);
    grid->addWidget(l, r, 0);
    grid->addWidget(field, r, 1);
    if (extra) grid->addWidget(extra, r, 2);
    return l;
}

void nameForAccessibility(QWidget *root) {
    for (QLabel *label : root->findChildren<QLabel *>()) {
        QWidget *buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(label->text().trimmed());
    }
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || !w->accessibleName().isEmpty()) continue;
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)) continue;
        if (w->objectName().startsWith(QLatin1String("qt_"))) continue;
        w->setAccessibleName(w->objectName());
    }
}

} // namespace Controls
