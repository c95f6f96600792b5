// The boundary with the WebAssembly module: the one place that moves texts,
// bytes and numbers into the module's memory and reads its results back.
// Each call family's layout (the list operations, the parts-list calls and
// their options, the files) is declared here once, as the module's
// exports.cpp declares it on its side; lib/api.mjs holds the API alone.

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
  env: {
    emscripten_notify_memory_growth() {},
    // Random bytes for the names of the module's own scratch files.
    getentropy(at, length) {
      const bytes = new Uint8Array(memory.buffer, at, length);
      if (globalThis.crypto?.getRandomValues) globalThis.crypto.getRandomValues(bytes);
      else for (let k = 0; k < length; ++k) bytes[k] = Math.floor(Math.random() * 256);
      return 0;
    },
  },
  wasi_snapshot_preview1: {
    clock_time_get(_id, _precision, out) {
      new DataView(memory.buffer).setBigUint64(out, BigInt(Date.now()) * 1000000n, true);
      return 0;
    },
    proc_exit(code) {
      throw new Error(`ztxgrp.wasm stopped (${code})`);
    },
    // The module's files live in its own memory (libxlsxwriter writes a
    // workbook to one); standard output and error are not used: no file
    // reaches the host (EBADF), and the environment is empty.
    fd_write: () => 8,
    environ_sizes_get(count, size) {
      const view = new DataView(memory.buffer);
      view.setUint32(count, 0, true);
      view.setUint32(size, 0, true);
      return 0;
    },
    environ_get: () => 0,
  },
};

// Makes the calls below use `instance`, instantiated with `imports`.
export function bindInstance(instance) {
  wasm = instance.exports;
  memory = wasm.memory;
  wasm._initialize();
}

export const encoder = new TextEncoder();
const decoder = new TextDecoder('utf-16le');
export const LONE_SURROGATE = /[\uD800-\uDFFF]/u;

// The one wording of exhausted module memory, as every front end words it.
function outOfMemory() {
  return new ZtxgrpError(7, 'Out of memory');
}

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
    if (!lengths || !bytes) throw outOfMemory();
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
    if (!offsets || !buffer) throw outOfMemory();
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
        if (!moved) throw outOfMemory();
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
    if (texts.length === 0) throw outOfMemory();
    throw new ZtxgrpError(meta[0], texts[1], meta[1] ? texts[2] : null, row, texts[0]);
  }
  const error = new RangeError(texts[0] ?? 'ztxgrp: the call failed');
  if (meta[0]) error.row = meta[0];
  throw error;
}

// The largest list the engine reads: one more item than a list may hold, so
// that a longer one fails as it does in every front end (error 6).
export const MAX_LIST = 32768 + 1;

// The shortest run written as a range unless a caller says otherwise: the
// library's own default.
export function defaultMinRun() {
  return wasm.ztxgrp_default_min_run();
}

// ---- The list operations: UTF-16 units with offsets in, texts out ----------

/** Grouped texts of `list` (read once, as withUnits reads it). */
export function callGroup(list, what, minRun) {
  return checked(withUnits(list, what, (b, n, l, c) => wasm.ztxgrp_group(b, n, l, c, minRun)));
}
export function callUngroup(list, what) {
  return checked(withUnits(list, what, (b, n, l, c) => wasm.ztxgrp_ungroup(b, n, l, c)));
}
export function callExpand(text, what) {
  return checked(withUnits([text], what, (b, n) => wasm.ztxgrp_expand(b, n)));
}
export function callIsValidRange(text, what) {
  checked(withUnits([text], what, (b, n) => wasm.ztxgrp_is_valid_range(b, n)));
  return resultMeta()[0] === 1;
}

// ---- The parts-list calls -------------------------------------------------

// Calls the module with numbers in its memory for the call, their count
// first.
function withNumbers(numbers, call) {
  const meta = wasm.ztxgrp_alloc((numbers.length + 1) * 4);
  try {
    if (!meta) throw outOfMemory();
    const view = new Uint32Array(memory.buffer, meta, numbers.length + 1);
    view[0] = numbers.length + 1;
    view.set(numbers, 1);
    return call(meta);
  } finally {
    wasm.ztxgrp_free(meta);
  }
}

// Files' bytes copied into module memory for one call, each copy bounded by
// the size measured once; `call` gets each file's address and size.
function withFiles(files, headroom, call) {
  const sizes = files.map((bytes) => bytes.length);
  wasm.ztxgrp_reserve(sizes.reduce((sum, size) => sum + size, 0) * headroom + 65536);
  const at = [];
  try {
    for (let k = 0; k < files.length; ++k) {
      const address = wasm.ztxgrp_alloc(sizes[k]);
      if (!address) throw outOfMemory();
      at.push(address);
      new Uint8Array(memory.buffer, address, sizes[k]).set(files[k].subarray(0, sizes[k]));
    }
    return call(at.flatMap((address, k) => [address, sizes[k]]));
  } finally {
    for (const address of at) wasm.ztxgrp_free(address);
  }
}

// The kinds of an option's value, as the module reads them (its
// OptionValue).
const TEXT = 0, WHOLE = 1, FLAG = 2, NAME = 3, LABEL = 4;

// The options of every parts-list call by their npm names, as the module
// reads them (its ReadOptions): numbers (the count of all the call's
// numbers, filled in by withNumbers; whether rows are expanded; how many
// options; each option's kind of value), then two texts per option, its
// name and its value; a label is passed as the option's name and the label.
// An option not given is not passed.
function optionLayout({ refs, qty, sep, sheet, format, join, byNames, byText, minRun, expand, unchanged, headerRow, lastRow, labels,
  maxPerRow, noRanges, ignore = [], placementFormat, parts = [], partsText = false, boards }) {
  const whole = (value) => (value == null ? null : Math.min(Math.max(value, -(2 ** 53)), 2 ** 53));
  const entries = [['refs', refs, TEXT], ['qty', qty, TEXT], ['sep', sep, TEXT], ['sheet', sheet, TEXT],
    ['format', format, TEXT], ['join', join, TEXT], ['minRun', minRun, WHOLE], ['unchanged', unchanged, FLAG],
    ['headerRow', whole(headerRow), WHOLE], ['lastRow', whole(lastRow), WHOLE], ['maxPerRow', whole(maxPerRow), WHOLE], ['noRanges', noRanges, FLAG],
    ['placementFormat', placementFormat, TEXT], ...ignore.map((pattern) => ['ignore', pattern, NAME]),
    ...byNames.map((name) => ['by', name, byText ? TEXT : NAME]),
    ...parts.map((name) => ['parts', name, partsText ? TEXT : NAME]), ['boards', whole(boards), WHOLE],
    ...labels.map(([name, label]) => [name, label, LABEL])].filter(([, value]) => value != null);
  const texts = entries.flatMap(([name, value]) => [name, String(value)]);
  const numbers = [expand ? 1 : 0, entries.length, ...entries.map(([, , kind]) => kind)];
  return { texts, numbers };
}

// The kinds of warnings, by their number in the module; notes have kinds of
// their own: a comparison's (a column not compared), collapsing's and
// expanding's (a list for several boards).
const WARNING_KINDS = ['duplicate-designator', 'differing-cells', 'quantity-not-whole', 'quantity-mismatch', 'column-not-compared', 'boards', 'formula-without-value'];

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

// A table result: the header, the cells row by row, and the warnings.
function tableResult(out, second = false) {
  const meta = resultMeta();
  const [width, count, warningCount, ...details] = meta;
  const end = width * (count + 1);
  const result = { header: out.slice(0, width), cells: out.slice(width, end), count, warnings: warningsOf(warningCount, out.slice(end), details) };
  if (second) {
    // A second table after the warnings' texts, its width and rows the last two numbers.
    const [secondWidth, secondCount] = meta.slice(-2);
    const from = end + warningCount;
    result.second = { header: out.slice(from, from + secondWidth), cells: out.slice(from + secondWidth, from + secondWidth * (secondCount + 1)), count: secondCount };
  }
  return result;
}

// A file result: the bytes, and the warnings.
function fileResult(messages) {
  const [, , warningCount, ...details] = resultMeta();
  const data = new Uint8Array(memory.buffer, wasm.ztxgrp_result_bytes(), wasm.ztxgrp_result_byte_count()).slice();
  return { data, warnings: warningsOf(warningCount, messages, details) };
}

// Names text `k` of a call's texts for a message: the options first, then
// `nameOf(k)` for the texts after them.
function namer(leading, nameOf) {
  return (k) => (k < leading ? 'options' : nameOf(k - leading));
}

/** Rows collapsed or expanded (`options.expand`): a table result. */
export function callPartsRows(options, header, cells, rowCount, nameOf) {
  const { texts, numbers } = optionLayout(options);
  numbers.push(header.length, rowCount);
  return withNumbers(numbers, (meta) => tableResult(checked(withTexts(texts.concat(header, cells),
    namer(texts.length, nameOf), (b, n, l, c) => wasm.ztxgrp_parts(b, n, l, c, meta), 8, true))));
}

/** Two tables (`{header, cells, count}`) compared: a table result. */
export function callDiffRows(options, older, newer, nameOf) {
  const { texts, numbers } = optionLayout(options);
  numbers.push(older.header.length, older.count, newer.header.length, newer.count);
  const all = texts.concat(older.header, older.cells, newer.header, newer.cells);
  return withNumbers(numbers, (meta) => tableResult(checked(withTexts(all, namer(texts.length, nameOf),
    (b, n, l, c) => wasm.ztxgrp_diff_rows(b, n, l, c, meta), 8, true)), options.parts.length > 0));
}

/** A parts-list file collapsed or expanded: a file result. */
export function callPartsFile(options, bytes) {
  const { texts, numbers } = optionLayout(options);
  return fileResult(withFiles([bytes], 8, ([file, size]) => withNumbers(numbers, (meta) =>
    checked(withTexts(texts, 'options', (b, n, l, c) => wasm.ztxgrp_parts_file(file, size, b, n, l, c, meta), 4, true)))));
}

/** Two parts-list files compared: a file result; `names` the lists' names, when given. */
export function callDiffFiles(options, older, newer, names = []) {
  const { texts, numbers } = optionLayout(options);
  return fileResult(withFiles([older, newer], 8, ([oldAt, oldSize, newAt, newSize]) => withNumbers(numbers, (meta) =>
    checked(withTexts(texts.concat(names), 'options', (b, n, l, c) =>
      wasm.ztxgrp_diff_files(oldAt, oldSize, newAt, newSize, b, n, l, c, meta), 4, true)))));
}

/**
 * A parts list's bytes checked against named placement files' bytes: a file
 * result, the findings in the form the options ask for.
 */
export function callVerifyFiles(options, bom, placements) {
  const { texts, numbers } = optionLayout(options);
  const files = [bom.data, ...placements.map((file) => file.data)];
  const joined = new Uint8Array(files.reduce((sum, data) => sum + data.length, 0));
  files.reduce((at, data) => (joined.set(data, at), at + data.length), 0);
  numbers.push(placements.length, ...files.map((data) => data.length));
  const names = texts.concat([bom.name], placements.map((file) => file.name));
  return fileResult(withFiles([joined], 8, ([at, size]) => withNumbers(numbers, (meta) =>
    checked(withTexts(names, namer(texts.length, () => 'names'), (b, n, l, c) =>
      wasm.ztxgrp_verify_files(at, size, b, n, l, c, meta), 4, true)))));
}

/** Tables (`{name, header, cells, count}`) checked: the findings and warnings. */
export function callVerifyRows(options, bom, placements, nameOf) {
  const { texts, numbers } = optionLayout(options);
  numbers.push(bom.header.length, bom.count, placements.length);
  let all = texts.concat([bom.name], bom.header, bom.cells);
  for (const table of placements) {
    numbers.push(table.header.length, table.count);
    all = all.concat([table.name], table.header, table.cells);
  }
  const { data, warnings } = withNumbers(numbers, (meta) => fileResult(checked(withTexts(all, namer(texts.length, nameOf),
    (b, n, l, c) => wasm.ztxgrp_verify_rows(b, n, l, c, meta), 8, true))));
  return { findings: JSON.parse(new TextDecoder().decode(data)).findings, warnings };
}

/**
 * An operation on designator lists (the module's ztxgrp_sets): its texts
 * and, for count and free, the meta numbers.
 */
export function callSets(operation, texts, minRun, count = 0) {
  const out = withNumbers([operation, minRun | 0, count], (meta) =>
    checked(withTexts(texts, (k) => `list ${k + 1}`, (b, n, l, c) => wasm.ztxgrp_sets(b, n, l, c, meta), 4, true)));
  return { texts: out, meta: resultMeta() };
}

/**
 * A parts-list file's header and first `maxRows` rows, as arrays, and its
 * row count, read as the parts-list calls read it.
 */
export function callReadCsv(options, bytes, maxRows) {
  const { texts: optionTexts, numbers } = optionLayout(options);
  const texts = withFiles([bytes], 4, ([file, size]) => withNumbers(numbers, (meta) =>
    checked(withTexts(optionTexts, 'options', (b, n, l, c) =>
      wasm.ztxgrp_read_csv(file, size, b, n, l, c, meta, Math.min(maxRows, 0xffffffff)), 4, true))));
  const [width, given, rowCount] = resultMeta();
  const rows = new Array(given);
  for (let r = 0; r < given; ++r) rows[r] = texts.slice(width + r * width, width + (r + 1) * width);
  return { header: texts.slice(0, width), rows, rowCount };
}
