// collapseRows() in Node on a generated 100,000-row parts list, against
// `ztxgrp bom` on the same file (wall time of the process, file reading and
// writing included), and collapseCsv on the file's bytes. The rows are read
// before timing; the first call is shown apart, since it grows the module's
// memory.
//   node bench/collapse.mjs PARTS_CSV ZTXGRP_BINARY
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { collapseCsv, collapseRows, readCsv } from '../lib/ztxgrp.mjs';

const [csvPath, command] = process.argv.slice(2);
const bytes = readFileSync(csvPath);
const table = readCsv(bytes);
// Row objects built as CSV parsers build them, a cell at a time.
const rows = table.rows.map((cells) => {
  const row = {};
  table.header.forEach((name, k) => { row[name] = cells[k]; });
  return row;
});

function time(run) {
  const start = process.hrtime.bigint();
  run();
  return Number(process.hrtime.bigint() - start) / 1e6;
}
function median(run, repetitions = 7) {
  const times = Array.from({ length: repetitions }, () => time(run));
  return times.sort((a, b) => a - b)[repetitions >> 1];
}

const first = time(() => collapseRows(rows));
const ours = median(() => collapseRows(rows));
const file = median(() => collapseCsv(bytes));
const bom = median(() => execFileSync(command, ['bom', csvPath], { maxBuffer: 1 << 30 }));
console.log(`rows: ${rows.length}`);
console.log(`collapseRows (WebAssembly, Node ${process.versions.node}): ${ours.toFixed(1)} ms (first call ${first.toFixed(1)} ms)`);
console.log(`collapseCsv, the file's bytes: ${file.toFixed(1)} ms (collapseCsv / bom: ${(file / bom).toFixed(2)})`);
console.log(`ztxgrp bom, same rows: ${bom.toFixed(1)} ms (collapseRows / bom: ${(ours / bom).toFixed(2)})`);
