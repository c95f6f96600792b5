// Writes lib/ztxgrp.cjs, the entry for require(): the functions of
// lib/api.mjs as CommonJS, with the module instantiated synchronously from
// the file beside it (Node only; browsers import lib/ztxgrp.mjs). Run by
// `npm run build`; the output is not kept in the repository.
import { readFileSync, writeFileSync } from 'node:fs';

const api = readFileSync(new URL('./lib/api.mjs', import.meta.url), 'utf8');
const names = [];
const body = api.replace(/^export (class|function|const) (\w+)/gm, (_, kind, name) => {
  names.push(name);
  return `${kind} ${name}`;
});
if (/^\s*(import|export)\b/m.test(body)) throw new Error('api.mjs holds an import or export this script cannot turn into CommonJS');
writeFileSync(new URL('./lib/ztxgrp.cjs', import.meta.url), `// Generated from api.mjs by make-cjs.mjs: the entry for require().
'use strict';
${body}
bindInstance(new WebAssembly.Instance(
  new WebAssembly.Module(require('node:fs').readFileSync(require('node:path').join(__dirname, 'ztxgrp.wasm'))),
  imports));
module.exports = { ${names.filter((name) => name !== 'bindInstance' && name !== 'imports').join(', ')} };
`);
