// The npm package on the worked examples (the C++ tables, as the Python tests
// read them), its errors, its arguments and the parts-list functions.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { group, ungroup, expand, isValidRange, collapseRows, expandRows, collapseCsv, expandCsv, readCsv, diffRows, diffCsv, diffFiles, diffText, diffHtml, verify, verifyRows, union, intersect, subtract, xor, count, contains, gaps, free, ZtxgrpError } from '../lib/ztxgrp.mjs';

const excerpt = new URL('../../tests/data/bom/excerpt.csv', import.meta.url);

test('worked examples', { skip: !process.env.ZTXGRP_EXAMPLES && 'ZTXGRP_EXAMPLES not set' }, () => {
  const examples = JSON.parse(execFileSync(process.env.ZTXGRP_EXAMPLES, { encoding: 'utf8' }));
  const operations = { group: (items) => group(items), ungroup: (items) => ungroup(items), expand: (items) => expand(items[0]) };
  for (const example of examples.lists) {
    const call = () => operations[example.operation](example.input);
    if (example.error) assert.throws(call, (e) => e instanceof ZtxgrpError && e.number === example.error, JSON.stringify(example));
    else assert.deepEqual(call(), example.expected, JSON.stringify(example));
  }
  for (const example of examples.checks) assert.equal(isValidRange(example.text), example.valid, example.text);
});

test('runtime errors carry number, description and item', () => {
  const cases = [
    [() => ungroup(['R1', 'R3-R1']), 9, 'Subscript out of range', 'R3-R1'],
    [() => group(['R1', 'R32768']), 6, 'Overflow', 'R32768'],
    [() => expand('1-R3'), 13, 'Type mismatch', '1-R3'],
    [() => group(['R1'], { minRun: 1 }), 5, 'Invalid procedure call or argument', null],
    [() => group(new Array(40000).fill('R1')), 6, 'Overflow', null],
    [() => collapseRows([{ Ref: 'R1' }, { Ref: 'R3-R1' }]), 9, 'Subscript out of range', 'R3-R1'],
  ];
  for (const [call, number, description, item] of cases) {
    assert.throws(call, (e) => e instanceof ZtxgrpError && e.number === number &&
      e.description === description && e.item === item, `${call}`);
  }
});

test('arguments that cannot be used are refused, naming them', () => {
  const cases = [
    [() => group('R1'), TypeError, /list of strings/],
    [() => group(['R1', 2]), TypeError, /items\[1\] is a number/],
    [() => group(['R1', 'R\uD8002']), RangeError, /items\[1\] holds an unpaired surrogate at position 1/],
    [() => expand('\uDC00'), RangeError, /unpaired surrogate/],
    [() => group(['R1'], { minRun: 2.5 }), TypeError, /minRun/],
    [() => collapseRows([{ Part: 'R1' }]), RangeError, /no designator column/],
    [() => collapseRows([{ Ref: 'R1', V: 'x\uDC00' }]), RangeError, /rows\[0\]\.V holds an unpaired surrogate at position 1/],
    [() => diffRows([{ Ref: 'R1' }], [{ Ref: 'R1', V: 'x' }, { Ref: 'R2', V: 'x\uDC00' }]), RangeError, /newRows\[1\]\.V holds an unpaired surrogate at position 1/],
    [() => diffRows([{ Ref: 'R1 -' }], []), RangeError, /^the old list, row 1: a lone dash/],
    [() => collapseRows([{ Ref: 'R1' }], { join: '-' }), RangeError, /^join: the join separator "-" holds a dash/],
    [() => collapseRows([{ Ref: 'R001-R003' }]), RangeError, /would change/],
    [() => collapseRows([{ Ref: 'R1', V: 'x' }], { by: ['Nope'] }), RangeError, /by: no column named "Nope"/],
    [() => collapseRows([{ Ref: 'R1', V: 'x' }], { by: [1] }), TypeError, /by is a list of names/],
    [() => collapseRows([{ Ref: 'R1', V: 'x' }], { by: 5 }), TypeError, /by is a name or a list/],
    [() => collapseRows([{ Ref: 'R1', V: 'x' }], { by: {} }), TypeError, /by is a name or a list/],
    [() => collapseRows([{ Ref: 'R1' }], { maxPerRow: 1.5 }), TypeError, /maxPerRow is a whole number/],
    [() => collapseRows([{ Ref: 'R1' }], { maxPerRow: 0 }), RangeError, /maxPerRow: a row holds at least 1/],
    [() => collapseRows([{ Ref: 'R1' }], { noRanges: 'yes' }), TypeError, /noRanges is a boolean/],
    [() => verify('Ref\nR1\n', [], { ignore: [3] }), TypeError, /ignore is a list of names/],
    [() => verify('Ref\nR1\n', [], { placementFormat: 'gerber' }), RangeError, /placementFormat: the placement format is/],
    [() => verify('Ref\nR1\n', ['\u0000\u0001']), RangeError, /"placement 1" is no placement file/],
    [() => verify('Ref\nR1\n', 5), TypeError, /placements is a list or a map/],
    [() => expandRows([{ Ref: 'R1' }], { qty: 3 }), TypeError, /qty is a string/],
  ];
  for (const [call, type, message] of cases) assert.throws(call, (e) => e instanceof type && message.test(e.message), `${call}`);
});

// Rows and lists are the caller's objects: only own properties count, each
// element and cell is read once, and any column name survives.
test('rows and lists are read as the caller holds them', () => {
  const cases = [
    [[{ Ref: 'R1', constructor: 'a' }, { Ref: 'R2' }], ['Ref', 'Qty', 'constructor'], [['R1', '1', 'a'], ['R2', '1', '']]],
    [[{ Ref: 'R1' }, { Ref: 'R2', hasOwnProperty: 'b' }], ['Ref', 'Qty', 'hasOwnProperty'], [['R1', '1', ''], ['R2', '1', 'b']]],
    [[JSON.parse('{"Ref":"R1","__proto__":"x"}'), { Ref: 'R2' }], ['Ref', 'Qty', '__proto__'], [['R1', '1', 'x'], ['R2', '1', '']]],
    [[], [], []],
  ];
  for (const [rows, header, cells] of cases) {
    const result = collapseRows(rows, { refs: 'Ref' });
    assert.deepEqual(result.header, header);
    assert.deepEqual(result.rows.map((row) => header.map((name) => Object.hasOwn(row, name) ? row[name] : null)), cells);
    assert.ok(result.rows.every((row) => Object.getPrototypeOf(row) === Object.prototype));
  }
  let reads = 0;
  const changing = new Proxy(['R1', 'R2'], {
    get(target, key) {
      if (key !== '1') return Reflect.get(target, key);
      reads += 1;
      return reads > 1 ? '\0'.repeat(1 << 20) : 'R2';
    },
  });
  assert.deepEqual(group(changing), ['R1-R2']);
  assert.equal(reads, 1);
  assert.deepEqual(group(['R3', 'R4']), ['R3-R4']);  // the module is still whole
});

test('a large list crosses in one call and comes back whole', () => {
  const items = [];
  for (let k = 1; k <= 30000; ++k) items.push(`R${k}`);
  assert.deepEqual(group(items), ['R1-R30000']);
  assert.deepEqual(ungroup(['R1-R30000']), items);
  assert.deepEqual(group(['Ω2', 'Ω1', 'R😀1']), ['R😀1', 'Ω1-Ω2']);
  assert.deepEqual(group(['\uE0001', '\u{1F600}1']), ['\u{1F600}1', '\uE0001']);
  // Texts far longer than designators: the buffer grows while the list is copied.
  const prefix = 'P'.repeat(300);
  const long = ['R1'];
  for (let k = 1; k <= 2000; ++k) long.push(`${prefix}${k}`);
  assert.deepEqual(group(long), [`${prefix}1-${prefix}2000`, 'R1']);
  // A list that claims a length no array has is read as empty.
  assert.deepEqual(group(new Proxy([], { get: (t, key) => (key === 'length' ? -3 : Reflect.get(t, key)) })), ['']);
});

test('parts lists: collapsed as ztxgrp bom writes them, expanded back', () => {
  const table = readCsv(readFileSync(excerpt));
  const rows = table.rows.map((cells) => Object.fromEntries(table.header.map((name, k) => [name, cells[k]])));
  const collapsed = collapseRows(rows);
  const file = readCsv(collapseCsv(readFileSync(excerpt)).data);
  assert.deepEqual(collapsed.header, file.header);
  assert.deepEqual(collapsed.rows.map((row) => collapsed.header.map((name) => row[name])), file.rows);
  assert.deepEqual(file.rows[0], ['C106-C107', '2', '4.7uF', 'Capacitors_SMD:C_0805_HandSoldering']);
  const expanded = expandRows(collapsed.rows);
  assert.deepEqual(expanded.rows.map((r) => r.Reference).sort(), expandRows(rows).rows.map((r) => r.Reference).sort());
  const dnp = collapseRows([{ Ref: 'R1', Qty: 'DNP' }, { Ref: 'R2', Qty: '1' }]);
  assert.deepEqual(dnp.warnings.map((w) => [w.kind, w.rows]), [['quantity-not-whole', [1]]]);
});

// The table of parts-list files that every front end writes alike.
test('parts-list files: the bytes and warnings that ztxgrp bom gives', () => {
  const folder = new URL('../../tests/data/parts-files/', import.meta.url);
  const table = JSON.parse(readFileSync(new URL('../../parts/options.json', import.meta.url), 'utf8'));
  for (const c of JSON.parse(readFileSync(new URL('cases.json', folder), 'utf8'))) {
    const data = readFileSync(new URL(c.input, folder));
    const call = () => (c.options.expand ? expandCsv : collapseCsv)(data, c.options);
    if (!c.output) {
      const remedy = c.remedy && table.find((row) => row.option === c.remedy).javascript;
      assert.throws(call, (e) => e.message.includes(c.error) && (!remedy || e.message.endsWith(`; name it with ${remedy}`)) && (!c.item || (e.item === c.item && e.row === c.line && e.message.includes(`line ${c.line}`))), c.name);
      continue;
    }
    const result = call();
    assert.ok(result.data instanceof Uint8Array, c.name);
    assert.deepEqual(Buffer.from(result.data), readFileSync(new URL(c.output, folder)), c.name);
    assert.deepEqual(result.warnings.map((w) => w.message), [...(c.notes ?? []), ...c.warnings], c.name);
  }
  assert.throws(() => collapseCsv(5), TypeError);
  assert.throws(() => collapseCsv('Ref\nR1\n', { sep: 5 }), /sep is a string/);
  // Labels for messages: texts by option names the library knows.
  const noRefs = new TextEncoder().encode('Part,Value\nX,1\n');
  assert.throws(() => collapseCsv(noRefs, { optionLabels: { refs: 'the "Refs" box' } }), /; name it with the "Refs" box$/);
  assert.throws(() => collapseCsv(noRefs, { optionLabels: 5 }), TypeError);
  assert.throws(() => collapseCsv(noRefs, { optionLabels: { refs: 5 } }), TypeError);
  assert.throws(() => collapseCsv(noRefs, { optionLabels: { nothing: 'x' } }), RangeError);
});

// The real boards beside the project, when they and the command are at hand.
const boards = process.env.ZTXGRP_BOARD_DATA ? new URL(`file://${process.env.ZTXGRP_BOARD_DATA}/`) : new URL('../../../shared/data/boards/', import.meta.url);
test('real boards: the bytes that ztxgrp bom writes', { skip: !(process.env.ZTXGRP_CLI && existsSync(boards)) && 'no command or board data' }, () => {
  const names = readdirSync(boards).filter((name) => name.endsWith('.csv'));
  for (const name of names) {
    const path = new URL(name, boards);
    assert.deepEqual(Buffer.from(collapseCsv(readFileSync(path)).data), execFileSync(process.env.ZTXGRP_CLI, ['bom', path.pathname], { stdio: ['ignore', 'pipe', 'ignore'] }), name);
    // The board as a workbook (written by the command): the same workbook
    // bytes collapsed, the same CSV expanded, from the package and the command.
    const command = (args, input) => execFileSync(process.env.ZTXGRP_CLI, args, { input, stdio: ['pipe', 'pipe', 'ignore'] });
    const workbook = command(['bom', '--format', 'xlsx', '-o', '/dev/stdout', path.pathname]);
    assert.deepEqual(Buffer.from(collapseCsv(workbook).data), command(['bom', '-o', '/dev/stdout', '-'], workbook), name);
    assert.deepEqual(Buffer.from(expandCsv(workbook, { format: 'csv' }).data), command(['bom', '--expand', '--format', 'csv', '-'], workbook), name);
  }
  assert.equal(names.length, 5);
});

// The table of compared parts lists that every front end writes alike.
test('a comparison in every form, as ztxgrp diff writes it', { skip: !process.env.ZTXGRP_CLI && 'no command' }, () => {
  const folder = new URL('../../tests/data/diff/', import.meta.url);
  const [a, b] = ['kinds.old.csv', 'kinds.new.csv'].map((name) => new URL(name, folder).pathname);
  const command = (args) => {
    try {
      return execFileSync(process.env.ZTXGRP_CLI, ['diff', ...args, a, b], { stdio: ['ignore', 'pipe', 'ignore'] });
    } catch (error) {
      return error.stdout;  // status 1: the lists differ
    }
  };
  const [older, newer] = [a, b].map((path) => readFileSync(path));
  assert.deepEqual(Buffer.from(diffFiles(older, newer).data), command([]));
  assert.equal(diffText(older, newer), command([]).toString('utf8'));
  assert.deepEqual(Buffer.from(diffFiles(older, newer, { format: 'json' }).data), command(['--json']));
  assert.deepEqual(Buffer.from(diffCsv(older, newer).data), command(['--csv']));
  // The HTML report names the lists as the command does, by their files.
  assert.equal(diffHtml(older, newer, { oldName: a, newName: b }), command(['--html']).toString('utf8'));
  assert.deepEqual(Buffer.from(diffFiles(older, newer, { format: 'html' }).data).toString('utf8'),
    diffHtml(older, newer));
  const partsOrder = ['parts-order.old.csv', 'parts-order.new.csv'].map((name) => readFileSync(new URL(name, folder)));
  assert.match(diffHtml(...partsOrder, { parts: 'MPN' }), /<table class="parts">/);
  assert.throws(() => diffFiles(older, newer, { format: 'pdf' }), /format: the format is text, csv, json, html, xlsx or ods/);
  assert.throws(() => diffHtml(older, newer, { oldName: 5 }), TypeError);
});

test('parts lists compared: the bytes that ztxgrp diff --csv writes', () => {
  const folder = new URL('../../tests/data/diff/', import.meta.url);
  for (const c of JSON.parse(readFileSync(new URL('cases.json', folder), 'utf8'))) {
    const call = () => diffCsv(readFileSync(new URL(c.old, folder)), readFileSync(new URL(c.new, folder)), c.options);
    if (!c.output) {
      assert.throws(call, (e) => e.message.includes(c.error), c.name);
      continue;
    }
    const result = call();
    assert.deepEqual(Buffer.from(result.data), readFileSync(new URL(c.output, folder)), c.name);
    const expected = [...c.notes, ...c.warnings];
    assert.equal(result.warnings.length, expected.length, c.name);
    result.warnings.forEach((w, k) => assert.ok(w.message.includes(expected[k]), `${c.name}: ${w.message}`));
  }
  const rows = diffRows([{ Ref: 'R1, R2', Value: '10k' }, { Ref: 'C1', Value: '1u' }], [{ Ref: 'R1', Value: '10k' }, { Ref: 'R2', Value: '22k' }]);
  assert.deepEqual(rows.rows, [
    { Change: 'removed', Ref: 'C1', Count: '1', 'Value (old)': '1u', 'Value (new)': '' },
    { Change: 'changed', Ref: 'R2', Count: '1', 'Value (old)': '10k', 'Value (new)': '22k' },
  ]);
  assert.throws(() => diffRows([], [], { unchanged: 'yes' }), TypeError);
  // Comparing parts: R2 moved from part A to part B.
  const moved = diffRows([{ Ref: 'R1, R2', MPN: 'A' }], [{ Ref: 'R1', MPN: 'A' }, { Ref: 'R2', MPN: 'B' }], { parts: ['MPN'], boards: 3 });
  assert.deepEqual(moved.rows, [{ Change: 'moved', Ref: 'R2', Count: '1', 'MPN (old)': 'A', 'MPN (new)': 'B' }]);
  assert.deepEqual(moved.parts, [
    { Change: 'quantity changed', MPN: 'A', 'Quantity (old)': '6', 'Quantity (new)': '3', Difference: '-3', 'Designators added': '', 'Designators removed': 'R2' },
    { Change: 'added part', MPN: 'B', 'Quantity (old)': '0', 'Quantity (new)': '3', Difference: '+3', 'Designators added': 'R2', 'Designators removed': '' }]);
  assert.equal(rows.parts, undefined);
});

// The options are declared once (parts/options.json): the declarations
// offer exactly the npm names of the library's options, and the module
// knows each of them by that name.
test('the options are the table\'s, by their npm names', () => {
  const table = JSON.parse(readFileSync(new URL('../../parts/options.json', import.meta.url), 'utf8'));
  const declarations = readFileSync(new URL('../lib/ztxgrp.d.ts', import.meta.url), 'utf8');
  const properties = (names) => {
    const offered = new Set();
    for (const name of names) {
      const body = declarations.match(new RegExp(`interface ${name}\\b[^{]*\\{([^}]*)\\}`))[1];
      for (const [, property] of body.matchAll(/^\s*(\w+)\?:/gm)) offered.add(property);
    }
    return [...offered].sort();
  };
  const setOperations = new Set(['combine-sets', 'set-gaps', 'set-free']);
  const ofParts = table.filter((row) => row.operations.some((operation) => !setOperations.has(operation)));
  assert.deepEqual(properties(['PartsOptions', 'CsvOptions', 'DiffOptions', 'VerifyOptions']), ofParts.map((row) => row.javascript).sort());
  // The set functions: their options object, and free's count.
  const ofSets = table.filter((row) => row.operations.some((operation) => setOperations.has(operation)));
  const freeOptions = declarations.match(/export function free\([^)]*options\?: GroupOptions & \{ (\w+)\?: number \}/)[1];
  assert.deepEqual([...properties(['GroupOptions']), freeOptions].sort(), ofSets.map((row) => row.javascript).sort());
  // The page has one control for each option, named for it (opt-min-run).
  const page = readFileSync(new URL('../page/index.html', import.meta.url), 'utf8');
  const controls = [...page.matchAll(/id="opt-([a-z-]+)"/g)].map(([, id]) => id).sort();
  assert.deepEqual(controls, ofParts.map((row) => row.javascript.replace(/[A-Z]/g, (c) => `-${c.toLowerCase()}`)).sort());
  const csv = new TextEncoder().encode('Ref,Value\nR1,1k\nR2,1k\n');
  const given = { refs: 'Ref', qty: 'Qty', by: 'Value', join: ', ', minRun: 2, sep: ',', unchanged: false, headerRow: 1, lastRow: 3, sheet: 'Sheet1', format: 'csv', maxPerRow: 100, noRanges: false, ignore: [], placementFormat: 'cpl', parts: 'Value', boards: 1 };
  assert.deepEqual(Object.keys(given).sort(), ofParts.map((row) => row.javascript).sort());
  assert.equal(new TextDecoder().decode(diffCsv(csv, csv, given).data),
    'Change,Ref,Count,Value (old),Value (new)\n\nChange,Value,Quantity (old),Quantity (new),Difference,Designators added,Designators removed\n');
});

// The table of verifications that every front end checks: the files named
// as the table names them, the bytes `ztxgrp verify` writes.
test('verify: the findings that ztxgrp verify writes', () => {
  const folder = new URL('../../tests/data/verify/', import.meta.url);
  const file = (name) => ({ name, data: readFileSync(new URL(name, folder)) });
  for (const c of JSON.parse(readFileSync(new URL('cases.json', folder), 'utf8'))) {
    const call = () => verify(file(c.bom), c.placements.map(file), c.options);
    if (!c.output) {
      assert.throws(call, (e) => e instanceof RangeError && e.message === c.error, c.name);
      continue;
    }
    const result = call();
    assert.equal(new TextDecoder().decode(result.data), c.output, c.name);
    assert.deepEqual(result.warnings.filter((w) => w.kind === 'boards').map((w) => w.message), c.notes ?? [], c.name);
  }
  // Rows: the findings as objects.
  const { findings } = verifyRows([{ Ref: 'R1-R3', Qty: '3' }, { Ref: 'r4', Qty: '1' }],
    [[{ Designator: 'R1' }, { Designator: 'R2' }, { Designator: 'R4' }, { Designator: 'R9' }]], { ignore: 'R9', maxPerRow: 2 });
  assert.deepEqual(findings.map((f) => [f.finding, f.designators, f.count]),
    [['not-placed', 'R3', 1], ['letter-case', 'r4', 1], ['too-many-per-row', 'R1-R3', 3]]);
  assert.deepEqual(findings[0].places, [{ file: 'parts list', noun: 'row', lines: [1] }]);
});

// The table of set operations that every front end checks.
test('sets: the results that the command gives', () => {
  const folder = new URL('../../tests/data/sets/', import.meta.url);
  const operations = { union, intersect, subtract, xor };
  for (const c of JSON.parse(readFileSync(new URL('cases.json', folder), 'utf8'))) {
    const { operands, options } = c;
    const call = {
      count: () => count(operands).map((n) => String(n.designators)),
      contains: () => contains(operands[0], operands.slice(1)).map(String),
      gaps: () => gaps(operands[0], options),
      free: () => free(operands[0], operands[1], options).entries,
    }[c.operation] ?? (() => operations[c.operation](operands, options));
    if (!c.result) {
      if (c.status === 3)
        assert.throws(call, (e) => e instanceof ZtxgrpError && e.number === c.number && e.item === c.item && e.row === c.operand, c.name);
      else {
        const table = JSON.parse(readFileSync(new URL('../../parts/options.json', import.meta.url), 'utf8'));
        const named = c.option ? `${table.find((row) => row.option === c.option).javascript}: ` : '';
        assert.throws(call, (e) => e instanceof RangeError && e.message === named + c.error, c.name);
      }
      continue;
    }
    assert.deepEqual(call(), c.result, c.name);
  }
  assert.throws(() => union([5]), TypeError);
  assert.throws(() => union(['R1', 'R2'], { minRun: 1 }), ZtxgrpError);
  assert.throws(() => free('R1', 'R', { n: 0.5 }), TypeError);
  assert.deepEqual(count([['R1', 'R2, R1']]), [{ designators: 2, repeated: 1 }]);
});
