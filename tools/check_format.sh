#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what .clang-format makes of it.
# `make format` rewrites them; this only checks.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if clang-format --dry-run --Werror $files; then
    echo "format: $(echo "$files" | wc -w) files as .clang-format wants them"
else
    echo "format: the files above differ from .clang-format; run 'make format'" >&2
    exit 1
fi
