#include "LunarCalendar.h"

#include <QTimeZone>

#include <algorithm>
#include <array>

namespace {

// One entry per lunar year from 1921. Bits 0..11 (12 months) or 0..12 (13 months): the month
// lengths in the order of the year, first month in the highest bit, 1 = 30 days, 0 = 29 days.
// Bits 16 and up: the number of the month followed by the leap month, 0 for none.
// Generated and checked day by day by tools/lunar; do not edit by hand.
// clang-format off
constexpr std::array<quint32, 180> kYearTable = {
    // BEGIN YEAR TABLE
    0xA4B, 0x5164B, 0x6A5, 0x6D4, 0x415B5, 0x2B6, 0x957, 0x2092F, 0x497, 0x60C96, // 1921-1930
    0xD4A, 0xEA5, 0x50DA9, 0x5AD, 0x2B6, 0x3126E, 0x92E, 0x7192D, 0xC95, 0xD4A, // 1931-1940
    0x61B4A, 0xB55, 0x56A, 0x4155B, 0x25D, 0x92D, 0x2192B, 0xA95, 0x71695, 0x6CA, // 1941-1950
    0xB55, 0x50AB5, 0x4DA, 0xA5B, 0x30A57, 0x52B, 0x8152A, 0xE95, 0x6AA, 0x615AA, // 1951-1960
    0xAB5, 0x4B6, 0x414AE, 0xA57, 0x526, 0x31D26, 0xD95, 0x70B55, 0x56A, 0x96D, // 1961-1970
    0x5095D, 0x4AD, 0xA4D, 0x41A4D, 0xD25, 0x81AA5, 0xB54, 0xB6A, 0x612DA, 0x95B, // 1971-1980
    0x49B, 0x41497, 0xA4B, 0xA164B, 0x6A5, 0x6D4, 0x615B4, 0xAB6, 0x957, 0x5092F, // 1981-1990
    0x497, 0x64B, 0x30D4A, 0xEA5, 0x80D65, 0x5AC, 0xAB6, 0x5126D, 0x92E, 0xC96, // 1991-2000
    0x41A95, 0xD4A, 0xDA5, 0x20B55, 0x56A, 0x7155B, 0x25D, 0x92D, 0x5192B, 0xA95, // 2001-2010
    0xB4A, 0x416AA, 0xAD5, 0x90AB5, 0x4BA, 0xA5B, 0x60A57, 0x52B, 0xA93, 0x40E95, // 2011-2020
    0x6AA, 0xAD5, 0x209B5, 0x4B6, 0x614AE, 0xA4E, 0xD26, 0x51D26, 0xD53, 0x5AA, // 2021-2030
    0x30D6A, 0x96D, 0xB095D, 0x4AD, 0xA4D, 0x61A4B, 0xD25, 0xD52, 0x51B54, 0xB5A, // 2031-2040
    0x56D, 0x2095B, 0x49B, 0x71497, 0xA4B, 0xAA5, 0x516A5, 0x6D2, 0xADA, 0x30AB6, // 2041-2050
    0x937, 0x8092F, 0x497, 0x64B, 0x60D4A, 0xEA5, 0x6B2, 0x4156C, 0xAAE, 0x92E, // 2051-2060
    0x3192E, 0xC96, 0x71A95, 0xD4A, 0xDA5, 0x50B55, 0x56A, 0xA6D, 0x40A5D, 0x52D, // 2061-2070
    0x8152B, 0xA95, 0xB4A, 0x616AA, 0xAD5, 0x55A, 0x414BA, 0xA5B, 0x52B, 0x31527, // 2071-2080
    0x693, 0x70E53, 0x6AA, 0xAD5, 0x509B5, 0x4B6, 0xA57, 0x40A4E, 0xD16, 0x81D26, // 2081-2090
    0xD52, 0xDAA, 0x60D6A, 0x56D, 0x4AE, 0x4149D, 0xA2D, 0xD15, 0x21B25, 0xD52, // 2091-2100
    // END YEAR TABLE
};
// clang-format on

constexpr int kFirstYear = 1921;
const QDate kFirstDate(1921, 2, 8); // first day of lunar year 1921

const char *const kWeekdays[] = {"星期日", "星期一", "星期二", "星期三",
                                 "星期四", "星期五", "星期六"};
const char *const kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
const char *const kBranches[] = {"子", "丑", "寅", "卯", "辰", "巳",
                                 "午", "未", "申", "酉", "戌", "亥"};
const char *const kZodiac[] = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                               "马", "羊", "猴", "鸡", "狗", "猪"};
const char *const kDayNames[] = {"初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
                                 "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六",
                                 "十七", "十八", "十九", "二十", "廿一", "廿二", "廿三", "廿四",
                                 "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};
const char *const kMonthNames[] = {"正", "二", "三", "四", "五",   "六",
                                   "七", "八", "九", "十", "十一", "腊"};

template <std::size_t N> QString nameAt(const char *const (&table)[N], int index) {
    if (index < 0 || index >= int(N)) return {};
    return QString::fromUtf8(table[index]);
}

int leapMonthOf(quint32 entry) {
    return int(entry >> 16);
}
int monthCountOf(quint32 entry) {
    return leapMonthOf(entry) != 0 ? 13 : 12;
}
int monthLength(quint32 entry, int position) { // position 0 = first month of the year
    return 29 + int((entry >> (monthCountOf(entry) - 1 - position)) & 1U);
}

int sexagenaryPosition(int lunarYear) {
    return ((lunarYear - 4) % 60 + 60) % 60;
}

} // namespace

namespace LunarCalendar {

QDate firstDate() {
    return kFirstDate;
}

QDate lastDate() {
    static const QDate last = [] {
        qint64 days = 0;
        for (quint32 entry : kYearTable)
            for (int position = 0; position < monthCountOf(entry); ++position)
                days += monthLength(entry, position);
        return kFirstDate.addDays(days - 1);
    }();
    return last;
}

LunarDate lunarFor(QDate date) {
    if (!date.isValid()) return {};
    // Counting with QDate keeps the full Gregorian leap-year rule (2100 has no 29 February).
    qint64 day = kFirstDate.daysTo(date) + 1;
    if (day < 1) return {};
    for (std::size_t i = 0; i < kYearTable.size(); ++i) {
        const quint32 entry = kYearTable[i];
        for (int position = 0; position < monthCountOf(entry); ++position) {
            const int length = monthLength(entry, position);
            if (day > length) {
                day -= length;
                continue;
            }
            LunarDate lunar;
            lunar.year = kFirstYear + int(i);
            lunar.day = int(day);
            const int leapAfter = leapMonthOf(entry);
            if (leapAfter == 0 || position < leapAfter) {
                lunar.month = position + 1;
            } else if (position == leapAfter) {
                lunar.month = leapAfter;
                lunar.leap = true;
            } else {
                lunar.month = position;
            }
            return lunar;
        }
    }
    return {};
}

QString dayName(int day) {
    return nameAt(kDayNames, day - 1);
}
QString monthName(int month) {
    return nameAt(kMonthNames, month - 1);
}
QString stemName(int stem) {
    return nameAt(kStems, stem);
}
QString branchName(int branch) {
    return nameAt(kBranches, branch);
}
QString zodiacName(int branch) {
    return nameAt(kZodiac, branch);
}

QString weekdayText(QDate date) {
    if (!date.isValid()) return {};
    return nameAt(kWeekdays, date.dayOfWeek() % 7); // Qt counts Monday = 1 ... Sunday = 7
}

QString yearText(const LunarDate &lunar) {
    if (!lunar.isValid()) return {};
    const int position = sexagenaryPosition(lunar.year);
    return QStringLiteral("农历") + stemName(position % 10) + branchName(position % 12) +
           QStringLiteral("年(") + zodiacName(position % 12) + QStringLiteral(")");
}

QString monthDayText(const LunarDate &lunar) {
    if (!lunar.isValid()) return {};
    return (lunar.leap ? QStringLiteral("闰") : QString()) + monthName(lunar.month) +
           QStringLiteral("月") + dayName(lunar.day);
}

QString lunarText(QDate date) {
    const LunarDate lunar = lunarFor(date);
    return yearText(lunar) + monthDayText(lunar);
}

LunarPanelTexts panelTextsFor(QDate date) {
    const LunarDate lunar = lunarFor(date);
    if (!lunar.isValid()) return {};
    return {yearText(lunar) + monthDayText(lunar), weekdayText(date)};
}

int msecsToNextMidnight(const QDateTime &now) {
    constexpr int kRetryMs = 60 * 1000;
    if (!now.isValid()) return kRetryMs;
    const QDate tomorrow = now.date().addDays(1);
    QDateTime next;
    switch (now.timeSpec()) {
    case Qt::TimeZone:
        next = tomorrow.startOfDay(now.timeZone());
        break;
    case Qt::OffsetFromUTC:
        next = tomorrow.startOfDay(Qt::OffsetFromUTC, now.offsetFromUtc());
        break;
    default:
        next = tomorrow.startOfDay(now.timeSpec());
        break;
    }
    if (!next.isValid()) return kRetryMs;
    return int(std::clamp<qint64>(now.msecsTo(next), 1, 48LL * 3600 * 1000));
}

} // namespace LunarCalendar
