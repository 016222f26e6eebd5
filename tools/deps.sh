#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, only when one is missing.
set -euo pipefail
pkgs=(g++ cmake make pkg-config libsdl2-dev libpng-dev libgtest-dev libbenchmark-dev)
# The style checks: the formatter and the include-rule script.
pkgs+=(clang-format python3)
# The hardening tests: libFuzzer (clang and its runtime), a real terminal (tmux), a real
# window (Xvfb, xauth for xvfb-run, xwininfo/xprop and xwd to look at it).
pkgs+=(clang libclang-rt-14-dev tmux xvfb xauth x11-utils x11-apps)
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
