#!/bin/sh
# npm run build: ztxgrp.wasm through the project's CMake and emscripten
# (Debian's emcc finds its JavaScript tools with NODE_PATH), copied into lib/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${ZTXGRP_WASM_BUILD:-$here/../build-wasm}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S "$here/.." -B "$build" -DCMAKE_BUILD_TYPE=Release -DZTXGRP_WASM=ON \
  -DZTXGRP_TEST=OFF -DZTXGRP_CLI=OFF -DZTXGRP_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target ztxgrp_wasm
cp "$build/web/ztxgrp.wasm" "$here/lib/ztxgrp.wasm"
