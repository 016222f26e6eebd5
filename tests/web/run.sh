#!/usr/bin/env bash
# The browser tests (ctest's Web.Browser, label web): builds the page as `make web` does,
# then drives it in Debian's Chromium against the desktop program given as $1. Skipped
# (status 77) only when a tool is missing; `tools/deps.sh test` installs them all.
set -euo pipefail
cd "$(dirname "$0")/../.."
missing=()
command -v emcc >/dev/null || missing+=(emscripten)
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
command -v node >/dev/null || missing+=(nodejs)
[ -d tests/web/node_modules/playwright-core ] || missing+=("playwright-core (npm ci in tests/web)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: the browser tests need ${missing[*]}; tools/deps.sh test installs them."
  exit 77
fi
# The page as shipped, and the same page with its memory checked (tests/web/faults.test.mjs).
build() {
  if ! log=$(tools/build_web.sh "$@" 2>&1); then
    echo "$log"
    exit 1
  fi
}
build build/wasm build/web 2
build build/wasm-checked build/web-checked 2 checked
# One file at a time: the pages' timings (the offline cache, a layout after a resize) must
# not compete with another file's game for the machine's two cores.
GS_BINARY="${1:?the desktop program}" GS_WEB_DIR=build/web GS_WEB_CHECKED_DIR=build/web-checked \
  exec node --test --test-concurrency=1 tests/web/web.test.mjs tests/web/phone.test.mjs tests/web/faults.test.mjs
