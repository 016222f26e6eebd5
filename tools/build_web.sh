#!/usr/bin/env bash
# Builds the game for the browser with Debian's Emscripten: the page's folder, ready for
# any static web server.
#   tools/build_web.sh BUILD_DIR SITE_DIR JOBS
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/wasm} site=${2:-build/web} jobs=${3:-2}
# Debian's Emscripten finds its JavaScript modules (acorn and the like) only through this.
export NODE_PATH=/usr/share/nodejs
# Debian's Node rejects the thread flag emcmake gives its emulator; the emulator only runs
# CMake's checks, never the game.
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF \
  -DGS_WEB_DIR="$(realpath -m "$site")" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node);--no-experimental-fetch" >/dev/null
cmake --build "$build" --target gorvenshale -j"$jobs"
echo "The page is in $site/ (make web-serve shows it on http://localhost:8000/)."
