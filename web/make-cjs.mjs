// Writes lib/ztxgrp.cjs, the entry for require(): lib/boundary.mjs and the
// functions of lib/api.mjs as CommonJS, with the module instantiated
// synchronously from the file beside it (Node only; browsers import
// lib/ztxgrp.mjs); and lib/ztxgrp.d.cts, the same declarations as
// lib/ztxgrp.d.ts for TypeScript's require (a .d.cts file declares a
// CommonJS module). Run by `npm run build`; neither is kept in the
// repository.
import { readFileSync, writeFileSync } from 'node:fs';

const read = (name) => readFileSync(new URL(`./lib/${name}`, import.meta.url), 'utf8');
// The imports of boundary.mjs by api.mjs, and its re-export: in one file,
// the names are simply there.
const local = /^(import \{[^}]*\} from '\.\/boundary\.mjs';|export \{ \w+ \} from '\.\/boundary\.mjs';)\n/gm;
const names = [];
const plain = (text, exported) => text.replace(local, '').replace(/^export (class|function|const) (\w+)/gm, (_, kind, name) => {
  if (exported) names.push(name);
  return `${kind} ${name}`;
});
const body = plain(read('boundary.mjs'), false) + plain(read('api.mjs'), true);
if (/^\s*(import|export)\b/m.test(body)) throw new Error('boundary.mjs or api.mjs holds an import or export this script cannot turn into CommonJS');
writeFileSync(new URL('./lib/ztxgrp.cjs', import.meta.url), `// Generated from boundary.mjs and api.mjs by make-cjs.mjs: the entry for require().
'use strict';
${body}
bindInstance(new WebAssembly.Instance(
  new WebAssembly.Module(require('node:fs').readFileSync(require('node:path').join(__dirname, 'ztxgrp.wasm'))),
  imports));
module.exports = { ZtxgrpError, ${names.join(', ')} };
`);
writeFileSync(new URL('./lib/ztxgrp.d.cts', import.meta.url),
  `// Generated from ztxgrp.d.ts by make-cjs.mjs: the declarations for require().\n${read('ztxgrp.d.ts')}`);
