// Covers the lunar calendar of the status bar: conversion of Gregorian dates with the built-in
// year table (1921 to 2100), the name tables and panel texts, leap months, year boundaries,
// the Gregorian leap-year rule for 2100, dates outside the table, and the time left until the
// next local midnight. Expected lunar dates after 2020 are literals printed by the independent
// calendar lunar-javascript 1.7.7 (tools/lunar/sample_literals.js).
//
// With LUNAR_DUMP=<file> in the environment the program runs no tests; it writes the
// conversion of every day from 1921-01-01 to 2101-01-31 for tools/lunar/verify.js.

#include "app/LunarCalendar.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QTextStream>
#include <QTimeZone>

using namespace LunarCalendar;

class TestLunarCalendar : public QObject {
    Q_OBJECT

  private slots:
    void convertsTheWellKnownDates_data();
    void convertsTheWellKnownDates();
    void convertsDatesFrom2021To2100LikeTheReferenceCalendar_data();
    void convertsDatesFrom2021To2100LikeTheReferenceCalendar();
    void marksLeapMonthsAndTheMonthsAroundThem_data();
    void marksLeapMonthsAndTheMonthsAroundThem();
    void crossesLunarAndGregorianYearBoundaries_data();
    void crossesLunarAndGregorianYearBoundaries();
    void treats2100AsACommonYearAnd2000AsALeapYear_data();
    void treats2100AsACommonYearAnd2000AsALeapYear();

    void countsEveryDayOfTheTableWithoutGapsOrJumps();
    void leavesDatesOutsideTheTableUnconverted();
    void namesTheThirtyDaysOfAMonth();
    void namesTheTwelveMonths();
    void namesTheWeekdaysStartingOnSunday();
    void namesYearsByTheSixtyYearCycle();
    void composesYearAndMonthDayTextsSeparately();

    void tellsTheTimeUntilMidnightAtFixedOffsets();
    void tellsTheTimeUntilMidnightAcrossDaylightSavingChanges();
    void tellsTheTimeUntilMidnightInLocalTime();
    void retriesInAMinuteWhenTheTimeIsUnknown();

  private:
    void addRowColumns();
    void checkRow();
};

namespace {

void addRow(const char *date, int year, int month, bool leap, int day, const char *lunarText,
            const char *weekday) {
    QTest::newRow(date) << QDate::fromString(QString::fromLatin1(date), Qt::ISODate)
                        << LunarDate{year, month, leap, day} << QString::fromUtf8(lunarText)
                        << QString::fromUtf8(weekday);
}

} // namespace

Q_DECLARE_METATYPE(LunarDate)

namespace QTest {
template <> char *toString(const LunarDate &lunar) {
    return qstrdup(QStringLiteral("%1/%2%3/%4")
                       .arg(lunar.year)
                       .arg(lunar.leap ? QStringLiteral("leap ") : QString())
                       .arg(lunar.month)
                       .arg(lunar.day)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

void TestLunarCalendar::addRowColumns() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<LunarDate>("lunar");
    QTest::addColumn<QString>("lunarText");
    QTest::addColumn<QString>("weekday");
}

void TestLunarCalendar::checkRow() {
    QFETCH(QDate, date);
    QFETCH(LunarDate, lunar);
    QFETCH(QString, lunarText);
    QFETCH(QString, weekday);
    QVERIFY(date.isValid());
    QCOMPARE(lunarFor(date), lunar);
    QCOMPARE(LunarCalendar::lunarText(date), lunarText);
    QCOMPARE(panelTextsFor(date), (LunarPanelTexts{lunarText, weekday}));
}

void TestLunarCalendar::convertsTheWellKnownDates_data() {
    addRowColumns();
    addRow("1921-02-08", 1921, 1, false, 1, "农历辛酉年(鸡)正月初一", "星期二");
    addRow("2020-01-25", 2020, 1, false, 1, "农历庚子年(鼠)正月初一", "星期六");
    addRow("2020-05-10", 2020, 4, false, 18, "农历庚子年(鼠)四月十八", "星期日");
    addRow("2020-05-23", 2020, 4, true, 1, "农历庚子年(鼠)闰四月初一", "星期六");
    addRow("2020-06-20", 2020, 4, true, 29, "农历庚子年(鼠)闰四月廿九", "星期六");
    addRow("2021-02-11", 2020, 12, false, 30, "农历庚子年(鼠)腊月三十", "星期四");
}

void TestLunarCalendar::convertsTheWellKnownDates() {
    checkRow();
}

void TestLunarCalendar::convertsDatesFrom2021To2100LikeTheReferenceCalendar_data() {
    addRowColumns();
    addRow("2021-03-07", 2021, 1, false, 24, "农历辛丑年(牛)正月廿四", "星期日");
    addRow("2022-10-05", 2022, 9, false, 10, "农历壬寅年(虎)九月初十", "星期三");
    addRow("2024-05-04", 2024, 3, false, 26, "农历甲辰年(龙)三月廿六", "星期六");
    addRow("2025-12-02", 2025, 10, false, 13, "农历乙巳年(蛇)十月十三", "星期二");
    addRow("2027-07-02", 2027, 5, false, 28, "农历丁未年(羊)五月廿八", "星期五");
    addRow("2029-01-29", 2028, 12, false, 15, "农历戊申年(猴)腊月十五", "星期一");
    addRow("2030-08-29", 2030, 8, false, 1, "农历庚戌年(狗)八月初一", "星期四");
    addRow("2032-03-28", 2032, 2, false, 17, "农历壬子年(鼠)二月十七", "星期日");
    addRow("2033-10-26", 2033, 10, false, 4, "农历癸丑年(牛)十月初四", "星期三");
    addRow("2035-05-26", 2035, 4, false, 19, "农历乙卯年(兔)四月十九", "星期六");
    addRow("2036-12-23", 2036, 11, false, 7, "农历丙辰年(龙)十一月初七", "星期二");
    addRow("2038-07-23", 2038, 6, false, 22, "农历戊午年(马)六月廿二", "星期五");
    addRow("2040-02-20", 2040, 1, false, 9, "农历庚申年(猴)正月初九", "星期一");
    addRow("2041-09-19", 2041, 8, false, 24, "农历辛酉年(鸡)八月廿四", "星期四");
    addRow("2043-04-19", 2043, 3, false, 10, "农历癸亥年(猪)三月初十", "星期日");
    addRow("2044-11-16", 2044, 9, false, 27, "农历甲子年(鼠)九月廿七", "星期三");
    addRow("2046-06-16", 2046, 5, false, 13, "农历丙寅年(虎)五月十三", "星期六");
    addRow("2048-01-14", 2047, 11, false, 29, "农历丁卯年(兔)十一月廿九", "星期二");
    addRow("2049-08-13", 2049, 7, false, 15, "农历己巳年(蛇)七月十五", "星期五");
    addRow("2051-03-13", 2051, 2, false, 1, "农历辛未年(羊)二月初一", "星期一");
    addRow("2052-10-10", 2052, 8, true, 18, "农历壬申年(猴)闰八月十八", "星期四");
    addRow("2054-05-10", 2054, 4, false, 3, "农历甲戌年(狗)四月初三", "星期日");
    addRow("2055-12-08", 2055, 10, false, 20, "农历乙亥年(猪)十月二十", "星期三");
    addRow("2057-07-07", 2057, 6, false, 6, "农历丁丑年(牛)六月初六", "星期六");
    addRow("2059-02-04", 2058, 12, false, 22, "农历戊寅年(虎)腊月廿二", "星期二");
    addRow("2060-09-03", 2060, 8, false, 9, "农历庚辰年(龙)八月初九", "星期五");
    addRow("2062-04-03", 2062, 2, false, 24, "农历壬午年(马)二月廿四", "星期一");
    addRow("2063-11-01", 2063, 9, false, 11, "农历癸未年(羊)九月十一", "星期四");
    addRow("2065-05-31", 2065, 4, false, 27, "农历乙酉年(鸡)四月廿七", "星期日");
    addRow("2066-12-29", 2066, 11, false, 13, "农历丙戌年(狗)十一月十三", "星期三");
    addRow("2068-07-28", 2068, 6, false, 30, "农历戊子年(鼠)六月三十", "星期六");
    addRow("2070-02-25", 2070, 1, false, 15, "农历庚寅年(虎)正月十五", "星期二");
    addRow("2071-09-25", 2071, 8, true, 2, "农历辛卯年(兔)闰八月初二", "星期五");
    addRow("2073-04-24", 2073, 3, false, 18, "农历癸巳年(蛇)三月十八", "星期一");
    addRow("2074-11-22", 2074, 10, false, 4, "农历甲午年(马)十月初四", "星期四");
    addRow("2076-06-21", 2076, 5, false, 20, "农历丙申年(猴)五月二十", "星期日");
    addRow("2078-01-19", 2077, 12, false, 6, "农历丁酉年(鸡)腊月初六", "星期三");
    addRow("2079-08-19", 2079, 7, false, 23, "农历己亥年(猪)七月廿三", "星期六");
    addRow("2081-03-18", 2081, 2, false, 9, "农历辛丑年(牛)二月初九", "星期二");
    addRow("2082-10-16", 2082, 8, false, 25, "农历壬寅年(虎)八月廿五", "星期五");
    addRow("2084-05-15", 2084, 4, false, 11, "农历甲辰年(龙)四月十一", "星期一");
    addRow("2085-12-13", 2085, 10, false, 27, "农历乙巳年(蛇)十月廿七", "星期四");
    addRow("2087-07-13", 2087, 6, false, 14, "农历丁未年(羊)六月十四", "星期日");
    addRow("2089-02-09", 2088, 12, false, 29, "农历戊申年(猴)腊月廿九", "星期三");
    addRow("2090-09-09", 2090, 8, false, 16, "农历庚戌年(狗)八月十六", "星期六");
    addRow("2092-04-08", 2092, 3, false, 2, "农历壬子年(鼠)三月初二", "星期二");
    addRow("2093-11-06", 2093, 9, false, 18, "农历癸丑年(牛)九月十八", "星期五");
    addRow("2095-06-06", 2095, 5, false, 5, "农历乙卯年(兔)五月初五", "星期一");
    addRow("2097-01-03", 2096, 11, false, 20, "农历丙辰年(龙)十一月二十", "星期四");
    addRow("2098-08-03", 2098, 7, false, 7, "农历戊午年(马)七月初七", "星期日");
    addRow("2100-03-03", 2100, 1, false, 23, "农历庚申年(猴)正月廿三", "星期三");
}

void TestLunarCalendar::convertsDatesFrom2021To2100LikeTheReferenceCalendar() {
    checkRow();
}

void TestLunarCalendar::marksLeapMonthsAndTheMonthsAroundThem_data() {
    addRowColumns();
    addRow("2023-03-21", 2023, 2, false, 30, "农历癸卯年(兔)二月三十", "星期二");
    addRow("2023-03-22", 2023, 2, true, 1, "农历癸卯年(兔)闰二月初一", "星期三");
    addRow("2023-04-19", 2023, 2, true, 29, "农历癸卯年(兔)闰二月廿九", "星期三");
    addRow("2023-04-20", 2023, 3, false, 1, "农历癸卯年(兔)三月初一", "星期四");
    addRow("2025-07-25", 2025, 6, true, 1, "农历乙巳年(蛇)闰六月初一", "星期五");
    addRow("2025-08-22", 2025, 6, true, 29, "农历乙巳年(蛇)闰六月廿九", "星期五");
    addRow("2033-11-22", 2033, 11, false, 1, "农历癸丑年(牛)十一月初一", "星期二");
    addRow("2033-12-21", 2033, 11, false, 30, "农历癸丑年(牛)十一月三十", "星期三");
    addRow("2033-12-22", 2033, 11, true, 1, "农历癸丑年(牛)闰十一月初一", "星期四");
    addRow("2034-01-19", 2033, 11, true, 29, "农历癸丑年(牛)闰十一月廿九", "星期四");
    addRow("2034-01-20", 2033, 12, false, 1, "农历癸丑年(牛)腊月初一", "星期五");
    addRow("2036-08-21", 2036, 6, true, 30, "农历丙辰年(龙)闰六月三十", "星期四");
    addRow("2036-08-22", 2036, 7, false, 1, "农历丙辰年(龙)七月初一", "星期五");
    addRow("2099-03-22", 2099, 2, true, 1, "农历己未年(羊)闰二月初一", "星期日");
}

void TestLunarCalendar::marksLeapMonthsAndTheMonthsAroundThem() {
    checkRow();
}

void TestLunarCalendar::crossesLunarAndGregorianYearBoundaries_data() {
    addRowColumns();
    // The first day of the table and the lunar new year after the original table ended.
    addRow("1921-02-08", 1921, 1, false, 1, "农历辛酉年(鸡)正月初一", "星期二");
    addRow("2021-02-12", 2021, 1, false, 1, "农历辛丑年(牛)正月初一", "星期五");
    addRow("2033-01-30", 2032, 12, false, 30, "农历壬子年(鼠)腊月三十", "星期日");
    addRow("2033-01-31", 2033, 1, false, 1, "农历癸丑年(牛)正月初一", "星期一");
    addRow("2034-02-18", 2033, 12, false, 30, "农历癸丑年(牛)腊月三十", "星期六");
    addRow("2034-02-19", 2034, 1, false, 1, "农历甲寅年(虎)正月初一", "星期日");
    addRow("2049-12-31", 2049, 12, false, 7, "农历己巳年(蛇)腊月初七", "星期五");
    addRow("2050-01-01", 2049, 12, false, 8, "农历己巳年(蛇)腊月初八", "星期六");
    addRow("2057-09-28", 2057, 8, false, 30, "农历丁丑年(牛)八月三十", "星期五");
    addRow("2057-09-29", 2057, 9, false, 1, "农历丁丑年(牛)九月初一", "星期六");
    addRow("2099-01-20", 2098, 12, false, 30, "农历戊午年(马)腊月三十", "星期二");
    addRow("2099-01-21", 2099, 1, false, 1, "农历己未年(羊)正月初一", "星期三");
    addRow("2100-02-08", 2099, 12, false, 30, "农历己未年(羊)腊月三十", "星期一");
    addRow("2100-02-09", 2100, 1, false, 1, "农历庚申年(猴)正月初一", "星期二");
    addRow("2100-12-31", 2100, 12, false, 1, "农历庚申年(猴)腊月初一", "星期五");
    addRow("2101-01-01", 2100, 12, false, 2, "农历庚申年(猴)腊月初二", "星期六");
    addRow("2101-01-28", 2100, 12, false, 29, "农历庚申年(猴)腊月廿九", "星期五");
}

void TestLunarCalendar::crossesLunarAndGregorianYearBoundaries() {
    checkRow();
}

void TestLunarCalendar::treats2100AsACommonYearAnd2000AsALeapYear_data() {
    addRowColumns();
    addRow("2100-02-27", 2100, 1, false, 19, "农历庚申年(猴)正月十九", "星期六");
    addRow("2100-02-28", 2100, 1, false, 20, "农历庚申年(猴)正月二十", "星期日");
    addRow("2100-03-01", 2100, 1, false, 21, "农历庚申年(猴)正月廿一", "星期一");
    addRow("2100-03-02", 2100, 1, false, 22, "农历庚申年(猴)正月廿二", "星期二");
    addRow("2000-02-28", 2000, 1, false, 24, "农历庚辰年(龙)正月廿四", "星期一");
    addRow("2000-02-29", 2000, 1, false, 25, "农历庚辰年(龙)正月廿五", "星期二");
    addRow("2000-03-01", 2000, 1, false, 26, "农历庚辰年(龙)正月廿六", "星期三");
}

void TestLunarCalendar::treats2100AsACommonYearAnd2000AsALeapYear() {
    checkRow();
    // The day after 28 February 2100 is 1 March, one lunar day later.
    QVERIFY(!QDate(2100, 2, 29).isValid());
    QCOMPARE(lunarFor(QDate(2100, 2, 28)).day + 1, lunarFor(QDate(2100, 3, 1)).day);
}

void TestLunarCalendar::countsEveryDayOfTheTableWithoutGapsOrJumps() {
    // Independent of any reference: each day is the next lunar day of the day before, months
    // have 29 or 30 days, a year has 12 months plus at most one leap month, and years follow
    // each other from 1921 to 2100.
    QCOMPARE(firstDate(), QDate(1921, 2, 8));
    QCOMPARE(lastDate(), QDate(2101, 1, 28));
    LunarDate previous = lunarFor(firstDate());
    QCOMPARE(previous, (LunarDate{1921, 1, false, 1}));
    int monthsInYear = 1;
    int leapMonthsInYear = 0;
    for (QDate date = firstDate().addDays(1); date <= lastDate(); date = date.addDays(1)) {
        const LunarDate lunar = lunarFor(date);
        QVERIFY2(lunar.isValid(), qPrintable(date.toString(Qt::ISODate)));
        if (lunar.day == previous.day + 1) {
            QVERIFY2(lunar.year == previous.year && lunar.month == previous.month &&
                         lunar.leap == previous.leap && lunar.day <= 30,
                     qPrintable(date.toString(Qt::ISODate)));
        } else {
            QVERIFY2(lunar.day == 1 && (previous.day == 29 || previous.day == 30),
                     qPrintable(date.toString(Qt::ISODate)));
            if (lunar.year == previous.year) {
                ++monthsInYear;
                if (lunar.leap) {
                    ++leapMonthsInYear;
                    QCOMPARE(lunar.month, previous.month);
                } else {
                    QCOMPARE(lunar.month, previous.month + 1);
                }
            } else {
                QCOMPARE(lunar.year, previous.year + 1);
                QCOMPARE(lunar.month, 1);
                QVERIFY(!lunar.leap);
                QCOMPARE(previous.month, 12);
                QCOMPARE(monthsInYear, 12 + leapMonthsInYear);
                QVERIFY(leapMonthsInYear <= 1);
                monthsInYear = 1;
                leapMonthsInYear = 0;
            }
        }
        previous = lunar;
    }
    QCOMPARE(previous, (LunarDate{2100, 12, false, 29}));
}

void TestLunarCalendar::leavesDatesOutsideTheTableUnconverted() {
    for (const QDate date : {QDate(1921, 2, 7), QDate(1921, 1, 1), QDate(1900, 6, 1),
                             QDate(2101, 1, 29), QDate(2150, 1, 1), QDate()}) {
        QVERIFY2(!lunarFor(date).isValid(), qPrintable(date.toString(Qt::ISODate)));
        QCOMPARE(LunarCalendar::lunarText(date), QString());
        QCOMPARE(panelTextsFor(date), LunarPanelTexts{});
    }
    QCOMPARE(yearText(LunarDate{}), QString());
    QCOMPARE(monthDayText(LunarDate{}), QString());
}

void TestLunarCalendar::namesTheThirtyDaysOfAMonth() {
    const QStringList expected = {
        QStringLiteral("初一"), QStringLiteral("初二"), QStringLiteral("初三"),
        QStringLiteral("初四"), QStringLiteral("初五"), QStringLiteral("初六"),
        QStringLiteral("初七"), QStringLiteral("初八"), QStringLiteral("初九"),
        QStringLiteral("初十"), QStringLiteral("十一"), QStringLiteral("十二"),
        QStringLiteral("十三"), QStringLiteral("十四"), QStringLiteral("十五"),
        QStringLiteral("十六"), QStringLiteral("十七"), QStringLiteral("十八"),
        QStringLiteral("十九"), QStringLiteral("二十"), QStringLiteral("廿一"),
        QStringLiteral("廿二"), QStringLiteral("廿三"), QStringLiteral("廿四"),
        QStringLiteral("廿五"), QStringLiteral("廿六"), QStringLiteral("廿七"),
        QStringLiteral("廿八"), QStringLiteral("廿九"), QStringLiteral("三十")};
    for (int day = 1; day <= 30; ++day)
        QCOMPARE(dayName(day), expected.at(day - 1));
    QCOMPARE(dayName(11), QStringLiteral("十一"));
    QCOMPARE(dayName(0), QString());
    QCOMPARE(dayName(31), QString());
}

void TestLunarCalendar::namesTheTwelveMonths() {
    const QStringList expected = {
        QStringLiteral("正"), QStringLiteral("二"), QStringLiteral("三"),   QStringLiteral("四"),
        QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("七"),   QStringLiteral("八"),
        QStringLiteral("九"), QStringLiteral("十"), QStringLiteral("十一"), QStringLiteral("腊")};
    for (int month = 1; month <= 12; ++month)
        QCOMPARE(monthName(month), expected.at(month - 1));
    QCOMPARE(monthName(0), QString());
    QCOMPARE(monthName(13), QString());
    QCOMPARE(monthDayText(LunarDate{2033, 11, true, 1}), QStringLiteral("闰十一月初一"));
    QCOMPARE(monthDayText(LunarDate{2020, 1, false, 10}), QStringLiteral("正月初十"));
}

void TestLunarCalendar::namesTheWeekdaysStartingOnSunday() {
    // 10 May 2020 was a Sunday.
    const QStringList expected = {QStringLiteral("星期日"), QStringLiteral("星期一"),
                                  QStringLiteral("星期二"), QStringLiteral("星期三"),
                                  QStringLiteral("星期四"), QStringLiteral("星期五"),
                                  QStringLiteral("星期六")};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(weekdayText(QDate(2020, 5, 10 + i)), expected.at(i));
    QCOMPARE(weekdayText(QDate()), QString());
}

void TestLunarCalendar::namesYearsByTheSixtyYearCycle() {
    const QStringList stems = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                               QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己"),
                               QStringLiteral("庚"), QStringLiteral("辛"), QStringLiteral("壬"),
                               QStringLiteral("癸")};
    const QStringList branches = {QStringLiteral("子"), QStringLiteral("丑"), QStringLiteral("寅"),
                                  QStringLiteral("卯"), QStringLiteral("辰"), QStringLiteral("巳"),
                                  QStringLiteral("午"), QStringLiteral("未"), QStringLiteral("申"),
                                  QStringLiteral("酉"), QStringLiteral("戌"), QStringLiteral("亥")};
    const QStringList animals = {QStringLiteral("鼠"), QStringLiteral("牛"), QStringLiteral("虎"),
                                 QStringLiteral("兔"), QStringLiteral("龙"), QStringLiteral("蛇"),
                                 QStringLiteral("马"), QStringLiteral("羊"), QStringLiteral("猴"),
                                 QStringLiteral("鸡"), QStringLiteral("狗"), QStringLiteral("猪")};
    for (int i = 0; i < 10; ++i)
        QCOMPARE(stemName(i), stems.at(i));
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(branchName(i), branches.at(i));
        QCOMPARE(zodiacName(i), animals.at(i));
    }
    QCOMPARE(stemName(10), QString());
    QCOMPARE(branchName(-1), QString());
    // 1984 and 2044 begin cycles; 1921 is 辛酉 and 2100 is 庚申.
    QCOMPARE(yearText(LunarDate{1984, 1, false, 1}), QStringLiteral("农历甲子年(鼠)"));
    QCOMPARE(yearText(LunarDate{2044, 1, false, 1}), QStringLiteral("农历甲子年(鼠)"));
    QCOMPARE(yearText(LunarDate{2043, 1, false, 1}), QStringLiteral("农历癸亥年(猪)"));
    QCOMPARE(yearText(LunarDate{1921, 1, false, 1}), QStringLiteral("农历辛酉年(鸡)"));
    QCOMPARE(yearText(LunarDate{2100, 1, false, 1}), QStringLiteral("农历庚申年(猴)"));
    QCOMPARE(LunarCalendar::lunarText(QDate(1984, 2, 2)), QStringLiteral("农历甲子年(鼠)正月初一"));
    QCOMPARE(LunarCalendar::lunarText(QDate(2044, 1, 30)),
             QStringLiteral("农历甲子年(鼠)正月初一"));
}

void TestLunarCalendar::composesYearAndMonthDayTextsSeparately() {
    const LunarDate lunar = lunarFor(QDate(2020, 5, 23));
    QCOMPARE(yearText(lunar), QStringLiteral("农历庚子年(鼠)"));
    QCOMPARE(monthDayText(lunar), QStringLiteral("闰四月初一"));
    QCOMPARE(yearText(lunar) + monthDayText(lunar), LunarCalendar::lunarText(QDate(2020, 5, 23)));
}

void TestLunarCalendar::tellsTheTimeUntilMidnightAtFixedOffsets() {
    const QTimeZone beijing(8 * 3600);
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2024, 5, 1), QTime(23, 59, 59, 500), beijing)),
             500);
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2024, 5, 1), QTime(0, 0), beijing)), 86400000);
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2024, 5, 1), QTime(12, 0), beijing)), 43200000);
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2100, 2, 28), QTime(18, 30), Qt::UTC)),
             5 * 3600 * 1000 + 30 * 60 * 1000);
    const QDateTime offset(QDate(2024, 5, 1), QTime(22, 0), Qt::OffsetFromUTC, -5 * 3600);
    QCOMPARE(msecsToNextMidnight(offset), 2 * 3600 * 1000);
}

void TestLunarCalendar::tellsTheTimeUntilMidnightAcrossDaylightSavingChanges() {
    const QTimeZone berlin("Europe/Berlin");
    QVERIFY2(berlin.isValid(), "time zone data (tzdata) is missing");
    // 31 March 2024 has 23 hours, 27 October 2024 has 25.
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2024, 3, 31), QTime(0, 30), berlin)),
             22 * 3600 * 1000 + 30 * 60 * 1000);
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2024, 10, 27), QTime(0, 30), berlin)),
             24 * 3600 * 1000 + 30 * 60 * 1000);
    // In São Paulo on 4 November 2018 the clocks went from 00:00 straight to 01:00: that day
    // began at 01:00, one hour after 23:00 the evening before.
    const QTimeZone saoPaulo("America/Sao_Paulo");
    QVERIFY2(saoPaulo.isValid(), "time zone data (tzdata) is missing");
    QCOMPARE(msecsToNextMidnight(QDateTime(QDate(2018, 11, 3), QTime(23, 0), saoPaulo)),
             3600 * 1000);
}

void TestLunarCalendar::tellsTheTimeUntilMidnightInLocalTime() {
    // Whatever the machine's zone: the wait ends exactly when the local date changes.
    for (const QDateTime &now :
         {QDateTime(QDate(2024, 5, 1), QTime(23, 59, 59, 999)),
          QDateTime(QDate(2024, 5, 1), QTime(8, 0)), QDateTime::currentDateTime()}) {
        const int wait = msecsToNextMidnight(now);
        QVERIFY(wait >= 1);
        QCOMPARE(now.addMSecs(wait).date(), now.date().addDays(1));
        QCOMPARE(now.addMSecs(wait - 1).date(), now.date());
    }
}

void TestLunarCalendar::retriesInAMinuteWhenTheTimeIsUnknown() {
    QCOMPARE(msecsToNextMidnight(QDateTime()), 60000);
}

namespace {

// Writes one line per day: date, lunar year, month, leap flag, day, panel 1, panel 3 (tab
// separated; zeros and empty texts for a day outside the table).
int dumpEveryDay(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical("cannot write %s", qPrintable(path));
        return 2;
    }
    QTextStream out(&file);
    int days = 0;
    for (QDate date(1921, 1, 1); date <= QDate(2101, 1, 31); date = date.addDays(1), ++days) {
        const LunarDate lunar = lunarFor(date);
        const LunarPanelTexts texts = panelTextsFor(date);
        out << date.toString(Qt::ISODate) << '\t' << lunar.year << '\t' << lunar.month << '\t'
            << (lunar.leap ? 1 : 0) << '\t' << lunar.day << '\t' << texts.lunarDate << '\t'
            << texts.weekday << '\n';
    }
    out.flush();
    if (!file.flush() || out.status() != QTextStream::Ok) {
        qCritical("cannot write %s", qPrintable(path));
        return 2;
    }
    QTextStream(stdout) << "wrote " << days << " days to " << path << '\n';
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString dumpPath = qEnvironmentVariable("LUNAR_DUMP");
    if (!dumpPath.isEmpty()) return dumpEveryDay(dumpPath);
    TestLunarCalendar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lunar.moc"
