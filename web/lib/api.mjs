// ztxgrp in JavaScript: the functions over the engine compiled to
// WebAssembly, once an entry (ztxgrp.mjs for import, ztxgrp.cjs for require)
// has instantiated the module and bound it. Every function is synchronous.
// What crosses into the module and back is lib/boundary.mjs's; this file
// checks what callers give and shapes what they get.
import {
  LONE_SURROGATE, MAX_LIST, callDiffFiles, callDiffRows, callExpand, callGroup, callIsValidRange,
  callPartsFile, callPartsRows, callReadCsv, callSets, callUngroup, callVerifyFiles, callVerifyRows, defaultMinRun, encoder,
} from './boundary.mjs';

/** A runtime error of the engine: its number, description and item. */
export { ZtxgrpError } from './boundary.mjs';

// A caller's list read once into an array of its elements (at most `limit`):
// a getter or Proxy is asked for each element once, and what is measured and
// copied afterwards is this snapshot.
function snapshot(list, limit = Infinity) {
  if (Array.isArray(list)) {
    const length = Math.min(list.length, limit);
    const out = new Array(length);
    for (let k = 0; k < length; ++k) out[k] = list[k];
    return out;
  }
  const out = [];
  for (const element of list) {
    if (out.length >= limit) break;
    out.push(element);
  }
  return out;
}

// A list of texts as given (an array is read element by element, once each,
// as its texts are copied) or as a snapshot of any other iterable.
function textList(items, what) {
  if (typeof items === 'string' || items === null || typeof items !== 'object' ||
      typeof items[Symbol.iterator] !== 'function')
    throw new TypeError(`${what} is a list of strings (an array or other iterable), not ${items === null ? 'null' : typeof items}`);
  return Array.isArray(items) ? items : snapshot(items, MAX_LIST);
}

// The shortest run as the module takes it: any whole number, one beyond the
// range of a 32-bit integer meaning what the nearest one means (a run longer
// than any list: no ranges).
function minRunOf(options) {
  const minRun = options?.minRun ?? defaultMinRun();
  if (!Number.isInteger(minRun)) throw new TypeError(`minRun is a whole number, not ${String(minRun)}`);
  return Math.min(Math.max(minRun, -2147483648), 2147483647);
}

/** Sorts items and folds runs into ranges: ['R3','R1','R2'] -> ['R1-R3']. */
export function group(items, options = {}) {
  const minRun = minRunOf(options);
  return callGroup(textList(items, 'items'), 'items', minRun);
}

/** Expands items and ranges, sorted: ['C1-C3', 'R5'] -> ['C1', 'C2', 'C3', 'R5']. */
export function ungroup(items) {
  return callUngroup(textList(items, 'items'), 'items');
}

function oneText(text, what) {
  if (typeof text !== 'string') throw new TypeError(`${what} is a string, not ${typeof text}`);
  return text;
}

/** Expands one item or range text: 'R1-R3' -> ['R1', 'R2', 'R3']. */
export function expand(text) {
  return callExpand(oneText(text, 'text'), 'text');
}

/** Whether a text is a valid item or ascending range. */
export function isValidRange(text) {
  return callIsValidRange(oneText(text, 'text'), 'text');
}

// The names of `by` as given: one text of names (the module splits it, as
// every front end does) or a list of names.
function byNamesOf(by, what) {
  if (by === undefined || by === null) return [];
  if (typeof by === 'string') return [by];
  if (typeof by !== 'object' || typeof by[Symbol.iterator] !== 'function')
    throw new TypeError(`${what} is a name or a list of names, not ${typeof by}`);
  const names = snapshot(by);
  for (const name of names) if (typeof name !== 'string') throw new TypeError(`${what} is a list of names, not of ${typeof name}`);
  return names;
}

// How messages name the options: an object of option names to texts.
function labelsOf(optionLabels) {
  if (optionLabels === undefined || optionLabels === null) return [];
  if (typeof optionLabels !== 'object') throw new TypeError(`optionLabels is an object, not ${typeof optionLabels}`);
  const labels = Object.entries(optionLabels);
  for (const [name, label] of labels) {
    if (typeof label !== 'string') throw new TypeError(`optionLabels.${name} is a string, not ${typeof label}`);
    if (LONE_SURROGATE.test(label) || LONE_SURROGATE.test(name)) throw new RangeError(`optionLabels.${name} holds an unpaired surrogate`);
  }
  return labels;
}

// The options object itself, checked to be one.
function partsOptionsObject(options) {
  if (options === null || typeof options !== 'object') throw new TypeError('options is an object');
  return options;
}

// The parts-list options as callers give them, their types checked: what
// they say is the library's to check.
function partsOptions(options, expand = false) {
  partsOptionsObject(options);
  const { refs, qty, sep, sheet, format } = options;
  // An option not given is not passed: the library's default applies.
  const { join, unchanged } = options;
  const minRun = options.minRun == null ? undefined : minRunOf(options);
  if (unchanged != null && typeof unchanged !== 'boolean') throw new TypeError(`unchanged is a boolean, not ${typeof unchanged}`);
  const { headerRow, lastRow, maxPerRow, noRanges, placementFormat } = options;
  for (const [what, value] of [['headerRow', headerRow], ['lastRow', lastRow], ['maxPerRow', maxPerRow]])
    if (value != null && !Number.isInteger(value)) throw new TypeError(`${what} is a whole number, not ${String(value)}`);
  if (noRanges != null && typeof noRanges !== 'boolean') throw new TypeError(`noRanges is a boolean, not ${typeof noRanges}`);
  for (const [what, value] of [['refs', refs], ['qty', qty], ['join', join], ['sep', sep], ['sheet', sheet], ['format', format],
    ['placementFormat', placementFormat]])
    if (value !== undefined && value !== null && typeof value !== 'string') throw new TypeError(`${what} is a string, not ${typeof value}`);
  const byNames = byNamesOf(options.by, 'by');
  const ignore = byNamesOf(options.ignore, 'ignore').flatMap((text) => text.split(',')).filter((name) => name !== '');
  const parts = byNamesOf(options.parts, 'parts');
  const { boards } = options;
  if (boards != null && !Number.isInteger(boards)) throw new TypeError(`boards is a whole number, not ${String(boards)}`);
  for (const [what, value] of [['refs', refs], ['qty', qty], ['join', join], ['sep', sep], ['sheet', sheet], ...byNames.map((b) => ['by', b])])
    if (typeof value === 'string' && LONE_SURROGATE.test(value)) throw new RangeError(`${what} holds an unpaired surrogate`);
  const labels = labelsOf(options.optionLabels);
  return { refs, qty, sep, sheet, format, join, byNames, byText: typeof options.by === 'string', minRun, expand, unchanged, headerRow, lastRow, labels,
    maxPerRow, noRanges, ignore, placementFormat, parts, partsText: typeof options.parts === 'string', boards };
}

// Rows (objects, as a CSV parser gives them) to the layer's table: the keys
// in the order first seen are the header; a missing cell is empty. Only a
// row's own properties are read, each once: a column may be named
// "constructor" or "__proto__".
// A list of row objects read once: the header (keys in the order first
// seen) and the cells row by row in header order (a missing cell empty).
function readRows(rows, what) {
  if (rows === null || typeof rows !== 'object' || typeof rows[Symbol.iterator] !== 'function')
    throw new TypeError(`${what} is a list of objects`);
  const list = snapshot(rows);
  const header = [];
  const seen = new Map();
  // Each row's own cells, read once: their columns and texts, row after row.
  const columns = [], texts = [], starts = [0];
  list.forEach((row, k) => {
    if (row === null || typeof row !== 'object') throw new TypeError(`${what}[${k}] is no object`);
    const keys = Object.keys(row);
    // Rows from a CSV parser have the header's keys in its order: found
    // without a look-up.
    let inOrder = keys.length <= header.length;
    for (let i = 0; inOrder && i < keys.length; ++i) inOrder = keys[i] === header[i];
    for (let i = 0; i < keys.length; ++i) {
      const name = keys[i];
      const cell = row[name];
      if (cell !== null && cell !== undefined && typeof cell !== 'string')
        throw new TypeError(`${what}[${k}].${name} is a ${typeof cell}, not a string`);
      let column = inOrder ? i : seen.get(name);
      if (column === undefined) {
        if (LONE_SURROGATE.test(name)) throw new RangeError(`${what}[${k}]: the column name ${JSON.stringify(name)} holds an unpaired surrogate`);
        column = header.length;
        seen.set(name, column);
        header.push(name);
      }
      columns.push(column);
      texts.push(cell ?? '');
    }
    starts.push(columns.length);
  });
  const width = header.length;
  const cells = new Array(list.length * width).fill('');
  for (let r = 0; r < list.length; ++r)
    for (let e = starts[r]; e < starts[r + 1]; ++e) cells[r * width + columns[e]] = texts[e];
  return { header, cells, count: list.length };
}

// Where text `k` of a table call's texts came from, for a message: each
// table's column names and cells in turn (`tables`: their names in
// messages, headers and row counts).
function tableNamer(tables) {
  return (k) => {
    let at = 0;
    for (const [what, header, rows] of tables) {
      if (k < at + header.length) return `${what}: a column name`;
      at += header.length;
      if (k < at + header.length * rows) return `${what}[${Math.floor((k - at) / header.length)}].${header[(k - at) % header.length]}`;
      at += header.length * rows;
    }
    return 'options';
  };
}

// The module's table result as row objects that hold any column name.
function resultRows({ header: names, cells, count }) {
  const width = names.length;
  const result = new Array(count);
  for (let r = 0; r < count; ++r) {
    const row = {};
    for (let k = 0; k < width; ++k) {
      const cell = cells[r * width + k];
      // Defined, not assigned, where assigning would set the prototype.
      if (names[k] === '__proto__') Object.defineProperty(row, names[k], { value: cell, enumerable: true, writable: true, configurable: true });
      else row[names[k]] = cell;
    }
    result[r] = row;
  }
  return { header: names, rows: result };
}

function partsCall(rows, options, expandRows) {
  const { header, cells, count: rowCount } = readRows(rows, 'rows');
  const checkedOptions = partsOptions(options, expandRows);
  const result = callPartsRows(checkedOptions, header, cells, rowCount, tableNamer([['rows', header, rowCount]]));
  return { ...resultRows(result), warnings: result.warnings };
}

/**
 * One row per part: rows that agree on the `by` columns (default: all but
 * designators and quantity) become one, their designators grouped and counted.
 */
export function collapseRows(rows, options = {}) {
  return partsCall(rows, options, false);
}

/** One row per designator, every other cell copied, quantity 1. */
export function expandRows(rows, options = {}) {
  return partsCall(rows, options, true);
}

// A file given as bytes (Uint8Array, any typed array or DataView,
// ArrayBuffer) or as a string (written as UTF-8).
function fileBytes(data) {
  if (typeof data === 'string') {
    const lone = data.search(LONE_SURROGATE);
    if (lone >= 0) throw new RangeError(`data holds an unpaired surrogate at position ${lone}`);
    return encoder.encode(data);
  }
  if (data instanceof ArrayBuffer) return new Uint8Array(data);
  if (ArrayBuffer.isView(data)) return new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
  throw new TypeError(`data is the file as bytes (a Uint8Array or ArrayBuffer) or a string, not ${data === null ? 'null' : typeof data}`);
}

function csvCall(data, options, expand) {
  const checkedOptions = partsOptions(options, expand);
  return callPartsFile(checkedOptions, fileBytes(data));
}

/**
 * What changed between two parts lists (row objects): `{header, rows,
 * warnings}` with the columns that `ztxgrp diff --csv` writes (Change, the
 * designator column, Count, then "C (old)" and "C (new)" per compared column
 * and the quantity). Options as for collapseRows, and `unchanged` (also the
 * designators that did not change). Notes (a column not compared) come first
 * among the warnings, with their own kind.
 */
export function diffRows(oldRows, newRows, options = {}) {
  const older = readRows(oldRows, 'oldRows'), newer = readRows(newRows, 'newRows');
  const result = callDiffRows(partsOptions(options), older, newer,
    tableNamer([['oldRows', older.header, older.count], ['newRows', newer.header, newer.count]]));
  // Comparing parts: the parts whose quantity changed, as rows.
  const parts = result.second ? { parts: resultRows(result.second).rows } : {};
  return { ...resultRows(result), ...parts, warnings: result.warnings };
}

/**
 * Two parts-list files compared: `{data, warnings}`, `data` the bytes that
 * `ztxgrp diff` writes in the form `format` names: 'text' (the default: one
 * line per change, then a summary), 'json', 'csv' (the table of changes, in
 * NEW's separator, line ends and encoding), 'xlsx' or 'ods' (the table as a
 * workbook, each kind of change in its own colour).
 */
export function diffFiles(oldData, newData, options = {}) {
  const checkedOptions = partsOptions(options);
  return callDiffFiles(checkedOptions, fileBytes(oldData), fileBytes(newData));
}

/**
 * Two parts-list files compared, as the self-contained HTML report that
 * `ztxgrp diff --html` writes (a string): the lists named `oldName` and
 * `newName` (default "the old list", "the new list"); other options as for
 * diffFiles.
 */
export function diffHtml(oldData, newData, options = {}) {
  const { oldName, newName, ...others } = partsOptionsObject(options);
  for (const [what, name] of [['oldName', oldName], ['newName', newName]]) {
    if (name != null && typeof name !== 'string') throw new TypeError(`${what} is a string, not ${typeof name}`);
    if (typeof name === 'string' && LONE_SURROGATE.test(name)) throw new RangeError(`${what} holds an unpaired surrogate`);
  }
  const { data } = callDiffFiles(partsOptions({ ...others, format: 'html' }), fileBytes(oldData), fileBytes(newData),
    [oldName ?? '', newName ?? '']);
  return new TextDecoder().decode(data);
}

/** Two parts-list files compared, as the text `ztxgrp diff` prints for people (a string). */
export function diffText(oldData, newData, options = {}) {
  const { data } = diffFiles(oldData, newData, { ...partsOptionsObject(options), format: 'text' });
  return new TextDecoder().decode(data);
}

/**
 * The first name of diffFiles: the table of changes as `ztxgrp diff --csv`
 * writes it, unless `format` names another form.
 */
export function diffCsv(oldData, newData, options = {}) {
  const given = partsOptionsObject(options);
  return diffFiles(oldData, newData, { ...given, format: given.format ?? 'csv' });
}

/**
 * A parts-list file (CSV or workbook) read as the parts-list functions read
 * it: the header, the first `maxRows` rows (default all) as arrays of cells,
 * and the number of rows. Options as for collapseFile (`sep`, `headerRow`
 * and `refs` choose the separator and the header; title rows above it are
 * not rows).
 */
export function readFile(data, options = {}) {
  const checkedOptions = partsOptions(options);
  const maxRows = options.maxRows ?? 0xffffffff;
  if (!Number.isInteger(maxRows) || maxRows < 0) throw new TypeError('maxRows is a whole number');
  return callReadCsv(checkedOptions, fileBytes(data), maxRows);
}

/**
 * A parts-list file (CSV or workbook) collapsed to one row per part: the
 * bytes that `ztxgrp bom` writes for it (the file's separator, quoting,
 * line ends and encoding), and the warnings.
 */
export function collapseFile(data, options = {}) {
  return csvCall(data, options, false);
}

/** A parts-list file expanded to one row per designator, as `ztxgrp bom --expand` writes it. */
export function expandFile(data, options = {}) {
  return csvCall(data, options, true);
}

// The names these functions had when they read CSV alone; they take
// workbooks too.
export const collapseCsv = collapseFile;
export const expandCsv = expandFile;
export const readCsv = readFile;

// Named files or tables: a Map or object of names to values, or a list of
// values or of {name, data} (files) / {name, rows} (tables); unnamed ones
// are "placement 1", "placement 2", ...
function namedEntries(items, what, key) {
  if (items === undefined || items === null) return [];
  if (items instanceof Map) return [...items].map(([name, value]) => ({ name: String(name), value }));
  if (typeof items !== 'object') throw new TypeError(`${what} is a list or a map of names`);
  if (typeof items[Symbol.iterator] !== 'function')
    return Object.entries(items).map(([name, value]) => ({ name, value }));
  return snapshot(items).map((item, k) => (item !== null && typeof item === 'object' && typeof item.name === 'string' && key in item
    ? { name: item.name, value: item[key] } : { name: `placement ${k + 1}`, value: item }));
}

/**
 * A parts list's bytes (CSV or workbook) checked against its placement
 * files, read as one set, as `ztxgrp verify` checks them: `{data,
 * warnings}`, `data` the bytes it writes in `format` ('text', the default:
 * one line per finding, then a summary; 'json', 'csv', 'xlsx' or 'ods'). `bom` is
 * the file's data or `{name, data}`; `placements` a list of data or of
 * `{name, data}`, or a Map or object of names to data.
 */
export function verify(bom, placements = [], options = {}) {
  const checkedOptions = partsOptions(options);
  const named = bom !== null && typeof bom === 'object' && typeof bom.name === 'string' && 'data' in bom;
  const list = { name: named ? bom.name : 'parts list', data: fileBytes(named ? bom.data : bom) };
  const files = namedEntries(placements, 'placements', 'data').map(({ name, value }) => ({ name, data: fileBytes(value) }));
  return callVerifyFiles(checkedOptions, list, files);
}

/**
 * Rows checked as verify checks files: `{findings, warnings}`, each finding
 * `{finding, designators, count, detail, places: [{file, noun, lines}]}`.
 * `placements` as for verify, with rows (lists of objects) for data.
 */
export function verifyRows(bomRows, placements = [], options = {}) {
  const checkedOptions = partsOptions(options);
  const bom = { name: 'parts list', ...readRows(bomRows, 'bomRows') };
  const tables = namedEntries(placements, 'placements', 'rows').map(({ name, value }) => ({ name, ...readRows(value, name) }));
  return callVerifyRows(checkedOptions, bom, tables, () => 'bomRows or placements');
}

// One operand: a cell's text, or a list of cells (their texts on lines of
// their own, as a cell's designators are separated).
function operandText(given, what) {
  if (typeof given === 'string') {
    if (LONE_SURROGATE.test(given)) throw new RangeError(`${what} holds an unpaired surrogate`);
    return given;
  }
  if (given === null || typeof given !== 'object' || typeof given[Symbol.iterator] !== 'function')
    throw new TypeError(`${what} is a string or a list of strings`);
  const cells = snapshot(given);
  for (const cell of cells) if (typeof cell !== 'string') throw new TypeError(`${what} is a list of strings, not of ${typeof cell}`);
  return operandText(cells.join('\n'), what);
}

function setOptions(options) {
  partsOptionsObject(options);
  return options.minRun == null ? defaultMinRun() : minRunOf(options);
}

// The operations' numbers in the module.
const SETS = { union: 0, intersect: 1, subtract: 2, xor: 3, count: 4, contains: 5, gaps: 6, free: 7 };

function combined(operation, lists, options) {
  return callSets(SETS[operation], lists.map((list, k) => operandText(list, `list ${k + 1}`)), setOptions(options)).texts;
}

/** Every designator in any list, as group writes them: union([a, b], {minRun}). */
export function union(lists, options = {}) {
  return combined('union', snapshot(lists), options);
}
/** The designators in every list. */
export function intersect(lists, options = {}) {
  return combined('intersect', snapshot(lists), options);
}
/** The designators of the first list in none of the others. */
export function subtract(lists, options = {}) {
  return combined('subtract', snapshot(lists), options);
}
/** The designators in an odd number of the lists. */
export function xor(lists, options = {}) {
  return combined('xor', snapshot(lists), options);
}
/** Each list's number of designators, ranges expanded, each once. */
export function count(lists) {
  const { texts, meta } = callSets(SETS.count, snapshot(lists).map((list, k) => operandText(list, `list ${k + 1}`)), 2);
  return texts.map((text, k) => ({ designators: Number(text), repeated: meta[k] }));
}
/** For each item (a designator or a range): whether all of it is in `members`. */
export function contains(members, items) {
  const texts = [operandText(members, 'members'), ...snapshot(items).map((item, k) => operandText(item, `item ${k + 1}`))];
  return callSets(SETS.contains, texts, 2).texts.map((text) => text === 'true');
}
/** For each prefix, the numbers missing between its lowest and highest designator. */
export function gaps(members, options = {}) {
  return callSets(SETS.gaps, [operandText(members, 'members')], setOptions(options)).texts;
}
/**
 * The `n` lowest numbers from 1 up that `prefix` does not use in `members`:
 * `{entries, found}` (`found` below `n` when fewer are left).
 */
export function free(members, prefix, options = {}) {
  const n = options.n ?? 1;
  if (!Number.isInteger(n)) throw new TypeError(`n is a whole number, not ${String(n)}`);
  // The library checks the count; past 32-bit it asks for more than there are all the same.
  const { texts, meta } = callSets(SETS.free, [operandText(members, 'members'), operandText(prefix, 'prefix')],
    setOptions(options), Math.max(Math.min(n, 0x7fffffff), -0x80000000) >>> 0);
  return { entries: texts, found: meta[0] };
}
