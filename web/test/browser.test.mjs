// The web page in a real headless Chromium, as a person uses it: designators
// pasted and converted, an error shown, a parts list dropped, its table
// shown and the downloaded file compared byte for byte with what
// `ztxgrp bom` writes for the same file.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = fileURLToPath(new URL('..', import.meta.url));
const excerpt = fileURLToPath(new URL('../../tests/data/bom/excerpt.csv', import.meta.url));
const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';
const table = JSON.parse(readFileSync(new URL('../../parts/options.json', import.meta.url), 'utf8'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };

// Any static server will do; this one serves the package folder.
function serve() {
  const server = createServer((request, response) => {
    const path = normalize(join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (!path.startsWith(root) || !existsSync(path)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[extname(path)] ?? 'application/octet-stream' });
    response.end(readFileSync(path));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The records of a CSV file with quoted fields (RFC 4180; the separator
// the one of , ; TAB its first line has most of), to read an expected file
// without the code under test.
function csvRecords(text) {
  const first = text.split(/\r?\n/, 1)[0];
  const sep = [',', ';', '\t'].sort((a, b) => first.split(b).length - first.split(a).length)[0];
  const records = [];
  let record = [], field = '', quoted = false;
  for (let k = 0; k < text.length; ++k) {
    const ch = text[k];
    if (quoted) {
      if (ch === '"' && text[k + 1] === '"') field += text[++k];
      else if (ch === '"') quoted = false;
      else field += ch;
    } else if (ch === '"') quoted = true;
    else if (ch === sep) { record.push(field); field = ''; }
    else if (ch === '\n' || ch === '\r') {
      if (ch === '\r' && text[k + 1] === '\n') ++k;
      record.push(field); records.push(record); record = []; field = '';
    } else field += ch;
  }
  if (field !== '' || record.length) { record.push(field); records.push(record); }
  return records;
}

test('the page in a browser', { skip: !existsSync(chromium) && `no browser at ${chromium}` }, async () => {
  const server = await serve();
  const downloads = mkdtempSync(join(tmpdir(), 'ztxgrp-downloads-'));
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ['--no-sandbox'] });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 900 });
    const failures = [];
    page.on('pageerror', (error) => failures.push(error.message));
    await page.goto(`http://127.0.0.1:${server.address().port}/page/index.html`);
    await page.waitForSelector('body[data-ready=true]');

    const convert = async (text, mode) => {
      await page.$eval('#designators-input', (input) => { input.value = ''; });
      await page.type('#designators-input', text);
      await page.click(`input[name=designators-mode][value=${mode}]`);
      await page.click('#designators-form button[type=submit]');
      return page.evaluate(() => [document.getElementById('designators-output').value,
        document.getElementById('designators-error').textContent]);
    };
    const [, error] = await convert('R1, R3-R1', 'group');
    assert.match(error, /runtime error 9: Subscript out of range: "R3-R1"/);
    assert.deepEqual(await convert('C1 - C4, R1', 'expand'), ['C1, C2, C3, C4, R1', '']);
    assert.deepEqual(await convert('R3, R1 C2\nR2;R5 C7-C9', 'group'), ['C2, C7-C9, R1-R3, R5', '']);
    // Designators are kept as written, as in a parts list's cell.
    assert.deepEqual(await convert('Half-Bridge_DO1301, J1', 'group'), ['Half-Bridge_DO1301, J1', '']);
    assert.deepEqual(await convert('U1.2, U1.1', 'expand'), ['U1.2, U1.1', '']);  // not U1, U1

    // Parts lists dropped on the page, as a person drops them: the table
    // shown, and the downloaded file.
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    const drop = async (bytes, name, mode) => {
      await page.click(`input[name=parts-mode][value=${mode}]`);
      // A new mode reruns the file before: let that finish first.
      await page.waitForFunction(() => !/working/.test(document.getElementById('parts-status').textContent), { timeout: 30000 });
      await page.evaluate(() => {
        document.getElementById('parts-status').textContent = '';
        document.getElementById('parts-error').textContent = '';
      });
      await page.evaluate((bytes, name) => {
        const data = new DataTransfer();
        data.items.add(new File([new Uint8Array(bytes)], name, { type: 'text/csv' }));
        document.getElementById('drop-zone').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
      }, [...bytes], name);
      // Done when this file's result is shown (switching the mode reruns the
      // file before, whose result may come first) or an error is.
      await page.waitForFunction((name) => {
        const status = document.getElementById('parts-status').textContent;
        return (status.startsWith(`${name}:`) && /rows written/.test(status)) ||
          document.getElementById('parts-error').textContent !== '';
      }, { timeout: 30000 }, name);
      return page.evaluate(() => document.getElementById('parts-error').textContent);
    };
    const download = async () => {
      for (const name of readdirSync(downloads)) rmSync(join(downloads, name));
      await page.click('#download');
      // Done when the file is there and Chromium's partial file is gone.
      const finished = (names) => names.length > 0 && !names.some((f) => f.endsWith('.crdownload'));
      let files = [];
      for (let wait = 0; wait < 200 && !finished(files = readdirSync(downloads)); ++wait)
        await new Promise((resolve) => setTimeout(resolve, 50));
      assert.equal(files.length, 1, `${files}`);
      return { name: files[0], bytes: readFileSync(join(downloads, files[0])) };
    };

    // The bytes a download button offers (the file behind the link it
    // follows), for the tables' many rows: Chromium stops saving a page's
    // downloads after some dozens; the real download is checked above and
    // below, on the real files.
    const offered = (button) => page.evaluate(async (button) => {
      const follow = HTMLAnchorElement.prototype.click;
      let href = null;
      HTMLAnchorElement.prototype.click = function click() {
        href = this.href;
      };
      try {
        document.querySelector(button).click();
      } finally {
        HTMLAnchorElement.prototype.click = follow;
      }
      return href && [...new Uint8Array(await (await fetch(href)).arrayBuffer())];
    }, button).then((bytes) => Buffer.from(bytes ?? []));

    assert.equal(await drop(readFileSync(excerpt), 'excerpt.csv', 'collapse'), '');
    const firstRow = await page.$$eval('#parts-table tbody tr:first-child td', (cells) => cells.map((c) => c.textContent));
    assert.deepEqual(firstRow, ['C106-C107', '2', '4.7uF', 'Capacitors_SMD:C_0805_HandSoldering']);
    if (process.env.ZTXGRP_SCREENSHOT) await page.screenshot({ path: process.env.ZTXGRP_SCREENSHOT, fullPage: true });
    const collapsed = await download();
    assert.equal(collapsed.name, 'excerpt-collapsed.csv');
    if (process.env.ZTXGRP_CLI) assert.deepEqual(collapsed.bytes, execFileSync(process.env.ZTXGRP_CLI, ['bom', excerpt]));

    // Two runs that overlap (the mode changed, then a file dropped at once):
    // once the last is done, nothing says it is still working.
    await page.evaluate(() => {
      document.querySelector('input[name=parts-mode][value=expand]').click();
      document.querySelector('input[name=parts-mode][value=collapse]').click();
    });
    await page.waitForFunction(() => /rows written/.test(document.getElementById('parts-status').textContent), { timeout: 30000 });
    await new Promise((resolve) => setTimeout(resolve, 1500));
    assert.doesNotMatch(await page.evaluate(() => document.getElementById('parts-status').textContent), /working/);

    // A workbook (written by the command) downloads as a workbook, or as
    // CSV when asked, with the command's bytes.
    if (process.env.ZTXGRP_CLI) {
      const command = (args, input) => execFileSync(process.env.ZTXGRP_CLI, args, { input });
      const workbook = command(['bom', '--expand', '--format', 'xlsx', '-o', '/dev/stdout', excerpt]);
      assert.equal(await drop(workbook, 'excerpt.xlsx', 'collapse'), '');
      const asGiven = await download();
      assert.equal(asGiven.name, 'excerpt-collapsed.xlsx');
      assert.deepEqual(asGiven.bytes, command(['bom', '-o', '/dev/stdout', '-'], workbook));
      await page.select('#opt-format', 'csv');
      assert.equal(await drop(workbook, 'excerpt-b.xlsx', 'collapse'), '');
      const asCsv = await download();
      assert.equal(asCsv.name, 'excerpt-b-collapsed.csv');
      assert.deepEqual(asCsv.bytes, command(['bom', '--format', 'csv', '-'], workbook));
      await page.select('#opt-format', '');
    }

    // A small file whose result is large: shown in part, downloaded whole.
    const large = Buffer.from('Ref,Value\nQA1-QA32767,1\nQB1-QB32767,1\nQC1-QC32767,1\nQD1-QD32767,1\n');
    assert.equal(await drop(large, 'large.csv', 'expand'), '');
    assert.match(await page.$eval('#parts-status', (p) => p.textContent), /131068 rows written; the first 500 are shown/);
    assert.equal((await download()).bytes.toString().split('\n').length, 131070);

    // The table of parts-list files, as far as the page has its options.
    const folder = new URL('../../tests/data/parts-files/', import.meta.url);
    // The options boxes set as a person types them (each row's own options,
    // every other box empty: its default), then the file dropped.
    const setOptions = (options) => page.evaluate((options) => {
      const boxes = { refs: 'opt-refs', qty: 'opt-qty', by: 'opt-by', sep: 'opt-sep', join: 'opt-join', minRun: 'opt-min-run', headerRow: 'opt-header-row', lastRow: 'opt-last-row', maxPerRow: 'opt-max-per-row', parts: 'opt-parts', boards: 'opt-boards' };
      const defaults = { join: ', ', minRun: '2' };
      for (const [key, id] of Object.entries(boxes)) {
        const value = options[key] ?? defaults[key] ?? '';
        document.getElementById(id).value = Array.isArray(value) ? value.join(',') : String(value);
      }
      document.getElementById('opt-unchanged').checked = options.unchanged === true;
      document.getElementById('opt-no-ranges').checked = options.noRanges === true;
      document.getElementById('opt-format').value = options.format ?? '';
    }, options);
    for (const c of JSON.parse(readFileSync(new URL('cases.json', folder), 'utf8'))) {
      const { expand, ...others } = c.options;
      await setOptions(others);
      const error = await drop(readFileSync(new URL(c.input, folder)), c.input, expand ? 'expand' : 'collapse');
      if (!c.output) {
        assert.ok(error.includes(c.error), `${c.name}: ${error}`);
        if (c.remedy) {
          // The message points at the page's own field for the option.
          const id = `opt-${table.find((row) => row.option === c.remedy).javascript.replace(/[A-Z]/g, (k) => `-${k.toLowerCase()}`)}`;
          const label = await page.$eval(`label[for="${id}"]`, (l) => l.textContent.trim());
          assert.ok(error.endsWith(`; name it with the "${label}" field`), `${c.name}: ${error}`);
        }
        continue;
      }
      assert.equal(error, '', c.name);
      const warnings = await page.$$eval('#parts-warnings li', (items) => items.map((li) => li.textContent));
      assert.deepEqual(warnings, [...(c.notes ?? []), ...c.warnings], c.name);
      assert.deepEqual(await offered('#download'), readFileSync(new URL(c.output, folder)), c.name);
    }
    // Two parts lists compared: the table of changes, each kind told by its
    // word and sign, and the download the bytes of `ztxgrp diff --csv`.
    const diffFolder = new URL('../../tests/data/diff/', import.meta.url);
    const dropList = (which, name) => page.evaluate((which, bytes, name) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], name, { type: 'text/csv' }));
      document.getElementById(`compare-${which}-zone`).dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, which, [...readFileSync(new URL(name, diffFolder))], name);
    await setOptions({});
    await dropList('old', 'rpi-rev-a.csv');
    await dropList('new', 'rpi-rev-b.csv');
    await page.waitForFunction(() => /4 changes/.test(document.getElementById('compare-status').textContent), { timeout: 30000 });
    const changes = await page.$$eval('#compare-table tbody tr', (rows) => rows.map((r) => [r.cells[0].textContent, r.cells[1].textContent]));
    assert.deepEqual(changes, [['~ changed', 'C103'], ['+ added', 'C190-C192'], ['~ changed', 'R101-R102'], ['\u2212 removed', 'Y101']]);
    await page.$eval('#compare-title', (title) => title.scrollIntoView());
    if (process.env.ZTXGRP_COMPARE_SCREENSHOT) await page.screenshot({ path: process.env.ZTXGRP_COMPARE_SCREENSHOT });
    for (const name of readdirSync(downloads)) rmSync(join(downloads, name));
    await page.click('#compare-download');
    let files = [];
    for (let wait = 0; wait < 200 && !(files = readdirSync(downloads)).some((f) => f.endsWith('.csv') && !files.some((g) => g.endsWith('.crdownload'))); ++wait)
      await new Promise((resolve) => setTimeout(resolve, 50));
    assert.deepEqual(files, ['rpi-rev-a-vs-rpi-rev-b.csv']);
    const a = fileURLToPath(new URL('rpi-rev-a.csv', diffFolder)), b = fileURLToPath(new URL('rpi-rev-b.csv', diffFolder));
    if (process.env.ZTXGRP_CLI) {
      let expected;
      try {
        execFileSync(process.env.ZTXGRP_CLI, ['diff', '--csv', a, b]);
      } catch (error) {
        expected = error.stdout;  // exit status 1: the lists differ
      }
      assert.deepEqual(readFileSync(join(downloads, files[0])), expected);
    }
    // The report offered beside it: the bytes of `ztxgrp diff --html` for
    // the lists by the same names.
    for (const name of readdirSync(downloads)) rmSync(join(downloads, name));
    await page.click('#compare-report');
    for (let wait = 0; wait < 200 && !(files = readdirSync(downloads)).some((f) => f.endsWith('.html') && !files.some((g) => g.endsWith('.crdownload'))); ++wait)
      await new Promise((resolve) => setTimeout(resolve, 50));
    assert.deepEqual(files, ['rpi-rev-a-vs-rpi-rev-b.html']);
    if (process.env.ZTXGRP_CLI) {
      const report = spawnSync(process.env.ZTXGRP_CLI, ['diff', '--html', 'rpi-rev-a.csv', 'rpi-rev-b.csv'], { cwd: fileURLToPath(diffFolder) });
      assert.equal(report.status, 1);
      assert.deepEqual(readFileSync(join(downloads, files[0])), report.stdout);
    }

    // The table of compared parts lists, each row with its options: the
    // download holds the bytes of `ztxgrp diff --csv`, or the error is shown.
    for (const c of JSON.parse(readFileSync(new URL('cases.json', diffFolder), 'utf8'))) {
      await setOptions(c.options);
      await page.evaluate(() => {
        document.getElementById('compare-status').textContent = '';
        document.getElementById('compare-error').textContent = '';
      });
      await dropList('old', c.old);
      await dropList('new', c.new);
      // Dropping OLD compares it with the NEW before; done when this pair's
      // result (named by both) or an error is shown.
      await page.waitForFunction((a, b) => {
        const status = document.getElementById('compare-status').textContent;
        return status.startsWith(`${a} and ${b} agree`) || status.startsWith(`${a} → ${b}:`) ||
          document.getElementById('compare-error').textContent !== '';
      }, { timeout: 30000 }, c.old, c.new);
      const error = await page.$eval('#compare-error', (p) => p.textContent);
      if (!c.output) {
        assert.ok(error.includes(c.error), `${c.name}: ${error}`);
        continue;
      }
      assert.equal(error, '', c.name);
      const notes = await page.$$eval('#compare-notes li', (items) => items.map((li) => li.textContent));
      assert.equal(notes.length, c.notes.length + c.warnings.length, c.name);
      // The table shown is the expected file's (its download is checked
      // byte for byte above, for the real board).
      const shown = await page.$$eval('#compare-table tr', (rows) => rows.map((r) => [...r.cells].map((cell) => cell.textContent)));
      const records = csvRecords(readFileSync(new URL(c.output, diffFolder), 'utf8'));
      // With parts, the parts table follows the changes after an empty line.
      const gap = records.findIndex((row) => row.length === 1 && row[0] === '');
      const expected = gap < 0 ? records : records.slice(0, gap);
      const signs = { added: '+', removed: '\u2212', changed: '~', unchanged: '=', moved: '\u2192' };
      assert.deepEqual(shown, expected.map((row, r) => (r === 0 ? row : [`${signs[row[0]]} ${row[0]}`, ...row.slice(1)])), c.name);
      const parts = await page.$$eval('#compare-parts tr', (rows) => rows.map((r) => [...r.cells].map((cell) => cell.textContent)));
      const partSigns = { 'added part': '+', 'removed part': '\u2212', 'quantity changed': '\u00b1' };
      assert.deepEqual(parts, gap < 0 ? [] : records.slice(gap + 1).map((row, r) => (r === 0 ? row : [`${partSigns[row[0]]} ${row[0]}`, ...row.slice(1)])), c.name);
    }

    // Lists pasted and compared: each answer under its words, as the
    // command gives it.
    await page.evaluate(() => {
      document.getElementById('sets-list-1').value = 'R1-R10, C1-C4';
      document.getElementById('sets-list-2').value = 'R5-R20, C3';
    });
    await page.click('#sets-add');
    await page.type('#sets-list-3', 'R7 C3');
    await page.click('#sets-form button[type=submit]');
    await page.waitForFunction(() => document.querySelectorAll('#sets-answers dd').length === 6, { timeout: 30000 });
    const answers = await page.$$eval('#sets-answers dd', (items) => items.map((dd) => dd.textContent));
    assert.deepEqual(answers, ['C1-C4, R1-R20', 'C3, R7', 'C1-C2, C4, R1-R4', 'C1-C4, R1-R4, R7, R11-R20',
      'A: 14, B: 17, C: 2', '(none)']);

    // A parts list and its placement file checked: each finding with its
    // sign and words, the download the bytes of `ztxgrp verify --csv`.
    const verifyFolder = new URL('../../tests/data/verify/', import.meta.url);
    const dropBoard = (which, names) => page.evaluate((which, files) => {
      const data = new DataTransfer();
      for (const [name, bytes] of files) data.items.add(new File([new Uint8Array(bytes)], name));
      document.getElementById(`verify-${which}-zone`).dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, which, names.map((name) => [name, [...readFileSync(new URL(name, verifyFolder))]]));
    await setOptions({});
    await dropBoard('placements', ['board-top.pos', 'board-bottom.pos']);
    await dropBoard('bom', ['board.csv']);
    await page.waitForFunction(() => /The files agree/.test(document.getElementById('verify-status').textContent), { timeout: 30000 });
    await dropBoard('placements', ['findings-top.pos']);
    await dropBoard('bom', ['findings.csv']);
    await page.waitForFunction(() => /9 findings/.test(document.getElementById('verify-status').textContent), { timeout: 30000 })
      .catch(async (error) => {
        throw new Error(`${error.message}: ${await page.$eval('#verify-status', (p) => p.textContent)} | ${await page.$eval('#verify-error', (p) => p.textContent)}`);
      });
    const findings = await page.$$eval('#verify-table tbody tr', (rows) => rows.map((r) => [r.dataset.finding, r.cells[0].textContent, r.cells[1].textContent]));
    assert.deepEqual(findings.map(([kind, , designators]) => [kind, designators]), [
      ['not-placed', 'C4'], ['not-in-parts-list', 'FID1, TP1'], ['letter-case', 'r5'], ['repeated', 'C1'], ['repeated', 'R6'],
      ['quantity', 'R1-R3'], ['no-designator', ''], ['do-not-place', 'R8'], ['cells-differ', 'R4']]);
    // Each kind told by a sign before its words, not by colour alone.
    assert.ok(findings.every(([, shown]) => /^\S+ \w/.test(shown)), `${findings.map(([, shown]) => shown)}`);
    if (process.env.ZTXGRP_CLI) {
      for (const name of readdirSync(downloads)) rmSync(join(downloads, name));
      await page.click('#verify-download');
      let files = [];
      for (let wait = 0; wait < 200 && !((files = readdirSync(downloads)).length && !files.some((f) => f.endsWith('.crdownload'))); ++wait)
        await new Promise((resolve) => setTimeout(resolve, 50));
      assert.deepEqual(files, ['findings-findings.csv']);
      let expected;
      try {
        execFileSync(resolve(process.env.ZTXGRP_CLI), ['verify', '--csv', 'findings.csv', 'findings-top.pos'], { cwd: fileURLToPath(verifyFolder), stdio: 'pipe' });
      } catch (error) {
        expected = error.stdout;  // exit status 1: findings
      }
      assert.deepEqual(readFileSync(join(downloads, files[0])), expected);
    }

    // A comparison started while a large list is being worked on: both
    // sections finish, each with its own result.
    await setOptions({});
    await page.click('input[name=parts-mode][value=expand]');
    await page.evaluate((bytes) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], 'large.csv', { type: 'text/csv' }));
      document.getElementById('drop-zone').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, [...large]);
    await dropList('old', 'kinds.old.csv');
    await dropList('new', 'kinds.new.csv');
    await page.waitForFunction(() => /large\.csv: 131068 rows written/.test(document.getElementById('parts-status').textContent) &&
      /kinds\.old\.csv → kinds\.new\.csv: 3 changes/.test(document.getElementById('compare-status').textContent), { timeout: 30000 })
      .catch(async (error) => {
        throw new Error(`${error.message}: ${await page.$eval('#parts-status', (p) => p.textContent)} | ${await page.$eval('#compare-status', (p) => p.textContent)} | ${await page.$eval('#parts-error', (p) => p.textContent)}`);
      });

    // Lists dropped before the module has loaded wait for it and are compared.
    await page.reload();
    await dropList('old', 'rpi-rev-a.csv');
    await dropList('new', 'rpi-rev-b.csv');
    await page.waitForFunction(() => /4 changes/.test(document.getElementById('compare-status').textContent), { timeout: 30000 })
      .catch(async (error) => {
        throw new Error(`${error.message}: ${await page.$eval('#compare-status', (p) => p.textContent)} | ${await page.$eval('#compare-error', (p) => p.textContent)}`);
      });

    assert.deepEqual(failures, []);
  } finally {
    await browser.close();
    server.close();
    rmSync(downloads, { recursive: true, force: true });
  }
});

// The HTML report of `ztxgrp diff --html`, opened from its file as a person
// opens it: its tables read back from the DOM are the `--csv` tables, cells
// holding markup show as text and run nothing, and nothing is fetched.
test('the HTML report in a browser', { skip: (!existsSync(chromium) && `no browser at ${chromium}`) || (!process.env.ZTXGRP_CLI && 'no ZTXGRP_CLI') }, async () => {
  const folder = fileURLToPath(new URL('../../tests/data/diff/', import.meta.url));
  const work = mkdtempSync(join(tmpdir(), 'ztxgrp-report-'));
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ['--no-sandbox'] });
  try {
    for (const [older, newer, options] of [['rpi-rev-a.csv', 'rpi-rev-b.csv', []], ['markup-in-cells.old.csv', 'markup-in-cells.new.csv', []],
      ['parts-order.old.csv', 'parts-order.new.csv', ['--parts', 'MPN']]]) {
      const report = join(work, `${older}.html`);
      const run = (words) => spawnSync(process.env.ZTXGRP_CLI, ['diff', ...options, ...words, older, newer], { cwd: folder });
      assert.equal(run(['--html', '-o', report]).status, 1, older);
      const records = csvRecords(run(['--csv']).stdout.toString('utf8'));
      const gap = records.findIndex((row) => row.length === 1 && row[0] === '');
      const expected = gap < 0 ? [records] : [records.slice(0, gap), records.slice(gap + 1)];
      const page = await browser.newPage();
      const requests = [], failures = [];
      page.on('request', (request) => requests.push(request.url()));
      page.on('pageerror', (error) => failures.push(error.message));
      await page.goto(pathToFileURL(report).href);
      const tables = await page.$$eval('table', (all) => all.map((t) => [...t.rows].map((r) => [...r.cells].map((cell) => cell.textContent))));
      assert.deepEqual(tables, expected, older);
      assert.equal(await page.evaluate(() => window.ran), undefined, older);
      assert.deepEqual(requests, [pathToFileURL(report).href], older);
      assert.deepEqual(failures, [], older);
      // Each kind of change is told by its colour and a sign before its word.
      const signs = await page.$$eval('td.kind', (cells) => cells.map((cell) => getComputedStyle(cell, '::before').content));
      assert.ok(signs.every((sign) => sign !== 'none' && sign !== ''), `${older}: ${signs}`);
      await page.close();
    }
  } finally {
    await browser.close();
    rmSync(work, { recursive: true, force: true });
  }
});
