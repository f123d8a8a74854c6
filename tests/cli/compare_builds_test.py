#!/usr/bin/env python3
"""scripts/compare-builds run with the built drennix-cli as OLD and, as NEW,
small wrappers around the same executable that change one thing it does.
A change of what a run gives must count as a difference; a change outside
the compared part of the report must not.

Usage: compare_builds_test.py DRENNIX_CLI
"""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "compare-builds"
CLI = None  # from the command line

# Name, the wrapper's body ($CLI is the real executable, "$@" its arguments),
# and the detail the comparison must report (None: no difference at all).
WRAPPERS = [
    ("unchanged", 'exec "$CLI" "$@"', None),
    ("another report key", '"$CLI" "$@" | sed \'1s/^{$/{ "version": "2",/\'; exit ${PIPESTATUS[0]}', None),
    ("one byte of a new program",
     'before=$(ls -A); "$CLI" "$@"; s=$?\n'
     'for f in *; do case "$before" in *"$f"*) ;; *) [ -f "$f" ] && [ "$(stat -c %s "$f")" -gt 99 ] &&'
     ' printf Q | dd of="$f" bs=1 seek=99 conv=notrunc status=none ;; esac; done\nexit $s',
     "bytes differ from offset 99"),
    ("a file left behind", '"$CLI" "$@"; s=$?; : > stray.txt; exit $s', ": files"),
    ("standard error", '"$CLI" "$@"; s=$?; echo more >&2; exit $s', ": stderr"),
    ("a message", '"$CLI" "$@" | sed "s/しました。/しました/"; exit ${PIPESTATUS[0]}', "report.messages"),
    ("a row", '"$CLI" "$@" | sed "s/開始位置/開始/"; exit ${PIPESTATUS[0]}', "report.rows"),
    ("the exit status", '"$CLI" "$@"; s=$?; [ $s = 1 ] && exit 3; exit $s', ": exit status"),
]

# Absolute and relative source paths, every mode, a new program, an existing one.
PROGRAMS = ["examples/*", "builtin/created", "builtin/output_exists"]


class CompareBuilds(unittest.TestCase):
    def test_each_change_is_found_and_nothing_else(self):
        with tempfile.TemporaryDirectory() as folder:
            for name, body, detail in WRAPPERS:
                with self.subTest(name):
                    wrapper = Path(folder) / "wrapper"
                    wrapper.write_text(f'#!/bin/bash\nCLI="{CLI}"\n{body}\n')
                    wrapper.chmod(0o755)
                    args = [sys.executable, str(SCRIPT), "--generated", "0", "--corpus", str(Path(folder) / "absent"),
                            "--show", "100", CLI, str(wrapper)]
                    for pattern in PROGRAMS:
                        args[2:2] = ["--only", pattern]
                    done = subprocess.run(args, capture_output=True, text=True)
                    self.assertIn("programs: 5 ", done.stdout)
                    self.assertIn("runs: 20 ", done.stdout)
                    if detail is None:
                        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                        self.assertIn("differences: 0 in 0 runs", done.stdout)
                    else:
                        self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
                        self.assertNotIn("differences: 0 ", done.stdout)
                        self.assertIn(detail, done.stdout)


if __name__ == "__main__":
    CLI = str(Path(sys.argv.pop(1)).resolve())
    unittest.main()
