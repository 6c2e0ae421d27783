#include "workflows/Choices.h"

#include "config/ScreenFields.h"
#include "protocol/VbError.h"

namespace {
QStringList names(std::initializer_list<const char16_t *> texts) {
    QStringList out;
    for (const char16_t *t : texts)
        out.append(QString::fromUtf16(t));
    return out;
}
} // namespace

const QList<Choice> &choices() {
    static const QList<Choice> lists = {
        {QStringLiteral("combo1"), names({u"红色", u"绿色", u"黄色"}), {170, 85, 165}, 2},
        {QStringLiteral("字库颜色"), names({u"黑色", u"红色", u"绿色", u"黄色"}), {0, 1, 2, 3}, 3},
        {QStringLiteral("ASC颜色"), names({u"黑色", u"红色", u"绿色", u"黄色"}), {0, 1, 2, 3}, 1},
        {QStringLiteral("Asccolor"), names({u"红色", u"绿色", u"黄色"}), {}, 2},
        {QStringLiteral("Combo4"), names({u"红色", u"绿色", u"黄色"}), {}, 2},
        {QStringLiteral("Combo5"), names({u"红色", u"绿色", u"黄色"}), {}, 2},
        {QStringLiteral("Combo2"),
         names({u"9600", u"19200", u"38400", u"115200"}),
         {239, 119, 59, 19},
         0},
        {QStringLiteral("Combo3"),
         names({u"立即显示", u"从右向左移动", u"从左向右展开", u"百叶窗从左向右展开", u"闪烁显示",
                u"连续左移", u"连续上移"}),
         {0, 1, 3, 4, 7, 8, 9},
         0},
        {QStringLiteral("主控类型"),
         names({u"16点阵", u"24点阵", u"32点阵", u"准24点阵", u"ZH1-上移", u"ZH2-下移"}),
         {128, 9, 11, 12, 2, 1},
         0},
        {QStringLiteral("色彩"), names({u"单色", u"双色", u"全彩"}), {0, 64, 128}, 1},
        {QStringLiteral("时钟显示"),
         names({u"不显示时钟", u"红色", u"绿色", u"黄色"}),
         {0, 64, 128, 192},
         0},
        {QStringLiteral("极性"), names({u"低有效", u"高有效"}), {0, 4}, 1},
        {QStringLiteral("数据极性"), names({u"负极性", u"正极性"}), {0, 8}, 0},
        {QStringLiteral("扫描方式"), names({u"1/4扫描", u"1/8扫描", u"1/16扫描"}), {3, 7, 15}, 2},
        {QStringLiteral("每区行数"),
         names({u"每区1行", u"每区2行", u"每区4行", u"每区8行", u"每区16行", u"每区32行"}),
         {0, 1, 3, 7, 15, 31},
         4},
        {QStringLiteral("行加减"),
         names({u"行正常", u"行加一", u"行加二", u"行减一", u"行减二"}),
         {0, 32, 64, 160, 192},
         0},
        {QStringLiteral("Pbtl"), names({u"9600", u"19200", u"38400", u"115200"}), {}, 0},
        {QStringLiteral("Combo8"),
         names({u"立即显示", u"闪烁显示", u"连续左移", u"连续上移", u"连续右移", u"连续下移"}),
         {0, 7, 8, 9, 11, 12},
         0},
        {QStringLiteral("Combo9"),
         names({u"立即显示", u"左移", u"闪烁显示", u"连续左移"}),
         {0, 1, 7, 8},
         0},
        {QStringLiteral("区内走向"), names({u"从上向下", u"从下向上"}), {0, 1}, 0},
        {QStringLiteral("窗口点阵数"),
         names({u"0", u"8", u"16", u"24", u"32", u"40", u"48", u"56", u"64"}),
         {0, 8, 16, 24, 32, 40, 48, 56, 64},
         0},
    };
    return lists;
}

QList<Choice> colourListsFor(int type) {
    const QStringList all{QStringLiteral("黑色"), QStringLiteral("红色"), QStringLiteral("绿色"),
                          QStringLiteral("黄色"), QStringLiteral("蓝色"), QStringLiteral("紫色"),
                          QStringLiteral("蓝绿"), QStringLiteral("白色")};
    const QStringList backgrounds{QStringLiteral("黑色"), QStringLiteral("红色"),
                                  QStringLiteral("绿色"), QStringLiteral("蓝色")};
    int colours = 0, backs = 0;
    QList<int> selected;
    switch (type) {
    case 0:
        colours = 2, backs = 2, selected = {1, 1, 0, 1, 0};
        break;
    case 1:
        colours = 4, backs = 3, selected = {3, 1, 0, 3, 0};
        break;
    case 2:
        colours = 8, backs = 4, selected = {7, 3, 3, 3, 3};
        break;
    default:
        selected = {-1, -1, -1, -1, -1};
        break;
    }
    const QStringList c = all.mid(0, colours), b = backgrounds.mid(0, backs);
    return {{QStringLiteral("字库颜色"), c, {}, selected[0]},
            {QStringLiteral("ASC颜色"), c, {}, selected[1]},
            {QStringLiteral("combo1"), b, {}, selected[2]},
            {QStringLiteral("Asccolor"), c, {}, selected[3]},
            {QStringLiteral("Windowbackcolor"), b, {}, selected[4]}};
}

int Choice::codeAt(int position) const {
    if (position < 0 || position >= items.size())
        throw VbError(vberr::InvalidPropertyArrayIndex, QStringLiteral("%1没有选中项").arg(name));
    return data.isEmpty() ? position : data.at(position);
}

int Choice::positionOf(int code) const {
    if (data.isEmpty()) return code >= 0 && code < items.size() ? code : -1;
    return int(data.indexOf(code));
}

const Choice &choice(const QString &name) {
    for (const Choice &c : choices())
        if (c.name == name) return c;
    throw VbError(vberr::InvalidCall, QStringLiteral("没有这个列表：") + name);
}

int baudRatePosition(const QString &text) {
    return BaudRate::position(text);
}
