#!/usr/bin/env bash
# Builds the Debian package: a release build for prefix /usr in BUILD_DIR, then CPack.
# The package lands in OUT_DIR as gorvenshale_<version>_<arch>.deb, whose path is the
# last line written. `make deb` runs it, and so does the package test.
#   tools/build_deb.sh BUILD_DIR OUT_DIR [JOBS]
set -euo pipefail
build=$1 out=$2 jobs=${3:-2}
src=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGS_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null
rm -f "$build"/gorvenshale_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$out"
for deb in "$build"/gorvenshale_*.deb; do
  mv "$deb" "$out/"
  echo "$out/$(basename "$deb")"
done
