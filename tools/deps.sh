#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
#   tools/deps.sh play    building and playing (make play, make install)
#   tools/deps.sh deb     the above and the package tools (make deb)
#   tools/deps.sh test    the above and everything the tests use (make check, make test)
#   tools/deps.sh bench   building and the benchmarks (make bench)
#   tools/deps.sh         all of them (make deps)
set -euo pipefail
play=(g++ cmake make pkg-config libsdl2-dev libpng-dev)
# The package: dpkg-shlibdeps finds its run-time dependencies, `file` tells it the programs.
deb=(dpkg-dev file)
# The tests: GoogleTest; the style checks (the formatter and the include-rule script); the
# hardening tests: libFuzzer (clang and its runtime), a real terminal (tmux), a real window
# (Xvfb, xauth for xvfb-run, xwininfo/xprop and xwd to look at it, xdotool to type into
# it); the install tests:
# the desktop entry's validator and the manual page's renderer.
test=(libgtest-dev clang-format python3 clang libclang-rt-14-dev tmux xvfb xauth x11-utils
  x11-apps xdotool desktop-file-utils man-db)
bench=(libbenchmark-dev)
case "${1:-all}" in
  play) pkgs=("${play[@]}") ;;
  deb) pkgs=("${play[@]}" "${deb[@]}") ;;
  test) pkgs=("${play[@]}" "${deb[@]}" "${test[@]}") ;;
  bench) pkgs=("${play[@]}" "${bench[@]}") ;;
  all) pkgs=("${play[@]}" "${deb[@]}" "${test[@]}" "${bench[@]}") ;;
  *) echo "usage: tools/deps.sh [play|deb|test|bench]" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
