// The page: designators pasted in any form, grouped or expanded; a parts-list
// CSV opened or dropped, collapsed or expanded, shown and offered for
// download. The designators are read by the parts-list rules (what
// `ztxgrp bom` makes of a cell holding the pasted text); the file is read and
// written by the library itself, so the download holds the very bytes that
// `ztxgrp bom` writes for the same file. Everything runs here; nothing
// leaves the machine.
//
// The module loads in the background: the page's controls (a file dropped,
// two lists to compare) work from the start, and the designators wait for
// it when they come first.
import { WORKBOOK_TYPES, workbookForm } from './forms.js';

let api = null;
const loading = import('../lib/ztxgrp.mjs').then((loaded) => {
  api = loaded;
});

const $ = (id) => document.getElementById(id);

// ---- Designators --------------------------------------------------------

// The pasted text is one designator cell: split where `ztxgrp bom` splits
// (commas, semicolons, blanks, line breaks; "C1 - C4" is a range), every
// designator kept as written.
async function convertDesignators() {
  if (!api) await loading;
  const output = $('designators-output');
  const error = $('designators-error');
  const notes = $('designators-notes');
  error.textContent = '';
  notes.replaceChildren();
  const text = $('designators-input').value;
  const join = $('separator').value;
  const mode = document.querySelector('input[name=designators-mode]:checked').value;
  try {
    const minRun = Number($('min-run').value);
    const rows = [{ Designators: text }];
    const result = mode === 'group'
      ? api.collapseRows(rows, { refs: 'Designators', join, minRun })
      : api.expandRows(rows, { refs: 'Designators', join });
    const counted = result.rows.filter((row) => row.Qty !== '');
    output.value = counted.map((row) => row.Designators).join(join);
    for (const warning of result.warnings)
      if (warning.kind === 'duplicate-designator')
        notes.append(Object.assign(document.createElement('li'), { textContent: warning.message.replace(/, in rows? 1$/, '') }));
  } catch (failure) {
    output.value = '';
    error.textContent = failure.message;
  }
}

$('designators-form').addEventListener('submit', (event) => {
  event.preventDefault();
  convertDesignators();
});
$('designators-input').addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
    event.preventDefault();
    convertDesignators();
  }
});
for (const control of document.querySelectorAll('input[name=designators-mode], #separator, #min-run'))
  control.addEventListener('change', convertDesignators);

$('copy').addEventListener('click', async () => {
  const status = $('copy-status');
  try {
    await navigator.clipboard.writeText($('designators-output').value);
    status.textContent = 'Copied.';
  } catch {
    $('designators-output').select();
    status.textContent = 'Selected: press Ctrl+C to copy.';
  }
});

// ---- Designator lists as sets --------------------------------------------

// Each answer for the lists pasted, each under its own words.
async function compareSets() {
  if (!api) await loading;
  const lists = [...document.querySelectorAll('.sets-list')].map((area) => area.value);
  const error = $('sets-error');
  error.textContent = '';
  const answers = $('sets-answers');
  try {
    const minRun = Number($('min-run').value);
    const counts = api.count(lists);
    const shown = [
      ['In any list (union)', api.union(lists, { minRun })],
      ['In every list (intersect)', api.intersect(lists, { minRun })],
      ['In A, in no other list (subtract)', api.subtract(lists, { minRun })],
      ['In an odd number of the lists (xor)', api.xor(lists, { minRun })],
      ['Designators in each list (count)', [counts.map((c, k) => `${String.fromCharCode(65 + k)}: ${c.designators}`).join(', ')]],
      ['Numbers missing inside list A (gaps)', api.gaps(lists[0], { minRun })],
    ];
    const list = document.createDocumentFragment();
    for (const [words, entries] of shown) {
      list.append(Object.assign(document.createElement('dt'), { textContent: words }));
      list.append(Object.assign(document.createElement('dd'), { textContent: entries.length ? entries.join(', ') : '(none)' }));
    }
    answers.replaceChildren(list);
  } catch (failure) {
    answers.replaceChildren();
    error.textContent = failure.message;
  }
}

$('sets-form').addEventListener('submit', (event) => {
  event.preventDefault();
  compareSets();
});
$('sets-add').addEventListener('click', () => {
  const k = document.querySelectorAll('.sets-list').length + 1;
  const box = document.createElement('div');
  const label = Object.assign(document.createElement('label'), { htmlFor: `sets-list-${k}`, textContent: `List ${String.fromCharCode(64 + k)}` });
  const area = Object.assign(document.createElement('textarea'), { id: `sets-list-${k}`, className: 'sets-list', rows: 4, spellcheck: false });
  box.append(label, area);
  $('sets-lists').append(box);
  area.focus();
});

// ---- Parts lists --------------------------------------------------------

let loaded = null;  // { name, bytes }
let result = null;  // { data, warnings, preview }
let worker = null;
// Each section's work is its own: its latest job alone is shown.
const jobs = { parts: 0, compare: 0, verify: 0 };

function startWorker() {
  worker = new Worker(new URL('worker.js', import.meta.url), { type: 'module' });
  worker.addEventListener('message', ({ data }) => {
    if (data.ready !== undefined || data.id !== jobs[data.section]) return;
    if (data.section === 'compare') {
      finishCompare(data);
      return;
    }
    if (data.section === 'verify') {
      finishVerify(data);
      return;
    }
    finishWork();
    if (data.error) showFailure(data.error);
    else showResult(data);
  });
}

// The parts-list options as the library takes them: an empty box is the
// default. The library checks what they say.
function listOptions() {
  const options = {};
  for (const [key, id] of [['refs', 'opt-refs'], ['qty', 'opt-qty'], ['by', 'opt-by'], ['sep', 'opt-sep'],
    ['sheet', 'opt-sheet'], ['format', 'opt-format'], ['ignore', 'opt-ignore'], ['placementFormat', 'opt-placement-format']]) {
    const value = $(id).value;
    if (value !== '') options[key] = value;
  }
  options.join = $('opt-join').value;
  const minRun = $('opt-min-run').value;
  if (minRun !== '') options.minRun = Number(minRun);
  const headerRow = $('opt-header-row').value;
  if (headerRow !== '') options.headerRow = Number(headerRow);
  const lastRow = $('opt-last-row').value;
  if (lastRow !== '') options.lastRow = Number(lastRow);
  const maxPerRow = $('opt-max-per-row').value;
  if (maxPerRow !== '') options.maxPerRow = Number(maxPerRow);
  if ($('opt-parts').value !== '') options.parts = $('opt-parts').value;
  const boards = $('opt-boards').value;
  if (boards !== '') options.boards = Number(boards);
  options.noRanges = $('opt-no-ranges').checked;
  options.unchanged = $('opt-unchanged').checked;
  // Messages point at the page's own fields, by their labels.
  options.optionLabels = {};
  for (const label of document.querySelectorAll('#list-options label[for^="opt-"]'))
    options.optionLabels[label.htmlFor.slice(4).replace(/-([a-z])/g, (_, c) => c.toUpperCase())] = `the "${label.textContent.trim()}" field`;
  return options;
}

// Long work says so, with the time it has taken.
let ticker = null;
function startWork(text) {
  // A run that starts while another works replaces it, and its timer.
  clearInterval(ticker);
  const started = performance.now();
  $('parts-status').textContent = text;
  $('parts-progress').hidden = false;
  ticker = setInterval(() => {
    $('parts-status').textContent = `${text} ${((performance.now() - started) / 1000).toFixed(0)} s`;
  }, 500);
}
function finishWork() {
  clearInterval(ticker);
  $('parts-progress').hidden = true;
}

function run() {
  if (!loaded) return;
  const expand = document.querySelector('input[name=parts-mode]:checked').value === 'expand';
  $('parts-error').textContent = '';
  $('download').disabled = true;
  jobs.parts += 1;
  startWork(`${loaded.name}: working…`);
  worker.postMessage({ section: 'parts', id: jobs.parts, kind: expand ? 'expand' : 'collapse', bytes: loaded.bytes.slice(), options: listOptions() });
}

async function openFile(file) {
  try {
    loaded = { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
    run();
  } catch (failure) {
    loaded = null;
    showFailure(failure.message);
  }
}

function showFailure(message) {
  result = null;
  $('parts-status').textContent = '';
  $('parts-error').textContent = message;
  $('parts-warnings').replaceChildren();
  $('parts-table').replaceChildren();
  $('download').disabled = true;
}

function cellRow(cells, tag) {
  const tr = document.createElement('tr');
  for (const text of cells) tr.append(Object.assign(document.createElement(tag), { textContent: text }));
  return tr;
}

function showResult(done) {
  result = done;
  const { header, rows, rowCount } = done.preview;
  $('parts-status').textContent = `${loaded.name}: ${rowCount} rows written` +
    (rows.length < rowCount ? `; the first ${rows.length} are shown.` : '.');
  const list = document.createDocumentFragment();
  for (const warning of done.warnings) list.append(Object.assign(document.createElement('li'), { textContent: warning.message }));
  $('parts-warnings').replaceChildren(list);
  const table = $('parts-table');
  const head = document.createElement('thead');
  const headRow = cellRow(header, 'th');
  for (const th of headRow.children) th.scope = 'col';
  head.append(headRow);
  const body = document.createElement('tbody');
  for (const row of rows) body.append(cellRow(row, 'td'));
  table.replaceChildren(head, body);
  $('download').disabled = false;
}

// A file for download: a workbook (.xlsx or .ods) or CSV, named `stem`
// with the extension of its form.
function offerDownload(bytes, stem) {
  const form = workbookForm(bytes);
  saveFile(new Blob([bytes], { type: form ? WORKBOOK_TYPES[form] : 'text/csv' }), `${stem}.${form ?? 'csv'}`);
}

// A file offered for download under `name`.
function saveFile(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

$('download').addEventListener('click', () => {
  if (!result) return;
  const suffix = document.querySelector('input[name=parts-mode]:checked').value === 'expand' ? 'expanded' : 'collapsed';
  offerDownload(result.data, `${loaded.name.replace(/\.[^.]*$/, '')}-${suffix}`);
});

// A drop zone: files dragged over it are marked, and dropped ones given to
// `take`.
function dropZone(area, take) {
  area.addEventListener('dragover', (event) => {
    event.preventDefault();
    area.classList.add('over');
  });
  area.addEventListener('dragleave', () => area.classList.remove('over'));
  area.addEventListener('drop', (event) => {
    event.preventDefault();
    area.classList.remove('over');
    if (event.dataTransfer?.files?.length) take(event.dataTransfer.files);
  });
}

// ---- Comparing two parts lists --------------------------------------------

const lists = { old: null, new: null };  // { name, bytes }
let comparison = null;
// Each kind of change is told by its word and a sign, not by colour alone.
const SIGNS = { added: '+', removed: '\u2212', changed: '~', unchanged: '=', moved: '\u2192' };
const PART_SIGNS = { 'added part': '+', 'removed part': '\u2212', 'quantity changed': '\u00b1' };

async function openList(which, file) {
  try {
    lists[which] = { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
    $(`compare-${which}-name`).textContent = file.name;
    compare();
  } catch (failure) {
    $('compare-error').textContent = failure.message;
  }
}

function compare() {
  $('compare-error').textContent = '';
  if (!lists.old || !lists.new) return;
  $('compare-download').disabled = true;
  jobs.compare += 1;
  $('compare-status').textContent = 'Comparing…';
  $('compare-report').disabled = true;
  worker.postMessage({ section: 'compare', id: jobs.compare, kind: 'diff', oldBytes: lists.old.bytes.slice(), newBytes: lists.new.bytes.slice(),
    oldName: lists.old.name, newName: lists.new.name, options: listOptions() });
}

function finishCompare(done) {
  const table = $('compare-table');
  if (done.error) {
    comparison = null;
    $('compare-status').textContent = '';
    $('compare-error').textContent = done.error;
    $('compare-notes').replaceChildren();
    table.replaceChildren();
    $('compare-parts').replaceChildren();
    $('compare-parts-title').hidden = true;
    return;
  }
  comparison = done;
  const { header } = done.preview;
  // With parts, the file's parts table follows its changes: the changes
  // are as many as the comparison counts (the parts are shown apart).
  const rows = done.parts ? done.preview.rows.slice(0, done.parts.changes) : done.preview.rows;
  const rowCount = done.parts ? done.parts.changes : done.preview.rowCount;
  $('compare-status').textContent = rowCount === 0
    ? `${lists.old.name} and ${lists.new.name} agree.`
    : `${lists.old.name} → ${lists.new.name}: ${rowCount} changes` + (rows.length < rowCount ? `; the first ${rows.length} are shown.` : '.');
  const notes = document.createDocumentFragment();
  for (const warning of done.warnings) notes.append(Object.assign(document.createElement('li'), { textContent: warning.message }));
  $('compare-notes').replaceChildren(notes);
  const head = document.createElement('thead');
  const headRow = cellRow(header, 'th');
  for (const th of headRow.children) th.scope = 'col';
  head.append(headRow);
  const body = document.createElement('tbody');
  for (const row of rows) {
    const tr = cellRow(row, 'td');
    tr.className = `change-${row[0]}`;
    tr.cells[0].textContent = `${SIGNS[row[0]] ?? ''} ${row[0]}`;
    body.append(tr);
  }
  table.replaceChildren(head, body);
  showParts(done.parts);
  $('compare-download').disabled = false;
  $('compare-report').disabled = false;
}

// The parts whose quantity changed: each with its sign, key cells,
// quantities, difference and the designators that joined and left it.
function showParts(parts) {
  const table = $('compare-parts');
  $('compare-parts-title').hidden = !parts;
  if (!parts) {
    table.replaceChildren();
    return;
  }
  const header = ['Change', ...parts.columns, 'Quantity (old)', 'Quantity (new)', 'Difference', 'Designators added', 'Designators removed'];
  const head = document.createElement('thead');
  const headRow = cellRow(header, 'th');
  for (const th of headRow.children) th.scope = 'col';
  head.append(headRow);
  const body = document.createElement('tbody');
  for (const part of parts.parts) {
    const row = [part.change, ...parts.columns.map((name) => part.part[name]), String(part.old), String(part.new),
      part.difference, part.added, part.removed];
    const tr = cellRow(row, 'td');
    tr.className = `part-${part.change.replace(/ /g, '-')}`;
    tr.cells[0].textContent = `${PART_SIGNS[part.change] ?? ''} ${part.change}`;
    body.append(tr);
  }
  table.replaceChildren(head, body);
}

$('compare-report').addEventListener('click', () => {
  if (!comparison) return;
  saveFile(new Blob([comparison.report], { type: 'text/html' }),
    `${lists.old.name.replace(/\.[^.]*$/, '')}-vs-${lists.new.name.replace(/\.[^.]*$/, '')}.html`);
});
$('compare-download').addEventListener('click', () => {
  if (comparison) offerDownload(comparison.data, `${lists.old.name.replace(/\.[^.]*$/, '')}-vs-${lists.new.name.replace(/\.[^.]*$/, '')}`);
});
for (const which of ['old', 'new']) {
  $(`compare-${which}`).addEventListener('change', (event) => {
    if (event.target.files[0]) openList(which, event.target.files[0]);
  });
  dropZone($(`compare-${which}-zone`), (files) => openList(which, files[0]));
}

// ---- Checking a parts list against its placement files ---------------------

const board = { bom: null, placements: [] };  // { name, bytes }
let verification = null;
// Each kind of finding is told by its words and a sign, not by colour alone.
const FINDING_SIGNS = {
  'not-placed': '\u2212', 'not-in-parts-list': '+', 'letter-case': 'Aa', repeated: '\u00d72', quantity: '#',
  'no-designator': '?', 'do-not-place': '\u2298', 'cells-differ': '\u2260', 'too-many-per-row': '\u2265',
};
const FINDING_WORDS = {
  'not-placed': 'in the parts list, not placed', 'not-in-parts-list': 'placed, not in the parts list',
  'letter-case': 'letter case differs', repeated: 'more than once', quantity: 'quantity is not the count',
  'no-designator': 'quantity without designator', 'do-not-place': 'do not place', 'cells-differ': 'cells disagree',
  'too-many-per-row': 'too many in a row',
};

async function openBoardFiles(which, files) {
  try {
    const read = await Promise.all([...files].map(async (file) => ({ name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) })));
    if (which === 'bom') board.bom = read[0];
    else board.placements = read;
    $('verify-bom-name').textContent = board.bom?.name ?? '';
    $('verify-placements-names').textContent = board.placements.map((file) => file.name).join(', ');
    check();
  } catch (failure) {
    $('verify-error').textContent = failure.message;
  }
}

function check() {
  $('verify-error').textContent = '';
  if (!board.bom) return;
  $('verify-download').disabled = true;
  jobs.verify += 1;
  $('verify-status').textContent = 'Checking…';
  worker.postMessage({
    section: 'verify', id: jobs.verify, kind: 'verify',
    bom: { name: board.bom.name, data: board.bom.bytes.slice() },
    placements: board.placements.map((file) => ({ name: file.name, data: file.bytes.slice() })),
    options: listOptions(),
  });
}

function finishVerify(done) {
  const table = $('verify-table');
  if (done.error) {
    verification = null;
    $('verify-status').textContent = '';
    $('verify-error').textContent = done.error;
    $('verify-notes').replaceChildren();
    table.replaceChildren();
    return;
  }
  verification = done;
  const count = done.findings.length;
  $('verify-status').textContent = count === 0 ? 'The files agree.' : `${count} ${count === 1 ? 'finding' : 'findings'}.`;
  const notes = document.createDocumentFragment();
  for (const warning of done.warnings) notes.append(Object.assign(document.createElement('li'), { textContent: warning.message }));
  $('verify-notes').replaceChildren(notes);
  const head = document.createElement('thead');
  const headRow = cellRow(['Finding', 'Designators', 'Count', 'Where', 'Detail'], 'th');
  for (const th of headRow.children) th.scope = 'col';
  head.append(headRow);
  const body = document.createElement('tbody');
  for (const finding of done.findings) {
    const where = finding.places.map((place) => `${place.file} ${place.noun}${place.lines.length > 1 ? 's' : ''} ${place.lines.join(', ')}`).join('; ');
    const tr = cellRow([`${FINDING_SIGNS[finding.finding]} ${FINDING_WORDS[finding.finding]}`, finding.designators,
      String(finding.count), where, finding.detail], 'td');
    tr.className = `finding-${finding.finding}`;
    tr.dataset.finding = finding.finding;
    body.append(tr);
  }
  table.replaceChildren(head, body);
  $('verify-download').disabled = false;
}

$('verify-download').addEventListener('click', () => {
  if (verification) offerDownload(verification.data, `${board.bom.name.replace(/\.[^.]*$/, '')}-findings`);
});
for (const which of ['bom', 'placements']) {
  $(`verify-${which}`).addEventListener('change', (event) => {
    if (event.target.files.length) openBoardFiles(which, event.target.files);
  });
  dropZone($(`verify-${which}-zone`), (files) => openBoardFiles(which, files));
}

for (const radio of document.querySelectorAll('input[name=parts-mode]')) radio.addEventListener('change', run);
// New options redo what is on show.
$('list-options').addEventListener('change', () => {
  run();
  compare();
  check();
});
$('list-options').addEventListener('submit', (event) => event.preventDefault());
$('parts-file').addEventListener('change', (event) => {
  if (event.target.files[0]) openFile(event.target.files[0]);
});
const zone = $('drop-zone');
dropZone(zone, (files) => openFile(files[0]));
zone.addEventListener('keydown', (event) => {
  if (event.target === zone && (event.key === 'Enter' || event.key === ' ')) {
    event.preventDefault();
    $('parts-file').click();
  }
});
startWorker();
loading.then(() => {
  document.body.dataset.ready = 'true';
});
