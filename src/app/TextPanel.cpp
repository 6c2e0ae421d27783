#include "app/Controls.h"
#include "app/Panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {
using namespace Controls;

QGroupBox *queueCallingFrame(QWidget *parent) {
    QGroupBox *f = frame(parent, QStringLiteral("Frame8"), QStringLiteral("发送叫号信息"));
    auto *g = new QGridLayout(f);
    row(g, 0, QStringLiteral("上行默认叫号信息："),
        line(f, QStringLiteral("Text22"), QStringLiteral("欢迎光临")),
        button(f, QStringLiteral("Command10"), QStringLiteral("发送")));
    row(g, 1, QStringLiteral("下行默认叫号信息："),
        line(f, QStringLiteral("Text23"), QStringLiteral("欢迎光临")),
        button(f, QStringLiteral("Command11"), QStringLiteral("发送")));
    row(g, 2, QStringLiteral("叫号信息："), line(f, QStringLiteral("Text6")));
    row(g, 3, QStringLiteral("动作方式："), combo(f, QStringLiteral("Combo9")));
    row(g, 4, QStringLiteral("动作速度："), line(f, QStringLiteral("Text14"), QStringLiteral("2")),
        spin(f, QStringLiteral("VScroll2"), 1, 255, 1));
    row(g, 5, QStringLiteral("停留时间："), line(f, QStringLiteral("Text16"), QStringLiteral("2")),
        spin(f, QStringLiteral("VScroll3"), 0, 255, 2));
    row(g, 6, QStringLiteral("页面时间："), line(f, QStringLiteral("Text17"), QStringLiteral("30")),
        spin(f, QStringLiteral("VScroll8"), 0, 255, 2));
    auto *tests = new QHBoxLayout;
    tests->addWidget(button(f, QStringLiteral("Command8"), QStringLiteral("测试上行")));
    tests->addWidget(button(f, QStringLiteral("Command9"), QStringLiteral("测试下行")));
    g->addLayout(tests, 7, 1);
    return f;
}

QGroupBox *colourFrame(QWidget *parent) {
    QGroupBox *f = frame(parent, QStringLiteral("颜色设置框"), QStringLiteral("颜色设置"));
    auto *g = new QGridLayout(f);
    row(g, 0, QStringLiteral("汉字颜色"), combo(f, QStringLiteral("字库颜色")));
    row(g, 1, QStringLiteral("ASC颜色"), combo(f, QStringLiteral("ASC颜色")));
    row(g, 2, QStringLiteral("背景色"), combo(f, QStringLiteral("combo1")));
    row(g, 3, QStringLiteral("窗口颜色"), combo(f, QStringLiteral("Asccolor")));
    row(g, 4, QStringLiteral("窗口背景色"), combo(f, QStringLiteral("Windowbackcolor")));
    return f;
}

QGroupBox *textSendingFrame(QWidget *parent) {
    QGroupBox *f = frame(parent, QStringLiteral("文字发送框"), QStringLiteral("发送文字"));
    auto *g = new QGridLayout(f);
    row(g, 0, QStringLiteral("文字信息"), line(f, QStringLiteral("Text7")));
    row(g, 1, QStringLiteral("图号"), line(f, QStringLiteral("Text8"), QStringLiteral("1")));
    row(g, 2, QStringLiteral("横向点阵数"), line(f, QStringLiteral("Text9")));
    row(g, 3, QStringLiteral("动作方式"), combo(f, QStringLiteral("Combo8")));
    g->addWidget(check(f, QStringLiteral("排队"), QStringLiteral("排队")), 4, 1);
    auto *pool = new QListWidget(f);
    pool->setObjectName(QStringLiteral("发送文字"));
    row(g, 5, QStringLiteral("文字列表"), pool);
    return f;
}

QGroupBox *imagePanel(QWidget *parent) {
    QGroupBox *f = frame(parent, QStringLiteral("自动发送框"), QStringLiteral("发送上电信息"));
    auto *g = new QGridLayout(f);
    row(g, 0, QStringLiteral("窗口号："), line(f, QStringLiteral("窗口号"), QStringLiteral("\\1")),
        spin(f, QStringLiteral("VScroll1"), -1, 110, 2));
    QGroupBox *format = frame(f, QStringLiteral("格式选择框"), QStringLiteral("格式选择"));
    auto *fl = new QHBoxLayout(format);
    auto *picture = new QRadioButton(QStringLiteral("图片"), format);
    picture->setObjectName(QStringLiteral("Option1"));
    auto *text = new QRadioButton(QStringLiteral("文本"), format);
    text->setObjectName(QStringLiteral("Option2"));
    fl->addWidget(picture);
    fl->addWidget(text);
    g->addWidget(format, 1, 0, 1, 3);
    QGroupBox *logo = frame(f, QStringLiteral("文本Logo框"), QStringLiteral("文本Logo"));
    auto *lg = new QGridLayout(logo);
    auto *logoText = new QPlainTextEdit(logo);
    logoText->setObjectName(QStringLiteral("Text1"));
    logoText->setFixedHeight(48);
    row(lg, 0, QStringLiteral("文字信息："), logoText);
    row(lg, 1, QStringLiteral("字符颜色"), combo(logo, QStringLiteral("Combo4")));
    row(lg, 2, QStringLiteral("背景颜色"), combo(logo, QStringLiteral("Combo5")));
    logo->hide();
    g->addWidget(logo, 2, 0, 1, 3);
    auto *preview = new QWidget(f);
    preview->setObjectName(QStringLiteral("预览框"));
    preview->setMinimumHeight(40);
    auto *sample = new QLabel(preview);
    sample->setObjectName(QStringLiteral("pic1"));
    sample->setGeometry(0, 0, 32, 32);
    sample->setStyleSheet(QStringLiteral("background: black"));
    auto *image = new QLabel(preview);
    image->setObjectName(QStringLiteral("PicImg"));
    image->setStyleSheet(QStringLiteral("background: black"));
    g->addWidget(preview, 3, 0, 1, 3);
    auto *scroll = new QScrollBar(Qt::Horizontal, f);
    scroll->setObjectName(QStringLiteral("HScroll1"));
    scroll->hide();
    g->addWidget(scroll, 4, 0, 1, 3);
    return f;
}
} // namespace

QGroupBox *buildTextPanel(QWidget *parent) {
    QGroupBox *panel = frame(parent, QStringLiteral("图象处理框"), QStringLiteral("发送信息"));
    auto *grid = new QGridLayout(panel);
    grid->addWidget(queueCallingFrame(panel), 0, 0);
    grid->addWidget(colourFrame(panel), 0, 1);
    grid->addWidget(textSendingFrame(panel), 1, 0);
    grid->addWidget(imagePanel(panel), 1, 1);
    return panel;
}
