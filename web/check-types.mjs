// `npm run check:types`: the declarations checked with tsc --strict against a
// file that uses every export (test/types/usage.ts) and against the README's
// Node examples, as written, each compiled as a TypeScript file.
import { execFileSync } from 'node:child_process';
import { readFileSync, rmSync, writeFileSync } from 'node:fs';

const here = new URL('./test/types/', import.meta.url);
const readme = readFileSync(new URL('../README.md', import.meta.url), 'utf8');
const blocks = [...readme.matchAll(/^```js\n([\s\S]*?)^```/gm)].map((m) => m[1]);
if (blocks.length === 0) throw new Error('the README shows no Node example');
const written = blocks.map((block, k) => {
  const file = new URL(`readme-${k}.ts`, here);
  writeFileSync(file, `export {};\n${block}`);
  return file;
});
try {
  const tsc = new URL('./node_modules/.bin/tsc', import.meta.url).pathname;
  execFileSync(tsc, ['-p', new URL('tsconfig.json', here).pathname], { stdio: 'inherit' });
  // TypeScript's CommonJS form, `import z = require('ztxgrp')` in a .cts
  // file, resolved as Node resolves it.
  execFileSync(tsc, ['-p', new URL('tsconfig.require.json', here).pathname], { stdio: 'inherit' });
  console.log(`check:types: usage.ts, require.cts and ${blocks.length} README examples compile with tsc --strict`);
} finally {
  for (const file of written) rmSync(file);
}
