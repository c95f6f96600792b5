// ztxgrp in JavaScript: the engine compiled to WebAssembly. The module loads
// it when imported (top-level await); then every function is synchronous.
//
//   import { group, ungroup, expand, isValidRange } from 'ztxgrp';
//   group(['R3', 'R1', 'C2', 'R2', 'R5']);   // ['C2', 'R1-R3', 'R5']
import { bindInstance, imports } from './boundary.mjs';

const wasmUrl = new URL('./ztxgrp.wasm', import.meta.url);

async function wasmBytes() {
  if (typeof process === 'object' && process.versions && process.versions.node) {
    const { readFile } = await import('node:fs/promises');
    return readFile(wasmUrl);
  }
  const response = await fetch(wasmUrl);
  if (!response.ok) throw new Error(`cannot load ${wasmUrl}: ${response.status}`);
  return response.arrayBuffer();
}

const { instance } = await WebAssembly.instantiate(await wasmBytes(), imports);
bindInstance(instance);

export {
  ZtxgrpError, group, ungroup, expand, isValidRange, collapseRows, expandRows, collapseFile,
  expandFile, readFile, diffRows, diffFiles, diffText, diffHtml, collapseCsv, expandCsv, readCsv, diffCsv,
  verify, verifyRows, union, intersect, subtract, xor, count, contains, gaps, free,
} from './api.mjs';
