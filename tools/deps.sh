#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
#   tools/deps.sh play    building and playing (make play, make install)
#   tools/deps.sh deb     the above and the package tools (make deb)
#   tools/deps.sh web     building and the browser build (make web)
#   tools/deps.sh test    all of the above and everything the tests use (make check, make
#                         test), with the browser tests' npm package (tests/web)
#   tools/deps.sh bench   building and the benchmarks (make bench)
#   tools/deps.sh         all of them (make deps)
set -euo pipefail
play=(g++ cmake make pkg-config libsdl2-dev libpng-dev)
# The package: dpkg-shlibdeps finds its run-time dependencies, `file` tells it the programs.
deb=(dpkg-dev file)
# The tests: GoogleTest; the style checks (the formatter and the include-rule script); the
# hardening tests: libFuzzer (clang and its runtime), ThreadSanitizer's runtime (make
# tsan), a real terminal (tmux), a real window (Xvfb, xauth for xvfb-run, xwininfo/xprop
# and xwd to look at it, xdotool to type into it); the install tests: the desktop entry's
# validator, the desktop library's own loader (gio), the manual page's renderer; the
# package test: Debian's package checker.
test=(libgtest-dev clang-format python3 clang libclang-rt-14-dev libtsan2 tmux xvfb xauth
  x11-utils x11-apps xdotool desktop-file-utils libglib2.0-bin man-db lintian)
bench=(libbenchmark-dev)
# The browser build and its tests, without their recommendations (which would bring a
# desktop's worth): Emscripten; Chromium driven headless; npm for its driver, unless the
# machine's Node.js brings its own.
web=(emscripten)
browser=(chromium)
command -v npm >/dev/null || browser+=(npm)
lean=()
case "${1:-all}" in
  play) pkgs=("${play[@]}") ;;
  deb) pkgs=("${play[@]}" "${deb[@]}") ;;
  web) pkgs=("${play[@]}") lean=("${web[@]}") ;;
  test) pkgs=("${play[@]}" "${deb[@]}" "${test[@]}") lean=("${web[@]}" "${browser[@]}") ;;
  bench) pkgs=("${play[@]}" "${bench[@]}") ;;
  all) pkgs=("${play[@]}" "${deb[@]}" "${test[@]}" "${bench[@]}") lean=("${web[@]}" "${browser[@]}") ;;
  *) echo "usage: tools/deps.sh [play|deb|web|test|bench]" >&2; exit 2 ;;
esac
missingOf() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t missing < <(missingOf "${pkgs[@]}")
mapfile -t missingLean < <(missingOf "${lean[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#missingLean[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]} ${missingLean[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  [ ${#missing[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  [ ${#missingLean[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      "${missingLean[@]}"
fi
# The browser tests' driver, at the version the lock file pins (again when it changes).
case "${1:-all}" in
  test | all)
    web_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
    if [ ! -e "$web_tests/node_modules/.package-lock.json" ] ||
      [ "$web_tests/package-lock.json" -nt "$web_tests/node_modules/.package-lock.json" ]; then
      npm ci --prefix "$web_tests" --no-audit --no-fund --loglevel=error
    fi
    ;;
esac
