#!/usr/bin/env node
// Derives the lunar year table (one 32-bit entry per lunar year) from lunar-javascript.
//
// Entry layout: bits 0..11 (12 months) or 0..12 (13 months) hold the month lengths in the
// order of the year, the first month in the highest bit, 1 = 30 days, 0 = 29 days; bits 16 and
// up hold the number of the month that is followed by the leap month (0 = no leap month).
//
// Usage:
//   node generate_table.js                 print the C++ table for 1921..2100
//   node generate_table.js --check FILE    compare the table in FILE (LunarCalendar.cpp) with it
// Either way the entries for 1921..2020 are first compared, text for text, with the historical
// 100-entry table the program has always shipped; any difference is an error (exit 1).
'use strict';
const fs = require('fs');
const { LunarYear, version, dir } = require('./oracle');

const FIRST_YEAR = 1921;
const LAST_YEAR = 2100;

// The table of the original program, lunar years 1921..2020, exactly as written there.
const HISTORICAL = `
0xA4B, 0x5164B, 0x6A5, 0x6D4, 0x415B5, 0x2B6, 0x957, 0x2092F, 0x497, 0x60C96
0xD4A, 0xEA5, 0x50DA9, 0x5AD, 0x2B6, 0x3126E, 0x92E, 0x7192D, 0xC95, 0xD4A
0x61B4A, 0xB55, 0x56A, 0x4155B, 0x25D, 0x92D, 0x2192B, 0xA95, 0x71695, 0x6CA
0xB55, 0x50AB5, 0x4DA, 0xA5B, 0x30A57, 0x52B, 0x8152A, 0xE95, 0x6AA, 0x615AA
0xAB5, 0x4B6, 0x414AE, 0xA57, 0x526, 0x31D26, 0xD95, 0x70B55, 0x56A, 0x96D
0x5095D, 0x4AD, 0xA4D, 0x41A4D, 0xD25, 0x81AA5, 0xB54, 0xB6A, 0x612DA, 0x95B
0x49B, 0x41497, 0xA4B, 0xA164B, 0x6A5, 0x6D4, 0x615B4, 0xAB6, 0x957, 0x5092F
0x497, 0x64B, 0x30D4A, 0xEA5, 0x80D65, 0x5AC, 0xAB6, 0x5126D, 0x92E, 0xC96
0x41A95, 0xD4A, 0xDA5, 0x20B55, 0x56A, 0x7155B, 0x25D, 0x92D, 0x5192B, 0xA95
0xB4A, 0x416AA, 0xAD5, 0x90AB5, 0x4BA, 0xA5B, 0x60A57, 0x52B, 0xA93, 0x40E95
`.split(/[\s,]+/).filter(Boolean);

const hex = (v) => '0x' + v.toString(16).toUpperCase();

function entryFor(year) {
    const y = LunarYear.fromYear(year);
    const months = y.getMonthsInYear();
    const leap = y.getLeapMonth();
    if (months.length !== (leap ? 13 : 12)) throw new Error(`${year}: ${months.length} months`);
    let bits = 0;
    let expectJd = months[0].getFirstJulianDay();
    months.forEach((m, pos) => {
        // Months must follow each other without gaps, numbered 1..12 with the leap month as -L.
        const want = !leap || pos < leap ? pos + 1 : pos === leap ? -leap : pos;
        if (m.getMonth() !== want || m.getYear() !== year)
            throw new Error(`${year}: month ${pos} is ${m.getYear()}/${m.getMonth()}`);
        if (m.getFirstJulianDay() !== expectJd) throw new Error(`${year}: gap before ${pos}`);
        if (m.getDayCount() !== 29 && m.getDayCount() !== 30) throw new Error(`${year}: length`);
        expectJd += m.getDayCount();
        bits = bits * 2 + (m.getDayCount() === 30 ? 1 : 0);
    });
    const next = LunarYear.fromYear(year + 1).getMonthsInYear()[0].getFirstJulianDay();
    if (next !== expectJd) throw new Error(`${year}: next year does not follow`);
    return leap * 65536 + bits;
}

const entries = [];
for (let year = FIRST_YEAR; year <= LAST_YEAR; ++year) entries.push(hex(entryFor(year)));

let failed = false;
HISTORICAL.forEach((text, i) => {
    if (entries[i] !== text) {
        console.error(`lunar year ${FIRST_YEAR + i}: derived ${entries[i]}, historical ${text}`);
        failed = true;
    }
});
if (HISTORICAL.length !== 100) throw new Error('historical table must have 100 entries');
console.error(`lunar-javascript ${version} (${dir}): ${entries.length} entries ` +
              `${FIRST_YEAR}..${LAST_YEAR}; 1921..2020 ` +
              (failed ? 'DIFFER from' : 'equal, text for text,') + ' the historical table');

function cppTable() {
    const lines = [];
    for (let i = 0; i < entries.length; i += 10) {
        const row = entries.slice(i, i + 10).join(', ');
        lines.push(`    ${row}, // ${FIRST_YEAR + i}-${FIRST_YEAR + i + 9}`);
    }
    return lines.join('\n');
}

const checkIdx = process.argv.indexOf('--check');
if (checkIdx >= 0) {
    const file = process.argv[checkIdx + 1];
    const src = fs.readFileSync(file, 'utf8');
    const m = /BEGIN YEAR TABLE[^\n]*\n([\s\S]*?)\n[^\n]*END YEAR TABLE/.exec(src);
    if (!m) {
        console.error(`${file}: no table between BEGIN YEAR TABLE and END YEAR TABLE`);
        process.exit(1);
    }
    const inFile = m[1].replace(/\/\/[^\n]*/g, '').split(/[\s,{};]+/).filter((s) => /^0x/i.test(s));
    let diff = inFile.length !== entries.length;
    if (diff) console.error(`${file}: ${inFile.length} entries, expected ${entries.length}`);
    inFile.forEach((text, i) => {
        if (text !== entries[i]) {
            console.error(`${file}: lunar year ${FIRST_YEAR + i}: ${text}, expected ${entries[i]}`);
            diff = true;
        }
    });
    console.error(`${file}: table ${diff ? 'DIFFERS' : 'matches'}`);
    failed = failed || diff;
} else {
    console.log(cppTable());
}
process.exit(failed ? 1 : 0);
