// The page: designators pasted in any form, grouped or expanded; a parts-list
// CSV opened or dropped, collapsed or expanded, shown and offered for
// download in the file's own columns, separator, quoting, line ends and
// encoding. Everything runs here; nothing leaves the machine.
import { group, ungroup, collapseRows, expandRows } from '../lib/ztxgrp.mjs';

const $ = (id) => document.getElementById(id);

// ---- Designators --------------------------------------------------------

// The pieces of pasted text: "C1 - C4" and "C1–C4" are the range C1-C4;
// commas, semicolons, blanks and line breaks separate.
function pieces(text) {
  return text
    .replace(/(\S)\s+[-\u2013]\s+(?=\S)/g, '$1-')
    .replace(/\u2013/g, '-')
    .split(/[\s,;]+/)
    .filter((piece) => piece !== '');
}

function convertDesignators() {
  const output = $('designators-output');
  const error = $('designators-error');
  error.textContent = '';
  const items = pieces($('designators-input').value);
  const mode = document.querySelector('input[name=designators-mode]:checked').value;
  try {
    const minRun = Number($('min-run').value);
    const expanded = ungroup(items);
    const result = mode === 'group' ? group(expanded, { minRun }) : expanded;
    output.value = items.length === 0 ? '' : result.join($('separator').value);
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

let loaded = null;  // { name, encoding, format, header, rows }
let result = null;

// The text of a file and how it was encoded (a byte-order mark tells).
function decode(bytes) {
  if (bytes[0] === 0xff && bytes[1] === 0xfe) return { encoding: 'utf-16le', text: new TextDecoder('utf-16le').decode(bytes.subarray(2)) };
  if (bytes[0] === 0xfe && bytes[1] === 0xff) return { encoding: 'utf-16be', text: new TextDecoder('utf-16be').decode(bytes.subarray(2)) };
  const mark = bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf;
  const text = new TextDecoder('utf-8', { fatal: true }).decode(mark ? bytes.subarray(3) : bytes);
  return { encoding: mark ? 'utf-8-bom' : 'utf-8', text };
}

function encode(text, encoding) {
  if (encoding === 'utf-8') return new TextEncoder().encode(text);
  if (encoding === 'utf-8-bom') return new TextEncoder().encode('\uFEFF' + text);
  const bytes = new Uint8Array(2 + text.length * 2);
  const view = new DataView(bytes.buffer);
  const little = encoding === 'utf-16le';
  view.setUint16(0, 0xfeff, little);
  for (let k = 0; k < text.length; ++k) view.setUint16(2 + 2 * k, text.charCodeAt(k), little);
  return bytes;
}

async function openFile(file) {
  $('parts-error').textContent = '';
  try {
    const { encoding, text } = decode(new Uint8Array(await file.arrayBuffer()));
    const parsed = Papa.parse(text, { skipEmptyLines: true });
    const fatal = parsed.errors.find((e) => e.type === 'Quotes' || e.code === 'TooManyFields');
    if (fatal) throw new Error(`${fatal.message} (row ${fatal.row + 1})`);
    const [header, ...lines] = parsed.data;
    if (!header) throw new Error('the file is empty');
    const rows = lines.map((line) => Object.fromEntries(header.map((name, k) => [name, line[k] ?? ''])));
    const format = {
      delimiter: parsed.meta.delimiter,
      newline: parsed.meta.linebreak,
      quotes: text.startsWith('"'),
    };
    loaded = { name: file.name, encoding, format, header, rows };
    showResult();
  } catch (failure) {
    loaded = null;
    showFailure(failure);
  }
}

function showFailure(failure) {
  result = null;
  $('parts-status').textContent = '';
  $('parts-error').textContent = failure.message;
  $('parts-warnings').replaceChildren();
  $('parts-table').replaceChildren();
  $('download').disabled = true;
}

function showResult() {
  if (!loaded) return;
  $('parts-error').textContent = '';
  const expand = document.querySelector('input[name=parts-mode]:checked').value === 'expand';
  try {
    result = expand ? expandRows(loaded.rows) : collapseRows(loaded.rows);
  } catch (failure) {
    showFailure(failure);
    return;
  }
  $('parts-status').textContent =
    `${loaded.name}: ${loaded.rows.length} rows read, ${result.rows.length} rows written.`;
  $('parts-warnings').replaceChildren(
    ...result.warnings.map((warning) => Object.assign(document.createElement('li'), { textContent: warning.message })));
  const table = $('parts-table');
  const head = document.createElement('tr');
  for (const name of result.header) head.append(Object.assign(document.createElement('th'), { textContent: name, scope: 'col' }));
  const body = result.rows.map((row) => {
    const tr = document.createElement('tr');
    for (const name of result.header) tr.append(Object.assign(document.createElement('td'), { textContent: row[name] }));
    return tr;
  });
  table.replaceChildren(Object.assign(document.createElement('thead'), {}), document.createElement('tbody'));
  table.tHead.append(head);
  table.tBodies[0].append(...body);
  $('download').disabled = false;
}

// The result in the file's own form.
function resultFile() {
  const { format, encoding } = loaded;
  const data = result.rows.map((row) => result.header.map((name) => row[name]));
  const text = Papa.unparse({ fields: result.header, data },
    { delimiter: format.delimiter, newline: format.newline, quotes: format.quotes }) + format.newline;
  return encode(text, encoding);
}

$('download').addEventListener('click', () => {
  if (!result) return;
  const suffix = document.querySelector('input[name=parts-mode]:checked').value === 'expand' ? 'expanded' : 'collapsed';
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([resultFile()], { type: 'text/csv' }));
  link.download = loaded.name.replace(/(\.[^.]*)?$/, `-${suffix}$1`);
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
});

for (const radio of document.querySelectorAll('input[name=parts-mode]')) radio.addEventListener("change", showResult);
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
document.body.dataset.ready = 'true';
