// The README's Node example, run as written: every console.log with a
// comment must print what the comment shows (spacing aside). The example
// imports the package by its name, as a user's file does.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync, rmSync } from 'node:fs';
import { format } from 'node:util';
import { fileURLToPath } from 'node:url';

const readme = readFileSync(new URL('../../README.md', import.meta.url), 'utf8');
const blocks = [...readme.matchAll(/^```js\n([\s\S]*?)^```/gm)].map((m) => m[1]);
const normal = (text) => text.split(/\s+/).join(' ').trim();

test('the README shows a Node example', () => assert.ok(blocks.length >= 1));

for (const [index, block] of blocks.entries()) {
  test(`README Node example ${index + 1}`, async () => {
    const expected = new Map();
    const lines = block.split('\n').map((line, k) => {
      const shown = line.match(/^(\s*)console\.log\((.*)\);\s*\/\/ (.*)$/);
      if (!shown) return line;
      expected.set(k + 1, shown[3]);
      return `${shown[1]}globalThis.__check(${k + 1}, ${shown[2]});`;
    });
    const checked = [];
    globalThis.__check = (line, ...values) => {
      assert.equal(normal(format(...values)), normal(expected.get(line)), `README example line ${line}`);
      checked.push(line);
    };
    // Run from the top of the project, as the README says; the file lies
    // inside the package folder, so that 'ztxgrp' names this package.
    process.chdir(fileURLToPath(new URL('../..', import.meta.url)));
    const file = new URL(`../.readme-example-${index}.mjs`, import.meta.url);
    writeFileSync(file, lines.join('\n'));
    try {
      await import(file.href);
    } finally {
      rmSync(file);
    }
    assert.deepEqual(checked, [...expected.keys()]);
  });
}
