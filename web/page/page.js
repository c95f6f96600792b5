// The page: designators pasted in any form, grouped or expanded; a parts-list
// CSV opened or dropped, collapsed or expanded, shown and offered for
// download. The designators are read by the parts-list rules (what
// `ztxgrp bom` makes of a cell holding the pasted text); the file is read and
// written by the library itself, so the download holds the very bytes that
// `ztxgrp bom` writes for the same file. Everything runs here; nothing
// leaves the machine.
import { collapseRows, expandRows } from '../lib/ztxgrp.mjs';

const $ = (id) => document.getElementById(id);

// ---- Designators --------------------------------------------------------

// The pasted text is one designator cell: split where `ztxgrp bom` splits
// (commas, semicolons, blanks, line breaks; "C1 - C4" is a range), every
// designator kept as written.
function convertDesignators() {
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
      ? collapseRows(rows, { refs: 'Designators', join, minRun })
      : expandRows(rows, { refs: 'Designators', join });
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

// ---- Parts lists --------------------------------------------------------

let loaded = null;  // { name, bytes }
let result = null;  // { data, warnings, preview }
let worker = null;
let job = 0;

function startWorker() {
  worker = new Worker(new URL('worker.js', import.meta.url), { type: 'module' });
  worker.addEventListener('message', ({ data }) => {
    if (data.ready || data.id !== job) return;
    finishWork();
    if (data.error) showFailure(data.error);
    else showResult(data);
  });
}

// Long work says so, with the time it has taken.
let ticker = null;
function startWork(text) {
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
  job += 1;
  startWork(`${loaded.name}: working…`);
  worker.postMessage({ id: job, bytes: loaded.bytes.slice(), expand });
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

$('download').addEventListener('click', () => {
  if (!result) return;
  const suffix = document.querySelector('input[name=parts-mode]:checked').value === 'expand' ? 'expanded' : 'collapsed';
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([result.data], { type: 'text/csv' }));
  link.download = loaded.name.replace(/(\.[^.]*)?$/, `-${suffix}$1`);
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
});

for (const radio of document.querySelectorAll('input[name=parts-mode]')) radio.addEventListener('change', run);
$('parts-file').addEventListener('change', (event) => {
  if (event.target.files[0]) openFile(event.target.files[0]);
});
const zone = $('drop-zone');
zone.addEventListener('dragover', (event) => {
  event.preventDefault();
  zone.classList.add('over');
});
zone.addEventListener('dragleave', () => zone.classList.remove('over'));
zone.addEventListener('drop', (event) => {
  event.preventDefault();
  zone.classList.remove('over');
  const file = event.dataTransfer?.files?.[0];
  if (file) openFile(file);
});
zone.addEventListener('keydown', (event) => {
  if (event.target === zone && (event.key === 'Enter' || event.key === ' ')) {
    event.preventDefault();
    $('parts-file').click();
  }
});
startWorker();
document.body.dataset.ready = 'true';
