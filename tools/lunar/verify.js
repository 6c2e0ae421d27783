#!/usr/bin/env node
// Compares the program's lunar conversion of every day with lunar-javascript.
//
// Usage:
//   node verify.js BUILD/bin/app_tst_lunar    run the test program in dump mode (LUNAR_DUMP)
//   node verify.js --dump FILE                 check a dump written earlier
//
// The dump holds one tab-separated line per day from 1921-01-01 to 2101-01-31: date, lunar
// year, month, leap flag, day, panel-1 text, panel-3 text. Days before 1921-02-08 and from
// 2101-01-29 (the lunar new year after the table) must be unconverted with empty texts; every
// other day must equal the reference in all six fields. Exit 0 only without mismatches.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { Solar, version } = require('./oracle');

function readDump() {
    const args = process.argv.slice(2);
    if (args[0] === '--dump' && args[1]) return fs.readFileSync(args[1], 'utf8');
    if (args.length !== 1) {
        console.error('usage: verify.js PATH/TO/app_tst_lunar | --dump FILE');
        process.exit(2);
    }
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'lunar-')), 'days.tsv');
    execFileSync(args[0], [], { env: { ...process.env, LUNAR_DUMP: file }, stdio: 'inherit' });
    return fs.readFileSync(file, 'utf8');
}

const FIRST = '1921-02-08';
const AFTER_LAST = '2101-01-29';

function expected(dateText) {
    if (dateText < FIRST || dateText >= AFTER_LAST) return ['0', '0', '0', '0', '', ''];
    const [y, m, d] = dateText.split('-').map(Number);
    const l = Solar.fromYmd(y, m, d).getLunar();
    // lunar-javascript calls month 11 "冬"; the status bar calls it "十一".
    const text = '农历' + l.getYearInGanZhi() + '年(' + l.getYearShengXiao() + ')' +
                 l.getMonthInChinese().replace('冬', '十一') + '月' + l.getDayInChinese();
    return [String(l.getYear()), String(Math.abs(l.getMonth())), l.getMonth() < 0 ? '1' : '0',
            String(l.getDay()), text, '星期' + l.getWeekInChinese()];
}

const lines = readDump().split('\n').filter(Boolean);
let compared = 0, converted = 0, mismatches = 0, inRange = 0;
let nextDate = new Date(Date.UTC(1921, 0, 1));
for (const line of lines) {
    const [date, ...fields] = line.split('\t');
    const want = nextDate.toISOString().slice(0, 10);
    if (date !== want) {
        console.error(`dump out of order: ${date}, expected ${want}`);
        process.exit(1);
    }
    nextDate = new Date(nextDate.getTime() + 86400000);
    const exp = expected(date);
    ++compared;
    if (date <= '2100-12-31') ++inRange;
    if (exp[0] !== '0') ++converted;
    if (fields.length !== 6 || fields.some((f, i) => f !== exp[i])) {
        if (++mismatches <= 20) console.error(`${date}: got ${fields.join(' | ')}; want ${exp.join(' | ')}`);
    }
}
if (lines.length === 0 || lines[lines.length - 1].slice(0, 10) !== '2101-01-31') {
    console.error('dump does not end on 2101-01-31');
    process.exit(1);
}
console.log(`lunar-javascript ${version}: ${compared} days compared (1921-01-01..2101-01-31; ` +
            `${inRange} up to 2100-12-31), ${converted} converted, ` +
            `${compared - converted} outside the table, mismatches = ${mismatches}`);
process.exit(mismatches === 0 ? 0 : 1);
