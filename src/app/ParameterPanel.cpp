#include "app/Controls.h"
#include "app/Panels.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

QGroupBox *buildParameterPanel(QWidget *parent) {
    using namespace Controls;
    QGroupBox *panel = frame(parent, QStringLiteral("参数设置框"), QStringLiteral("参数设置"));
    auto *outer = new QHBoxLayout(panel);

    QGroupBox *props = frame(panel, QStringLiteral("属性框"), QStringLiteral("显示屏属性"));
    auto *grid = new QGridLayout(props);
    int r = 0;
    for (const auto &[name, label] : {std::pair{u"主控类型", u"主控类型"},
                                      {u"色彩", u"色彩类型"},
                                      {u"扫描方式", u"扫描方式"},
                                      {u"每区行数", u"每区行数"},
                                      {u"行加减", u"行加减"},
                                      {u"区内走向", u"区内走向"},
                                      {u"极性", u"OE极性 "},
                                      {u"数据极性", u"数据极性"},
                                      {u"时钟显示", u"时钟显示"}}) {
        row(grid, r++, QString::fromUtf16(label), combo(props, QString::fromUtf16(name)));
    }
    row(grid, r++, QStringLiteral("屏长(点数)"),
        line(props, QStringLiteral("Pchang"), QStringLiteral("80")),
        spin(props, QStringLiteral("VScroll6"), 1, 25, 4));
    QComboBox *height = combo(props, QStringLiteral("pgao"), true);
    for (int h = 8; h <= 64; h += 8)
        height->addItem(QString::number(h));
    height->setCurrentText(QStringLiteral("16"));
    row(grid, r++, QStringLiteral("屏高(点数)"), height);
    row(grid, r++, QStringLiteral("产品标识"), line(props, QStringLiteral("PID")));
    row(grid, r++, QStringLiteral("固件版本"), line(props, QStringLiteral("Text18")));
    auto *propButtons = new QHBoxLayout;
    propButtons->addWidget(button(props, QStringLiteral("属性获取"), QStringLiteral("属性获取")));
    propButtons->addWidget(button(props, QStringLiteral("修改属性"), QStringLiteral("修改属性")));
    grid->addLayout(propButtons, r++, 1);
    outer->addWidget(props);

    QGroupBox *control = frame(panel, QStringLiteral("控制框"), QStringLiteral("屏幕控制"));
    auto *cg = new QGridLayout(control);
    r = 0;
    row(cg, r, QStringLiteral("亮度等级：(0-255)"),
        line(control, QStringLiteral("亮度"), QStringLiteral("255")));
    cg->addWidget(button(control, QStringLiteral("设置亮度"), QStringLiteral("设置亮度")), r++, 2);
    row(cg, r, QStringLiteral("调整值"), line(control, QStringLiteral("Text5")));
    cg->addWidget(button(control, QStringLiteral("校时"), QStringLiteral("校时")), r++, 2);
    row(cg, r, QStringLiteral("设置开始图号"),
        line(control, QStringLiteral("Text4"), QStringLiteral("0")));
    cg->addWidget(
        button(control, QStringLiteral("设置开始图号按钮"), QStringLiteral("设置开始图号")), r++,
        2);
    auto *onOff = new QHBoxLayout;
    onOff->addWidget(button(control, QStringLiteral("开屏"), QStringLiteral("开屏")));
    onOff->addWidget(button(control, QStringLiteral("关屏"), QStringLiteral("关屏")));
    cg->addLayout(onOff, r++, 1);
    row(cg, r++, QStringLiteral("新地址"), line(control, QStringLiteral("Text11")),
        spin(control, QStringLiteral("VScroll7"), 1, 1023, 1));
    row(cg, r, QStringLiteral("波特率"), combo(control, QStringLiteral("Combo2")));
    cg->addWidget(button(control, QStringLiteral("修改地址"), QStringLiteral("修改地址")), r++, 2);

    QGroupBox *window =
        frame(control, QStringLiteral("设置窗口号框"), QStringLiteral("设置窗口号"));
    auto *wg = new QGridLayout(window);
    row(wg, 0, QStringLiteral("窗口号点阵数："), combo(window, QStringLiteral("窗口点阵数")));
    cg->addWidget(window, r++, 0, 1, 3);
    cg->setRowStretch(r, 1);
    outer->addWidget(control);
    return panel;
}
