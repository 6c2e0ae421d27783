#include "app/Controls.h"
#include "app/Panels.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>

QGroupBox *buildListPanel(QWidget *parent) {
    using namespace Controls;
    QGroupBox *panel = frame(parent, QStringLiteral("列表处理框"), QStringLiteral("列表处理"));
    auto *grid = new QGridLayout(panel);
    auto *stored = new QListWidget(panel);
    stored->setObjectName(QStringLiteral("已发送文字"));
    row(grid, 0, QStringLiteral("已存文字"), stored);
    row(grid, 1, QStringLiteral("动作方式"), combo(panel, QStringLiteral("Combo3")));
    grid->setRowStretch(2, 1);
    return panel;
}
