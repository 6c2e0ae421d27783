#!/usr/bin/env node
// Prints Qt Test data rows (date, lunar year, month, leap, day, panel-1 text, panel-3 text)
// computed by lunar-javascript, for pasting into tests/app/tst_lunar.cpp as literals.
// Usage: node sample_literals.js YYYY-MM-DD ...   (no arguments: a spread over 2021..2100)
'use strict';
const { Solar } = require('./oracle');

// lunar-javascript calls month 11 "冬"; the status bar calls it "十一".
const monthText = (l) => l.getMonthInChinese().replace('冬', '十一');

function row(y, m, d) {
    const l = Solar.fromYmd(y, m, d).getLunar();
    const text = '农历' + l.getYearInGanZhi() + '年(' + l.getYearShengXiao() + ')' + monthText(l) +
                 '月' + l.getDayInChinese();
    const name = `${y}-${String(m).padStart(2, '0')}-${String(d).padStart(2, '0')}`;
    const month = Math.abs(l.getMonth());
    return `    addRow("${name}", ${l.getYear()}, ${month}, ${l.getMonth() < 0}, ${l.getDay()}, ` +
           `"${text}", "星期${l.getWeekInChinese()}");`;
}

let dates = process.argv.slice(2).map((s) => s.split('-').map(Number));
if (dates.length === 0) {
    // A fixed walk with an odd stride, so months, days and weekdays all vary.
    let jd = Solar.fromYmd(2021, 3, 7).getJulianDay();
    const end = Solar.fromYmd(2100, 12, 31).getJulianDay();
    for (; jd <= end; jd += 577) {
        const s = Solar.fromJulianDay(jd);
        dates.push([s.getYear(), s.getMonth(), s.getDay()]);
    }
}
for (const [y, m, d] of dates) console.log(row(y, m, d));
