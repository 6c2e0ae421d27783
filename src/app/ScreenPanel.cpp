#include "app/Controls.h"
#include "app/Panels.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

QGroupBox *buildScreenPanel(QWidget *parent) {
    using namespace Controls;
    QGroupBox *panel = frame(parent, QStringLiteral("屏幕管理框"), QStringLiteral("屏幕管理"));
    auto *grid = new QGridLayout(panel);
    QListView *screens = listView(panel, QStringLiteral("现有屏幕"));
    screens->setEditTriggers(QAbstractItemView::NoEditTriggers);
    row(grid, 0, QStringLiteral("现有屏幕"), screens);
    row(grid, 1, QStringLiteral("屏幕名称"), line(panel, QStringLiteral("pname")));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(button(panel, QStringLiteral("添加"), QStringLiteral("添加")));
    buttons->addWidget(button(panel, QStringLiteral("删除"), QStringLiteral("删除")));
    buttons->addWidget(button(panel, QStringLiteral("保存"), QStringLiteral("保存")));
    buttons->addStretch();
    grid->addLayout(buttons, 2, 1);
    return panel;
}
