#!/usr/bin/env node
// Second opinion for 1921..2049: compares a dump written by the test program (see verify.js)
// with Debian's `lunar` command (package lunar, table for 1900..2049). Slow: one call per day.
// Usage: node crosscheck_debian.js DUMPFILE
'use strict';
const fs = require('fs');
const { execFileSync } = require('child_process');

const lines = fs.readFileSync(process.argv[2], 'utf8').split('\n').filter(Boolean);
let compared = 0, mismatches = 0;
const runs = []; // consecutive mismatching days, reported as ranges
let inRun = false;
for (const line of lines) {
    const [date, year, month, leap, day] = line.split('\t');
    if (date < '1921-02-08' || date > '2049-12-31') continue;
    const [y, m, d] = date.split('-').map(Number);
    const out = execFileSync('lunar', [String(y), String(m), String(d)], { encoding: 'utf8' });
    const found = /^Lunar : (\d+)\.(\d+)(Leap)?\.(\d+)\./m.exec(out);
    const got = found ? [found[1], found[2], found[3] ? '1' : '0', found[4]].join('/') : '?';
    const ours = [year, month, leap, day].join('/');
    ++compared;
    if (got === ours) {
        inRun = false;
        continue;
    }
    ++mismatches;
    if (inRun) {
        runs[runs.length - 1].to = date;
        runs[runs.length - 1].count++;
    } else {
        runs.push({ from: date, to: date, count: 1, ours, got });
    }
    inRun = true;
}
for (const r of runs)
    console.error(`${r.from}..${r.to} (${r.count} days): from ours ${r.ours}, lunar ${r.got}`);
console.log(`Debian lunar: ${compared} days compared (1921-02-08..2049-12-31), ` +
            `mismatches = ${mismatches}`);
process.exit(mismatches === 0 ? 0 : 1);
