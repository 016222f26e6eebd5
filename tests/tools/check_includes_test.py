#!/usr/bin/env python3
"""The include-rule checker on small trees of its own: what it lets through and what
it reports."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
import check_includes  # noqa: E402

HACKING = """# Rules

## Layout and what may include what

| Folder | Library | May include |
|---|---|---|
| `platform/` | `p` | the standard library, POSIX |
| `platform/sdl/` | `w` | `platform/`, the standard library, SDL2 |
| `state/` | `s` | `platform/`, the standard library |
| `game/` | `g` | `state/`, `platform/`, the standard library |
| `game/main.cpp` | `main` | `game/`, `platform/sdl/`, the standard library |
| `tests/` | tests | anything |

## Other

| `state/` | not a rule | anything |
"""


class CheckIncludes(unittest.TestCase):
    def tree(self, files):
        root = tempfile.mkdtemp()
        with open(os.path.join(root, "HACKING.md"), "w") as f:
            f.write(HACKING)
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        return root

    def test_a_tree_that_keeps_the_layers_passes(self):
        root = self.tree({
            "platform/graph.h": "#include <vector>\n#include <unistd.h>\n",
            "platform/sdl/window.cpp": '#include <SDL.h>\n#include "platform/graph.h"\n',
            "state/state.h": '#include "platform/graph.h"\n#include "state/units.h"\n',
            "game/modes.cpp": '#include "state/state.h"\n',
            "game/main.cpp": '#include "platform/sdl/window.h"\n#include "game/modes.h"\n',
            "tests/x.cpp": "#include <gtest/gtest.h>\n#include <SDL.h>\n",
            "build/junk.cpp": '#include "anything/at/all.h"\n',
        })
        self.assertEqual(check_includes.check(root), [])

    def test_upward_and_sideways_includes_and_foreign_libraries_are_reported(self):
        root = self.tree({
            "state/state.h": '#include "game/modes.h"\n',          # upward
            "platform/graph.h": '  #  include "platform/sdl/w.h"\n',  # into a sublayer
            "game/battle.cpp": "#include <SDL.h>\n#include <unistd.h>\n",
            "game/modes.cpp": '#include "platform/sdl/window.h"\n',  # only main may
            "render/field.cpp": "#include <vector>\n",                 # no row at all
        })
        problems = "\n".join(check_includes.check(root))
        self.assertIn("state/state.h:1", problems)
        self.assertIn("platform/graph.h:1", problems)
        self.assertIn("game/battle.cpp:1: <SDL.h> (SDL2)", problems)
        self.assertIn("game/battle.cpp:2: <unistd.h> (POSIX)", problems)
        self.assertIn("game/modes.cpp:1", problems)
        self.assertIn("render/field.cpp: no row", problems)
        self.assertEqual(len(check_includes.check(root)), 6)

    def test_the_longest_folder_decides_and_rows_outside_the_table_are_ignored(self):
        # game/main.cpp has its own row; the "Other" section's row must not loosen state/.
        root = self.tree({
            "game/main.cpp": '#include "platform/sdl/window.h"\n',
            "state/x.cpp": "#include <SDL.h>\n",
        })
        self.assertEqual(check_includes.check(root),
                         ["state/x.cpp:1: <SDL.h> (SDL2) is not for state/"])


if __name__ == "__main__":
    unittest.main()
