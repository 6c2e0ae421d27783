#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The Chinese lunar calendar shown in the main window's status bar: a Gregorian date is
// converted with a built-in table of the lunar years 1921 to 2100 (8 February 1921 to
// 28 January 2101), and the panel texts are composed from the traditional names.
// Pure computation on QtCore, no widgets.

struct LunarDate {
    int year = 0;      // lunar year 1921 ... 2100; 0 when the date lies outside the table
    int month = 0;     // month number 1 ... 12; a leap month carries the number it follows
    bool leap = false; // the leap month that follows month `month`
    int day = 0;       // 1 ... 30

    bool isValid() const { return year != 0; }
    friend bool operator==(const LunarDate &, const LunarDate &) = default;
};

// Texts of status-bar panels 1 (lunar date) and 3 (weekday).
struct LunarPanelTexts {
    QString lunarDate; // "农历庚子年(鼠)闰四月初一"
    QString weekday;   // "星期日"

    friend bool operator==(const LunarPanelTexts &, const LunarPanelTexts &) = default;
};

namespace LunarCalendar {

// First and last Gregorian day the table covers.
QDate firstDate();
QDate lastDate();

// The lunar date of a Gregorian day; invalid (year 0) outside firstDate() ... lastDate().
LunarDate lunarFor(QDate date);

// Name tables. Each returns an empty string for a position outside its table.
QString dayName(int day);        // 1 ... 30: "初一" ... "三十"
QString monthName(int month);    // 1 ... 12: "正", "二" ... "十一", "腊"
QString stemName(int stem);      // 0 ... 9: "甲" ... "癸"
QString branchName(int branch);  // 0 ... 11: "子" ... "亥"
QString zodiacName(int branch);  // 0 ... 11: "鼠" ... "猪"
QString weekdayText(QDate date); // "星期日" ... "星期六"; empty for an invalid date

// "农历" + stem + branch + "年(" + animal + ")", e.g. "农历庚子年(鼠)".
QString yearText(const LunarDate &lunar);
// ["闰"] + month name + "月" + day name, e.g. "闰四月初一", "腊月三十".
QString monthDayText(const LunarDate &lunar);
// yearText + monthDayText; empty when the date lies outside the table.
QString lunarText(QDate date);

// Both panel texts for a day. Outside the table both are empty, so the panels are blank
// rather than showing a stale or half-converted date.
LunarPanelTexts panelTextsFor(QDate date);

// Milliseconds from `now` until the next day starts in now's own time zone (local time for a
// local QDateTime), at least 1. Where a daylight-saving change skips midnight, the next day
// starts at its first existing moment. For an invalid `now`, one minute.
int msecsToNextMidnight(const QDateTime &now);

} // namespace LunarCalendar
