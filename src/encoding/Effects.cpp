#include "encoding/Effects.h"

namespace effects {

namespace {
constexpr int L3 = int(EffectList::ListPanel);
constexpr int L8 = int(EffectList::TextPanel);
constexpr int L9 = int(EffectList::QueueCalling);
} // namespace

const QList<Effect> &table() {
    static const QList<Effect> all{
        {0, QStringLiteral("立即显示"), L3 | L8 | L9},
        {1, QStringLiteral("从右向左移动"), L3},
        {1, QStringLiteral("左移"), L9},
        {3, QStringLiteral("从左向右展开"), L3},
        {4, QStringLiteral("百叶窗从左向右展开"), L3},
        {7, QStringLiteral("闪烁显示"), L3 | L8 | L9},
        {8, QStringLiteral("连续左移"), L3 | L8 | L9},
        {9, QStringLiteral("连续上移"), L3 | L8},
        {11, QStringLiteral("连续右移"), L8},
        {12, QStringLiteral("连续下移"), L8},
    };
    return all;
}

QList<Effect> items(EffectList list) {
    // Each list shows its names in the order of the table.
    QList<Effect> out;
    for (const Effect &e : table()) {
        if (e.offeredBy(list)) out.append(e);
    }
    return out;
}

int listPanelCode(const QString &name) {
    const QList<Effect> list = items(EffectList::ListPanel);
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (list.at(i).name == name) return list.at(i).code;
    }
    return 0;
}

int listPanelPosition(const QString &name) {
    const QList<Effect> list = items(EffectList::ListPanel);
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (list.at(i).name == name) return int(i);
    }
    return 0;
}

} // namespace effects
