// group() in Node on board lists (1,000 and 30,000 designators), against the npm peer
// multi-integer-range (whole numbers only: each prefix's numbers become one
// range list) and against the native C++ call (ztxgrp_bench, run from here).
// Medians of repeated runs; also the .wasm's size, plain and gzipped.
//   node bench/group.mjs ZTXGRP_BENCH_BINARY BOARD_LIST_FILE...
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { MultiRange } from 'multi-integer-range';
import { group } from '../lib/ztxgrp.mjs';

const [benchBinary, ...listPaths] = process.argv.slice(2);
function median(run, repetitions = 31) {
  const times = [];
  for (let k = 0; k < repetitions; ++k) {
    const start = process.hrtime.bigint();
    run();
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return times.sort((a, b) => a - b)[repetitions >> 1];
}

// The peer's job: numbers per prefix, each set written as ranges.
function peerGroup(list) {
  const byPrefix = new Map();
  for (const item of list) {
    const match = /^(.*?)(\d+)$/.exec(item);
    const prefix = match ? match[1] : item;
    let numbers = byPrefix.get(prefix);
    if (!numbers) byPrefix.set(prefix, (numbers = []));
    if (match) numbers.push(Number(match[2]));
  }
  const out = [];
  for (const prefix of [...byPrefix.keys()].sort()) out.push(prefix + new MultiRange(byPrefix.get(prefix)).toString());
  return out;
}

const scale = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
function nativeGroup(size) {
  return JSON.parse(execFileSync(benchBinary, [`--benchmark_filter=^Utf8Group/board/${size}$`,
    '--benchmark_repetitions=5', '--benchmark_report_aggregates_only=true', '--benchmark_format=json'],
  { encoding: 'utf8' })).benchmarks.filter((run) => run.aggregate_name === 'median')
    .map((run) => run.real_time * scale[run.time_unit])[0];
}

// Node / native at most, by list size.
const goals = { 1000: 2, 30000: 1.5 };
for (const listPath of listPaths) {
  const items = readFileSync(listPath, 'utf8').split(/\r?\n/).filter((line) => line !== '');
  const repetitions = items.length > 5000 ? 31 : 301;
  // Warm-up: WebAssembly and JavaScript reach their optimised tiers.
  for (let k = 0; k < 50; ++k) { group(items); peerGroup(items); }
  const ours = median(() => group(items), repetitions);
  const peer = median(() => peerGroup(items), repetitions);
  const native = nativeGroup(items.length);
  const goal = goals[items.length];
  console.log(`items: ${items.length}`);
  console.log(`group (WebAssembly, Node ${process.versions.node}): ${ours.toFixed(3)} ms`);
  console.log(`multi-integer-range: ${peer.toFixed(3)} ms (${(peer / ours).toFixed(1)}x ours)`);
  console.log(`native C++ group: ${native.toFixed(3)} ms (ours ${(ours / native).toFixed(2)}x native` +
    (goal ? `; goal at most ${goal}x: ${ours / native <= goal ? 'met' : 'not met'})` : ')'));
}
const wasm = readFileSync(new URL('../lib/ztxgrp.wasm', import.meta.url));
console.log(`ztxgrp.wasm: ${wasm.length} bytes, ${gzipSync(wasm, { level: 9 }).length} gzipped`);
