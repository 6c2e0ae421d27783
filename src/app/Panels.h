#pragma once
// Builders of the four panels of the main window. Each returns its frame
// with every control named as the system names it.
class QGroupBox;
class QWidget;

QGroupBox *buildScreenPanel(QWidget *parent);    // 屏幕管理框
QGroupBox *buildParameterPanel(QWidget *parent); // 参数设置框
QGroupBox *buildListPanel(QWidget *parent);      // 列表处理框
QGroupBox *buildTextPanel(QWidget *parent);      // 图象处理框 with 自动发送框 inside
