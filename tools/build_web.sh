#!/usr/bin/env bash
# Builds the game for the browser with Debian's Emscripten: the page's folder, ready for
# any static web server.
#   tools/build_web.sh BUILD_DIR SITE_DIR JOBS [checked]
# With "checked" the program keeps its assertions and Emscripten checks every memory access
# (the browser tests play in such a build too); it is larger and slower, never shipped.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/wasm} site=${2:-build/web} jobs=${3:-2} checks=OFF
[ "${4:-}" = checked ] && checks=ON
# Debian's Emscripten finds its JavaScript modules (acorn and the like) only through this.
export NODE_PATH=/usr/share/nodejs
# Debian's Node rejects the thread flag emcmake gives its emulator; the emulator only runs
# CMake's checks, never the game.
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF -DGS_WEB_CHECKS=$checks \
  -DGS_WEB_DIR="$(realpath -m "$site")" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node);--no-experimental-fetch" >/dev/null
cmake --build "$build" --target gorvenshale -j"$jobs"
# The icons the installed page shows (its manifest names them).
mkdir -p "$site/icons"
cp dist/icons/*.png "$site/icons/"
# The service worker learns the site's files and their version: a digest of them all, so
# that any change to the site is a new version that replaces the kept one.
worker="$site/service-worker.js"
files=$(cd "$site" && find . -type f ! -name service-worker.js -printf '%P\n' | LC_ALL=C sort)
version=$(cd "$site" && printf '%s\n' "$files" | xargs sha256sum | sha256sum | cut -c1-16)
list=$(printf '%s\n' "$files" | sed 's/.*/"&"/' | paste -sd, -)
sed -i -e "s|@SITE_VERSION@|$version|" -e "s|/\* @SITE_FILES@ \*/|$list|" "$worker"
echo "The page is in $site/ (make web-serve shows it on http://localhost:8000/)."
