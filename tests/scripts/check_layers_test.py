#!/usr/bin/python3
"""scripts/check-layers on small planted trees: every kind of include against the floors
fails, naming file and line; a tree that keeps to them passes."""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
SCRIPT = os.path.join(SOURCE, "scripts", "check-layers")
TABLE = os.path.join(SOURCE, "docs", "ARCHITECTURE.md")

CLEAN = {
    "files/SafeFile.h": "#pragma once\n",
    "core/AppState.h": '#pragma once\n#include "files/SafeFile.h"\n#include <QString>\n',
    "windows/UGlowny.h": '#pragma once\n#include "core/AppState.h"\n#include <QWidget>\n',
    "windows/parts/Beside.h": "#pragma once\n",
    "windows/parts/Uses.cpp": '#include "Beside.h"\n#include "core/AppState.h"\n',
    "core/CMakeLists.txt": "target_sources(tabulon_core PRIVATE AppState.h)\n",
    "tests/core/tst_a.cpp": '#include "windows/UGlowny.h"\n',
}

# name, files added to the clean tree, text the report must hold (None: passes)
CASES = [
    ("clean tree", {}, None),
    ("core includes a window", {"core/Bad.cpp": '#include "core/AppState.h"\n#include "windows/UGlowny.h"\n'},
     "core/Bad.cpp:2: includes windows/UGlowny.h, but core may not include windows"),
    ("a lower core floor includes a higher one", {"files/Up.cpp": '#include "core/AppState.h"\n'},
     "files/Up.cpp:1: includes core/AppState.h, but files may not include core"),
    ("window parts include the main window", {"windows/parts/Up.cpp": '#include "windows/UGlowny.h"\n'},
     "windows/parts/Up.cpp:1: includes windows/UGlowny.h, but windows/parts may not include windows"),
    ("a header beside the file, named without its folder", {"files/Up.cpp": '#include "../core/AppState.h"\n'},
     "files/Up.cpp:1: includes core/AppState.h, but files may not include core"),
    ("core uses a widget", {"core/Shows.cpp": "#include <QString>\n#include <QLabel>\n"},
     "core/Shows.cpp:2: includes <QLabel>: a core folder uses no widgets"),
    ("core uses a widget by module", {"core/Shows.cpp": "#include <QtWidgets/QDialog>\n"},
     "core/Shows.cpp:1: includes <QtWidgets/QDialog>"),
    ("a folder the table does not name", {"misc/Stray.cpp": "int x;\n"},
     "misc/Stray.cpp: lies in a folder the table does not name"),
    ("a core folder builds into the windows' library",
     {"core/CMakeLists.txt": "target_sources(tabulon_gui PRIVATE AppState.h)\n"},
     "core/CMakeLists.txt:1: a core folder names the windows' library"),
]


def plant(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)


def run(root):
    done = subprocess.run([sys.executable, SCRIPT, "--root", root], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, timeout=60)
    return done.returncode, done.stdout.decode("utf-8", "replace")


def main():
    failures = []
    for name, added, expected in CASES:
        root = tempfile.mkdtemp(prefix="check-layers-")
        try:
            os.makedirs(os.path.join(root, "docs"))
            shutil.copy(TABLE, os.path.join(root, "docs", "ARCHITECTURE.md"))
            plant(root, dict(CLEAN, **added))
            code, out = run(root)
            if expected is None and code != 0:
                failures.append("%s: should pass, got %d:\n%s" % (name, code, out))
            if expected is not None and (code != 1 or expected not in out):
                failures.append("%s: should fail with %r, got %d:\n%s" % (name, expected, code, out))
        finally:
            shutil.rmtree(root)

    # A table whose folders include each other in a circle is refused itself.
    root = tempfile.mkdtemp(prefix="check-layers-")
    try:
        with open(TABLE, encoding="utf-8") as f:
            table = f.read()
        start = table.index("| `files/` | core |")
        end = table.index("\n", start)
        table = table[:start] + "| `files/` | core | the files | `core/` |" + table[end:]
        os.makedirs(os.path.join(root, "docs"))
        with open(os.path.join(root, "docs", "ARCHITECTURE.md"), "w", encoding="utf-8") as f:
            f.write(table)
        plant(root, CLEAN)
        code, out = run(root)
        if code != 1 or "include each other in a circle" not in out:
            failures.append("a circle in the table: should fail, got %d:\n%s" % (code, out))
    finally:
        shutil.rmtree(root)

    for failure in failures:
        print("FAIL: " + failure)
    print("%d of %d cases as expected" % (len(CASES) + 1 - len(failures), len(CASES) + 1))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
