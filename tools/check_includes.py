#!/usr/bin/env python3
"""Checks every #include of the tree against the layer table of HACKING.md.

The table under "Layout and what may include what" has one row per folder: the
folder (or file) in backticks in the first column, and in the last column what
its files may include: other folders in backticks, and the names "the standard
library", "POSIX", "SDL2", "libpng", "GoogleTest", "Google Benchmark",
"Emscripten" or "anything". A file follows the row of the longest folder that
holds it; a folder may always include its own files. Prints each include that
breaks the table and exits with 1 when there is one.
"""
import os
import re
import sys

KINDS = ("the standard library", "POSIX", "SDL2", "libpng", "GoogleTest",
         "Google Benchmark", "Emscripten", "anything")


def parse_table(hacking_text):
    rows = {}
    in_table = False
    for line in hacking_text.splitlines():
        if line.startswith("## "):
            in_table = "what may include what" in line
            continue
        if not in_table or not line.startswith("|") or set(line) <= set("|-: "):
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        folders = re.findall(r"`([^`]+)`", cells[0])
        if not folders or len(cells) < 2:
            continue
        allowed = cells[-1]
        rule = {
            "folders": set(re.findall(r"`([^`]+/)`", allowed)),
            "kinds": {k for k in KINDS if k in allowed},
        }
        for f in folders:
            rows[f] = rule
    return rows


def system_kind(header):
    """What kind of library a <header> belongs to."""
    if header.startswith("SDL"):
        return "SDL2"
    if header.startswith("png"):
        return "libpng"
    if header.startswith(("gtest/", "gmock/")):
        return "GoogleTest"
    if header.startswith("benchmark/"):
        return "Google Benchmark"
    if header.startswith("emscripten"):
        return "Emscripten"
    if "/" not in header and not header.endswith(".h"):
        return "the standard library"
    return "POSIX"


def rule_for(path, rows):
    best = None
    for folder in rows:
        if path == folder or (folder.endswith("/") and path.startswith(folder)):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def check(root):
    with open(os.path.join(root, "HACKING.md"), encoding="utf-8") as f:
        rows = parse_table(f.read())
    if not rows:
        return ["HACKING.md: no layer table found"]
    problems = []
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        dirnames[:] = [d for d in dirnames
                       if not d.startswith(".") and not (rel_dir == "." and d == "build")]
        for name in sorted(filenames):
            if not name.endswith((".cpp", ".h", ".inc")):
                continue
            path = os.path.normpath(os.path.join(rel_dir, name)).replace(os.sep, "/")
            folder = rule_for(path, rows)
            if folder is None:
                problems.append(f"{path}: no row of the layer table covers it")
                continue
            rule = rows[folder]
            own = path.rsplit("/", 1)[0] + "/" if "/" in path else ""
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s*([<"])([^>"]+)[>"]', line)
                    if not m or "anything" in rule["kinds"]:
                        continue
                    kind, header = m.groups()
                    if kind == "<":
                        what = system_kind(header)
                        if what not in rule["kinds"]:
                            problems.append(f"{path}:{number}: <{header}> ({what}) "
                                            f"is not for {folder}")
                        continue
                    target = header.rsplit("/", 1)[0] + "/" if "/" in header else own
                    if target != own and target not in rule["folders"]:
                        problems.append(f'{path}:{number}: "{header}" reaches {target}, '
                                        f"which {folder} may not include")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    problems = check(os.path.abspath(root))
    for p in problems:
        print(p)
    if problems:
        print(f"includes: {len(problems)} against the table of HACKING.md", file=sys.stderr)
        return 1
    print("includes: every #include keeps the table of HACKING.md")
    return 0


if __name__ == "__main__":
    sys.exit(main())
