// ztxgrp in JavaScript: the functions over the engine compiled to
// WebAssembly, once an entry (ztxgrp.mjs for import, ztxgrp.cjs for require)
// has instantiated the module and bound it. Every function is synchronous.

/** A runtime error of the engine: its number, description and item. */
export class ZtxgrpError extends Error {
  // `message`: the engine's own wording of the error, the same as every
  // other front end's.
  constructor(number, description, item = null, row = null, message = `runtime error ${number}: ${description}`) {
    super(message);
    this.name = 'ZtxgrpError';
    this.number = number;
    this.description = description;
    this.item = item;
    this.row = row;
  }
}

let memory = null;
let wasm = null;

// What the module imports from its host.
export const imports = {
  env: { emscripten_notify_memory_growth() {} },
  wasi_snapshot_preview1: {
    clock_time_get(_id, _precision, out) {
      new DataView(memory.buffer).setBigUint64(out, BigInt(Date.now()) * 1000000n, true);
      return 0;
    },
    proc_exit(code) {
      throw new Error(`ztxgrp.wasm stopped (${code})`);
    },
  },
};

// Makes the functions below use `instance`, instantiated with `imports`.
export function bindInstance(instance) {
  wasm = instance.exports;
  memory = wasm.memory;
  wasm._initialize();
}

const encoder = new TextEncoder();
const decoder = new TextDecoder('utf-16le');
const LONE_SURROGATE = /[\uD800-\uDFFF]/u;

// The texts' UTF-8 bytes and their lengths (UTF-16 units, or bytes when
// `byteLengths`) in module memory, for one call.
// One pass: ASCII text is copied code unit by code unit (no joined string
// is built); any other text goes through TextEncoder, after a check for
// unpaired surrogates, which have no UTF-8 form.
function withTexts(texts, what, call, headroom = 4, byteLengths = false) {
  let units = 0;
  for (const text of texts) units += text.length;
  // Room for the call's own work, grown at once (a failure shows later as
  // error 7 from the allocation that lacks it).
  wasm.ztxgrp_reserve(headroom * (units * 3 + texts.length * 4) + 65536);
  const lengths = wasm.ztxgrp_alloc(texts.length * 4);
  const bytes = wasm.ztxgrp_alloc(units * 3);
  try {
    if (!lengths || !bytes) throw new ZtxgrpError(7, 'Out of memory');
    const lengthView = new Uint32Array(memory.buffer, lengths, texts.length);
    const heap = new Uint8Array(memory.buffer);
    let at = bytes;
    for (let k = 0; k < texts.length; ++k) {
      const text = texts[k];
      let i = 0;
      for (; i < text.length; ++i) {
        const unit = text.charCodeAt(i);
        if (unit >= 0x80) break;
        heap[at + i] = unit;
      }
      if (i === text.length) {
        lengthView[k] = byteLengths ? i : text.length;
        at += i;
        continue;
      }
      const lone = text.search(LONE_SURROGATE);
      if (lone >= 0) {
        const name = typeof what === 'function' ? what(k) : `${what}[${k}]`;
        throw new RangeError(`${name} holds an unpaired surrogate at position ${lone}`);
      }
      const written = encoder.encodeInto(text, heap.subarray(at, bytes + units * 3)).written;
      lengthView[k] = byteLengths ? written : text.length;
      at += written;
    }
    return call(bytes, at - bytes, lengths, texts.length);
  } finally {
    wasm.ztxgrp_free(bytes);
    wasm.ztxgrp_free(lengths);
  }
}

// The texts' own UTF-16 units side by side in module memory, with the
// offset where each begins and one where the last ends, for one call: no
// conversion. Each element of `list` (an array, or a snapshot) is read once
// and copied as it is read; the buffer grows when texts are longer than
// designators usually are. A text with an unpaired surrogate, which no other
// front end can hold, is refused, as is an element that is no string.
function withUnits(list, what, call) {
  const length = list.length;  // a Proxy may claim any length
  const count = Number.isSafeInteger(length) && length > 0 ? Math.min(length, MAX_LIST) : 0;
  let capacity = count * 8 + 64;
  wasm.ztxgrp_reserve(4 * (capacity * 2 + count * 4) + 65536);
  const offsets = wasm.ztxgrp_alloc((count + 1) * 4);
  let buffer = wasm.ztxgrp_alloc(capacity * 2);
  try {
    if (!offsets || !buffer) throw new ZtxgrpError(7, 'Out of memory');
    let units = new Uint16Array(memory.buffer, buffer, capacity);
    let cuts = new Uint32Array(memory.buffer, offsets, count + 1);
    let at = 0;
    cuts[0] = 0;
    for (let k = 0; k < count; ++k) {
      const text = list[k];
      if (typeof text !== 'string') throw new TypeError(`${what}[${k}] is a ${typeof text}, not a string`);
      if (at + text.length > capacity) {
        const grown = Math.max(2 * capacity, at + text.length);
        const moved = wasm.ztxgrp_alloc(grown * 2);
        if (!moved) throw new ZtxgrpError(7, 'Out of memory');
        new Uint16Array(memory.buffer, moved, at).set(new Uint16Array(memory.buffer, buffer, at));
        wasm.ztxgrp_free(buffer);
        buffer = moved;
        capacity = grown;
        units = new Uint16Array(memory.buffer, buffer, capacity);
        cuts = new Uint32Array(memory.buffer, offsets, count + 1);
      }
      let surrogate = false;
      for (let i = 0; i < text.length; ++i) {
        const unit = text.charCodeAt(i);
        surrogate ||= (unit & 0xf800) === 0xd800;
        units[at + i] = unit;
      }
      if (surrogate) {
        const lone = text.search(LONE_SURROGATE);
        if (lone >= 0) throw new RangeError(`${what}[${k}] holds an unpaired surrogate at position ${lone}`);
      }
      cuts[k + 1] = at += text.length;
    }
    return call(buffer, at, offsets, count);
  } finally {
    wasm.ztxgrp_free(buffer);
    wasm.ztxgrp_free(offsets);
  }
}

function resultMeta() {
  return Array.from(new Uint32Array(memory.buffer, wasm.ztxgrp_result_meta(), wasm.ztxgrp_result_meta_count()));
}

function resultTexts() {
  const count = wasm.ztxgrp_result_count();
  const text = decoder.decode(new Uint16Array(memory.buffer, wasm.ztxgrp_result_text(), wasm.ztxgrp_result_units()));
  const lengths = new Uint32Array(memory.buffer, wasm.ztxgrp_result_lengths(), count);
  const out = new Array(count);
  for (let k = 0, at = 0; k < count; ++k) {
    out[k] = text.substring(at, at + lengths[k]);
    at += lengths[k];
  }
  return out;
}

// The status of a call: results on success, else the error it stands for.
function checked(status) {
  if (status === 0) return resultTexts();
  const texts = resultTexts();
  const meta = resultMeta();
  if (status === 1) {
    const row = meta[2] ? meta[2] : null;
    if (texts.length === 0) throw new ZtxgrpError(meta[0], 'Out of memory');
    throw new ZtxgrpError(meta[0], texts[1], meta[1] ? texts[2] : null, row, texts[0]);
  }
  const error = new RangeError(texts[0] ?? 'ztxgrp: the call failed');
  if (meta[0]) error.row = meta[0];
  throw error;
}

// The largest list the engine reads: one more item than a list may hold, so
// that a longer one fails as it does in every front end (error 6).
const MAX_LIST = 32768 + 1;

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
  const minRun = options?.minRun ?? wasm.ztxgrp_default_min_run();
  if (!Number.isInteger(minRun)) throw new TypeError(`minRun is a whole number, not ${String(minRun)}`);
  return Math.min(Math.max(minRun, -2147483648), 2147483647);
}

/** Sorts items and folds runs into ranges: ['R3','R1','R2'] -> ['R1-R3']. */
export function group(items, options = {}) {
  const minRun = minRunOf(options);
  const texts = textList(items, 'items');
  return checked(withUnits(texts, 'items', (b, n, l, c) => wasm.ztxgrp_group(b, n, l, c, minRun)));
}

/** Expands items and ranges, sorted: ['C1-C3', 'R5'] -> ['C1', 'C2', 'C3', 'R5']. */
export function ungroup(items) {
  const texts = textList(items, 'items');
  return checked(withUnits(texts, 'items', (b, n, l, c) => wasm.ztxgrp_ungroup(b, n, l, c)));
}

function oneText(text, what) {
  if (typeof text !== 'string') throw new TypeError(`${what} is a string, not ${typeof text}`);
  return text;
}

/** Expands one item or range text: 'R1-R3' -> ['R1', 'R2', 'R3']. */
export function expand(text) {
  oneText(text, 'text');
  return checked(withUnits([text], 'text', (b, n) => wasm.ztxgrp_expand(b, n)));
}

/** Whether a text is a valid item or ascending range. */
export function isValidRange(text) {
  oneText(text, 'text');
  checked(withUnits([text], 'text', (b, n) => wasm.ztxgrp_is_valid_range(b, n)));
  return resultMeta()[0] === 1;
}

// The names of `by` as given: one text of names (the module splits it, as
// every front end does) or a list of names.
function byNamesOf(by) {
  if (by === undefined || by === null) return [];
  if (typeof by === 'string') return [by];
  if (typeof by !== 'object' || typeof by[Symbol.iterator] !== 'function')
    throw new TypeError(`by is a column name or a list of column names, not ${typeof by}`);
  const names = snapshot(by);
  for (const name of names) if (typeof name !== 'string') throw new TypeError(`by is a list of column names, not of ${typeof name}`);
  return names;
}

// The options of every parts-list call in the module's one layout (its
// ReadOptions): numbers, then texts. Only their types are checked here; the
// library checks what they say.
function optionLayout(options, expand = false) {
  if (options === null || typeof options !== 'object') throw new TypeError('options is an object');
  const { refs, qty, sep } = options;
  const join = options.join ?? ', ';
  const minRun = minRunOf(options);
  const unchanged = options.unchanged ?? false;
  if (typeof unchanged !== 'boolean') throw new TypeError(`unchanged is a boolean, not ${typeof unchanged}`);
  for (const [what, value] of [['refs', refs], ['qty', qty], ['join', join], ['sep', sep]])
    if (value !== undefined && value !== null && typeof value !== 'string') throw new TypeError(`${what} is a string, not ${typeof value}`);
  const byNames = byNamesOf(options.by);
  for (const [what, value] of [['refs', refs], ['qty', qty], ['join', join], ['sep', sep], ...byNames.map((b) => ['by', b])])
    if (typeof value === 'string' && LONE_SURROGATE.test(value)) throw new RangeError(`${what} holds an unpaired surrogate`);
  const texts = [];
  for (const value of [refs, qty, sep]) if (value != null) texts.push(value);
  texts.push(join, ...byNames);
  const numbers = [refs != null ? 1 : 0, qty != null ? 1 : 0, sep != null ? 1 : 0, byNames.length,
    typeof options.by === 'string' ? 1 : 0, minRun >>> 0, expand ? 1 : 0, unchanged ? 1 : 0];
  return { texts, numbers };
}

// The kinds of warnings, by their number in the module; a comparison's note
// (a column not compared) has a kind of its own.
const WARNING_KINDS = ['duplicate-designator', 'differing-cells', 'quantity-not-whole', 'quantity-mismatch', 'column-not-compared'];

// The warnings of a parts call: `count` messages from `messages`, their
// kinds and rows from `details`.
function warningsOf(count, messages, details) {
  const warnings = [];
  for (let w = 0, at = 0; w < count; ++w) {
    const n = details[at + 1];
    warnings.push({ kind: WARNING_KINDS[details[at]], message: messages[w], rows: details.slice(at + 2, at + 2 + n) });
    at += 2 + n;
  }
  return warnings;
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

// Where text `k` of a parts call's texts came from, for a message: an option
// before `leading`, then each table's column names and cells in turn
// (`tables`: their names in messages, headers and row counts).
function tableNamer(tables, leading) {
  return (k) => {
    if (k < leading) return 'options';
    let at = leading;
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
function resultRows(out, width, count) {
  const names = out.slice(0, width);
  const result = new Array(count);
  for (let r = 0; r < count; ++r) {
    const row = {};
    for (let k = 0; k < width; ++k) {
      const cell = out[width + r * width + k];
      // Defined, not assigned, where assigning would set the prototype.
      if (names[k] === '__proto__') Object.defineProperty(row, names[k], { value: cell, enumerable: true, writable: true, configurable: true });
      else row[names[k]] = cell;
    }
    result[r] = row;
  }
  return { header: names, rows: result };
}

// Calls the module with numbers in its memory for the call.
function withNumbers(numbers, call) {
  const meta = wasm.ztxgrp_alloc(numbers.length * 4);
  try {
    if (!meta) throw new ZtxgrpError(7, 'Out of memory');
    new Uint32Array(memory.buffer, meta, numbers.length).set(numbers);
    return call(meta);
  } finally {
    wasm.ztxgrp_free(meta);
  }
}

function partsCall(rows, options, expandRows) {
  const { header, cells, count: rowCount } = readRows(rows, 'rows');
  const { texts: leading, numbers } = optionLayout(options, expandRows);
  // No rows: nothing to collapse or expand, and no columns known.
  if (rowCount === 0) return { header: [], rows: [], warnings: [] };
  // The table as the module reads it: options, header, then the cells.
  const table = leading.concat(header, cells);
  const nameOf = tableNamer([['rows', header, rowCount]], leading.length);
  numbers.push(header.length, rowCount);
  const out = withNumbers(numbers, (meta) =>
    checked(withTexts(table, nameOf, (b, n, l, c) => wasm.ztxgrp_parts(b, n, l, c, meta), 8, true)));
  const [outWidth, count, warningCount, ...details] = resultMeta();
  return { ...resultRows(out, outWidth, count), warnings: warningsOf(warningCount, out.slice(outWidth * (count + 1)), details) };
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
  const { texts, numbers } = optionLayout(options, expand);
  const bytes = fileBytes(data);
  const size = bytes.length;  // measured once; the copy is bounded by it
  wasm.ztxgrp_reserve(size * 8 + 65536);
  const file = wasm.ztxgrp_alloc(size);
  const meta = wasm.ztxgrp_alloc(numbers.length * 4);
  let messages;
  try {
    if (!file || !meta) throw new ZtxgrpError(7, 'Out of memory');
    new Uint8Array(memory.buffer, file, size).set(bytes.subarray(0, size));
    new Uint32Array(memory.buffer, meta, numbers.length).set(numbers);
    messages = checked(withTexts(texts, 'options', (b, n, l, c) => wasm.ztxgrp_parts_file(file, size, b, n, l, c, meta), 4, true));
  } finally {
    wasm.ztxgrp_free(meta);
    wasm.ztxgrp_free(file);
  }
  const [, , warningCount, ...details] = resultMeta();
  const out = new Uint8Array(memory.buffer, wasm.ztxgrp_result_bytes(), wasm.ztxgrp_result_byte_count()).slice();
  return { data: out, warnings: warningsOf(warningCount, messages, details) };
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
  const { texts: leading, numbers } = optionLayout(options);
  const texts = leading.concat(older.header, older.cells, newer.header, newer.cells);
  const nameOf = tableNamer([['oldRows', older.header, older.count], ['newRows', newer.header, newer.count]], leading.length);
  numbers.push(older.header.length, older.count, newer.header.length, newer.count);
  const out = withNumbers(numbers, (meta) =>
    checked(withTexts(texts, nameOf, (b, n, l, c) => wasm.ztxgrp_diff_rows(b, n, l, c, meta), 8, true)));
  const [width, count, warningCount, ...details] = resultMeta();
  return { ...resultRows(out, width, count), warnings: warningsOf(warningCount, out.slice(width * (count + 1)), details) };
}

/**
 * Two parts-list files compared: `{data, warnings}`, `data` the bytes that
 * `ztxgrp diff --csv` writes (in NEW's separator, line ends and encoding).
 */
export function diffCsv(oldData, newData, options = {}) {
  const { texts, numbers } = optionLayout(options);
  const older = fileBytes(oldData), newer = fileBytes(newData);
  const oldSize = older.length, newSize = newer.length;
  wasm.ztxgrp_reserve((oldSize + newSize) * 8 + 65536);
  const oldAt = wasm.ztxgrp_alloc(oldSize), newAt = wasm.ztxgrp_alloc(newSize);
  let messages;
  try {
    if (!oldAt || !newAt) throw new ZtxgrpError(7, 'Out of memory');
    new Uint8Array(memory.buffer, oldAt, oldSize).set(older.subarray(0, oldSize));
    new Uint8Array(memory.buffer, newAt, newSize).set(newer.subarray(0, newSize));
    messages = withNumbers(numbers, (meta) => checked(withTexts(texts, 'options', (b, n, l, c) =>
      wasm.ztxgrp_diff_files(oldAt, oldSize, newAt, newSize, b, n, l, c, meta), 4, true)));
  } finally {
    wasm.ztxgrp_free(newAt);
    wasm.ztxgrp_free(oldAt);
  }
  const [, , warningCount, ...details] = resultMeta();
  const data = new Uint8Array(memory.buffer, wasm.ztxgrp_result_bytes(), wasm.ztxgrp_result_byte_count()).slice();
  return { data, warnings: warningsOf(warningCount, messages, details) };
}

/**
 * A CSV file read as the parts-list functions read it: the header, the first
 * `maxRows` rows (default all) as arrays of cells, and the number of rows.
 */
export function readCsv(data, options = {}) {
  if (options === null || typeof options !== 'object') throw new TypeError('options is an object');
  const { sep } = options;
  const maxRows = options.maxRows ?? 0xffffffff;
  if (!Number.isInteger(maxRows) || maxRows < 0) throw new TypeError('maxRows is a whole number');
  if (sep != null && typeof sep !== 'string') throw new TypeError(`sep is a string, not ${typeof sep}`);
  const bytes = fileBytes(data);
  const size = bytes.length;
  wasm.ztxgrp_reserve(size * 4 + 65536);
  const file = wasm.ztxgrp_alloc(size);
  let texts;
  try {
    if (!file) throw new ZtxgrpError(7, 'Out of memory');
    new Uint8Array(memory.buffer, file, size).set(bytes.subarray(0, size));
    texts = checked(withTexts(sep == null ? [] : [sep], 'sep', (b, n) =>
      wasm.ztxgrp_read_csv(file, size, b, n, sep == null ? 0 : 1, Math.min(maxRows, 0xffffffff))));
  } finally {
    wasm.ztxgrp_free(file);
  }
  const [width, given, rowCount] = resultMeta();
  const rows = new Array(given);
  for (let r = 0; r < given; ++r) rows[r] = texts.slice(width + r * width, width + (r + 1) * width);
  return { header: texts.slice(0, width), rows, rowCount };
}

/**
 * A parts-list CSV file collapsed to one row per part: the bytes that
 * `ztxgrp bom` writes for it (the file's separator, quoting, line ends and
 * encoding), and the warnings.
 */
export function collapseCsv(data, options = {}) {
  return csvCall(data, options, false);
}

/** A parts-list CSV file expanded to one row per designator, as `ztxgrp bom --expand` writes it. */
export function expandCsv(data, options = {}) {
  return csvCall(data, options, true);
}
