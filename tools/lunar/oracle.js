// Loads the independent reference calendar (the npm package lunar-javascript) from a scratch
// folder outside the repository, so that nothing in the build or the tests depends on node.
//   mkdir -p /tmp/lunar-oracle && cd /tmp/lunar-oracle && npm install lunar-javascript
// LUNAR_ORACLE_DIR names another folder holding node_modules/lunar-javascript.
'use strict';
const path = require('path');

const dir = process.env.LUNAR_ORACLE_DIR || '/tmp/lunar-oracle';
let oracle;
try {
    oracle = require(require.resolve('lunar-javascript', { paths: [dir] }));
} catch (e) {
    console.error(`lunar-javascript not found under ${dir} (set LUNAR_ORACLE_DIR): ${e.message}`);
    process.exit(2);
}
const pkg = require(require.resolve('lunar-javascript/package.json', { paths: [dir] }));

module.exports = { ...oracle, version: pkg.version, dir: path.resolve(dir) };
