#!/bin/sh
# The packed package as a user gets it: `npm pack`, then installed into an
# empty folder (no build step there, nothing fetched) and run from it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tarball=$(cd "$here" && npm pack --silent --pack-destination "$work")
listing=$(tar -tzf "$work/$tarball")
for file in package/README.md package/LICENSE package/lib/ztxgrp.cjs package/lib/ztxgrp.d.cts package/lib/boundary.mjs; do
  printf '%s\n' "$listing" | grep -qx "$file" || { echo "check-pack: $file is not in the tarball"; exit 1; }
done
mkdir "$work/user"
cd "$work/user"
echo '{"name": "user", "version": "1.0.0", "private": true, "type": "module"}' >package.json
npm install --silent --no-audit --no-fund --offline "$work/$tarball"
cat >try.mjs <<'JS'
import { group, ungroup, collapseRows, collapseCsv } from 'ztxgrp';
const out = [group(['R3', 'R1', 'C2', 'R2', 'R5']).join(' '), ungroup(['C1-C3']).join(' '),
  collapseRows([{ Ref: 'R1', V: '1k' }, { Ref: 'R2', V: '1k' }]).rows[0].Ref,
  new TextDecoder().decode(collapseCsv('Ref;V\r\nR2;1k\r\nR1;1k\r\n').data).trim()];
console.log(out.join(' | '));
JS
result=$(node try.mjs)
[ "$result" = "$(printf 'C2 R1-R3 R5 | C1 C2 C3 | R1-R2 | Ref;Qty;V\r\nR1-R2;2;1k')" ] || { echo "check-pack: got '$result'"; exit 1; }
# CommonJS, as many Node tools still load packages.
required=$(node -e "console.log(require('ztxgrp').group(['R2','R1']))")
[ "$required" = "[ 'R1-R2' ]" ] || { echo "check-pack: require gave '$required'"; exit 1; }
for file in lib/ztxgrp.wasm lib/ztxgrp.d.ts page/index.html page/page.js page/worker.js page/forms.js; do
  [ -f "node_modules/ztxgrp/$file" ] || { echo "check-pack: $file is not in the package"; exit 1; }
done
echo "check-pack: $tarball installs into an empty folder and runs"
