// The web page in a real headless Chromium, as a person uses it: designators
// pasted and converted, an error shown, a parts list dropped, its table
// shown and the downloaded file compared byte for byte with what
// `ztxgrp bom` writes for the same file.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = fileURLToPath(new URL('..', import.meta.url));
const excerpt = fileURLToPath(new URL('../../tests/data/bom/excerpt.csv', import.meta.url));
const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';
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

    // A parts list dropped on the page.
    const bytes = [...readFileSync(excerpt)];
    await page.evaluate((bytes) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], 'excerpt.csv', { type: 'text/csv' }));
      document.getElementById('drop-zone').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, bytes);
    await page.waitForSelector('#parts-table tbody tr');
    const firstRow = await page.$$eval('#parts-table tbody tr:first-child td', (cells) => cells.map((c) => c.textContent));
    assert.deepEqual(firstRow, ['C106-C107', '2', '4.7uF', 'Capacitors_SMD:C_0805_HandSoldering']);
    if (process.env.ZTXGRP_SCREENSHOT) await page.screenshot({ path: process.env.ZTXGRP_SCREENSHOT, fullPage: true });

    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.click('#download');
    // Done when the file is there and Chromium's partial file is gone.
    const finished = (names) => names.some((f) => f.endsWith('.csv')) && !names.some((f) => f.endsWith('.crdownload'));
    let files = [];
    for (let wait = 0; wait < 200 && !finished(files = readdirSync(downloads)); ++wait)
      await new Promise((resolve) => setTimeout(resolve, 50));
    assert.deepEqual(files, ['excerpt-collapsed.csv']);
    const downloaded = readFileSync(join(downloads, files[0]));
    if (process.env.ZTXGRP_CLI) assert.deepEqual(downloaded, execFileSync(process.env.ZTXGRP_CLI, ['bom', excerpt]));
    else assert.match(downloaded.toString(), /^Reference,Qty,Value,Footprint\r\nC106-C107,2,/);
    assert.deepEqual(failures, []);
  } finally {
    await browser.close();
    server.close();
    rmSync(downloads, { recursive: true, force: true });
  }
});
