#!/usr/bin/env python3
"""scripts/compare-linuxcnc: the copy rs274 reads, its canonical calls read
back into program coordinates, the matching of the line runs, and whole runs
with stand-ins for rs274 and drennix-cli (and with the real ones where they
are there: rs274 from linuxcnc-uspace, drennix-cli as the argument).

Usage: compare_linuxcnc_test.py [DRENNIX_CLI]
"""

import importlib.machinery
import importlib.util
import json
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "compare-linuxcnc"
CLI = None  # from the command line, if given


def load_script():
    loader = importlib.machinery.SourceFileLoader("compare_linuxcnc", str(SCRIPT))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module


cl = load_script()


def canon(*calls):
    """rs274's standard output for the calls given as (line or None, call)."""
    return "".join("%5d N%-5s %s\n" % (count, line if line else ".....", call)
                   for count, (line, call) in enumerate(calls, start=1))


def trace(*runs):
    t = cl.Trace()
    for line, position in runs:
        t.add(line, position)
    return t


class NumberedCopy(unittest.TestCase):
    def test_every_line_gets_its_number_and_loses_its_own(self):
        source = b"%\r\nN10 G0 X1\r\n n 2 0 G1 X2\n/N30 G0 Y1\n  / G0 Y2\n(note)\n\nG0 X1\rY2\nM2"
        self.assertEqual(cl.numbered(source),
                         b"%\r\nN2 G0 X1\r\n N3 G1 X2\n/N4 G0 Y1\n  /N5 G0 Y2\nN6 (note)\nN7 \nN8 G0 X1\rY2\nN9 M2")

    def test_a_final_line_end_adds_no_line(self):
        self.assertEqual(cl.split_lines(b"G0 X1\nM2\n"), [b"G0 X1\n", b"M2\n"])
        self.assertEqual(cl.numbered(b"G0 X1\nM2\n"), b"N1 G0 X1\nN2 M2\n")

    def test_tool_table_holds_the_named_tools_at_size_zero(self):
        with tempfile.TemporaryDirectory() as folder:
            table = Path(folder) / "tools.tbl"
            cl.tool_table(b"T150 M6\nG43 H 151\nG41.1 D250.5\nG41 D152\n", table)
            rows = table.read_text().splitlines()
        self.assertIn("T150 P100 D0 Z0", rows)
        self.assertTrue(any(row.startswith("T151 ") for row in rows))
        self.assertTrue(any(row.startswith("T152 ") for row in rows))
        self.assertFalse(any(row.startswith("T250 ") for row in rows))  # a diameter, not a tool
        self.assertEqual(len(rows), 99 + 3)


class CanonicalCalls(unittest.TestCase):
    def test_moves_and_arcs_in_each_plane(self):
        t = cl.read_canon(canon(
            (None, "STRAIGHT_TRAVERSE(9.0000, 9.0000, 9.0000, 0.0000, 0.0000, 0.0000)"),
            (2, "STRAIGHT_TRAVERSE(1.0000, 2.0000, 3.0000, 0.0000, 0.0000, 0.0000)"),
            (3, "SELECT_PLANE(CANON_PLANE_XZ)"),
            (4, "ARC_FEED(5.0000, 6.0000, 1.0000, 1.0000, -1, 7.0000, 0.0000, 0.0000, 0.0000)"),
            (5, "SELECT_PLANE(CANON_PLANE_YZ)"),
            (6, "ARC_FEED(5.0000, 6.0000, 1.0000, 1.0000, 1, 7.0000, 0.0000, 0.0000, 0.0000)"),
            (7, "SELECT_PLANE(CANON_PLANE_XY)"),
            (8, "ARC_FEED(5.0000, 6.0000, 1.0000, 1.0000, 1, 7.0000, 0.0000, 0.0000, 0.0000)"),
            (123456, "STRAIGHT_FEED(1.5000, -2.5000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        self.assertEqual([run[:2] for run in t.runs], [[2, (1, 2, 3)], [4, (6, 7, 5)], [6, (7, 5, 6)], [8, (5, 6, 7)],
                                                       [123456, (1.5, -2.5, 0)]])

    def test_offsets_and_units_move_where_the_tool_stands(self):
        t = cl.read_canon(canon(
            (1, "STRAIGHT_TRAVERSE(30.0000, 20.0000, 10.0000, 0.0000, 0.0000, 0.0000)"),
            (2, "SET_G92_OFFSET(30.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
            (3, "SET_G5X_OFFSET(2, 0.0000, 10.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
            (4, "USE_LENGTH_UNITS(CANON_UNITS_INCHES)"),
            (5, "USE_TOOL_LENGTH_OFFSET(0.0000 0.0000 0.1000, 0.0000 0.0000 0.0000, 0.0000 0.0000 0.0000)"),
            (6, "RIGID_TAP(1.0000, 1.0000, -1.0000, 1.0000)")))
        # The tap ends where it began: 30 mm in X and 10 mm in Y off, in inches, less the tool's length.
        # The offsets' lines tell where the tool stands; only the moves are compared.
        self.assertEqual([(line, moved) for line, _, moved in t.runs], [(1, True), (2, False), (3, False), (5, False),
                                                                         (6, True)])
        for got, want in zip(t.runs[-1][1], (0.0, 10 / 25.4, 10 / 25.4 - 0.1)):
            self.assertAlmostEqual(got, want, places=9)

    def test_an_offset_on_the_system_in_force_moves_where_the_other_side_is_held(self):
        # G10 L2 on the system in force (line 2) shifts the position; a G55
        # that re-selects it (line 3) moves only in drennix-cli, and is held
        # against where rs274 stands after the shift.
        peer = cl.read_canon(canon(
            (1, "STRAIGHT_TRAVERSE(1.0000, 1.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
            (2, "SET_G5X_OFFSET(2, 0.0000, -101.6000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        ours = cl.read_moves('{"line": 1, "end": [1, 1, 0]}\n{"line": 3, "end": [1, 102.6, 0]}\n')
        compared, agreeing, one_sided, disagreements = cl.compare(peer, ours, 1e-4)
        self.assertEqual((compared, agreeing, one_sided, disagreements), (2, 2, 1, []))

    def test_a_line_that_runs_twice_in_a_row_keeps_its_last_position(self):
        t = cl.read_canon(canon((4, "STRAIGHT_FEED(1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
                                (4, "STRAIGHT_FEED(2.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
                                (5, "STRAIGHT_FEED(3.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
                                (4, "STRAIGHT_FEED(4.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        self.assertEqual([(line, p[0]) for line, p, _ in t.runs], [(4, 2), (5, 3), (4, 4)])

    def test_error_gives_the_message_and_the_line_of_the_copy(self):
        self.assertEqual(cl.read_rs274_error("executing\nCannot do g1 with zero feed rate\nN12 G1 X2\n"),
                         ("Cannot do g1 with zero feed rate", 12))
        self.assertEqual(cl.read_rs274_error("executing\nbad\n"), ("bad", None))


class Matching(unittest.TestCase):
    def test_equal_runs_agree_within_the_tolerance_only(self):
        peer = trace((1, (1.0, 2.0, 3.0)), (2, (4.0, 5.0, 6.0)))
        ours = trace((1, (1.00009, 2.0, 3.0)), (2, (4.0, 5.0, 6.0002)))
        compared, agreeing, one_sided, disagreements = cl.compare(peer, ours, 1e-4)
        self.assertEqual((compared, agreeing, one_sided), (2, 1, 0))
        self.assertEqual(disagreements, [(2, (4.0, 5.0, 6.0), (4.0, 5.0, 6.0002), "both")])

    def test_a_line_only_one_of_them_moves_on_is_held_against_where_the_other_stands(self):
        peer = trace((1, (1.0, 0.0, 0.0)), (3, (3.0, 0.0, 0.0)), (9, (0.0, 0.0, 0.0)))
        ours = trace((1, (1.0, 0.0, 0.0)), (2, (1.0, 0.0, 0.0)), (3, (3.0, 0.0, 0.0)))
        compared, agreeing, one_sided, disagreements = cl.compare(peer, ours, 1e-4)
        self.assertEqual((compared, agreeing, one_sided), (4, 3, 2))
        self.assertEqual(disagreements, [(9, (0.0, 0.0, 0.0), (3.0, 0.0, 0.0), "rs274")])

    def test_a_subroutine_is_compared_each_time_it_runs(self):
        peer = trace((10, (1.0, 0, 0)), (2, (5.0, 0, 0)), (11, (1.0, 1, 0)), (2, (5.0, 1, 0)))
        ours = trace((10, (1.0, 0, 0)), (2, (5.0, 0, 0)), (11, (1.0, 1, 0)), (2, (5.0, 2, 0)))
        compared, agreeing, one_sided, disagreements = cl.compare(peer, ours, 1e-4)
        self.assertEqual((compared, agreeing, one_sided), (4, 3, 0))
        self.assertEqual(disagreements[0][:3], (2, (5.0, 1, 0), (5.0, 2, 0)))

    def test_up_to_leaves_out_the_line_rs274_stopped_on_and_all_after(self):
        peer = trace((1, (1.0, 0, 0)))
        ours = trace((1, (1.0, 0, 0)), (2, (7.0, 0, 0)), (3, (8.0, 0, 0)))
        self.assertEqual(cl.compare(peer, ours, 1e-4, up_to=2)[:3], (1, 1, 0))


STAND_IN_RS274 = """#!/bin/sh
cat "$STAND_IN_DIR/rs274.out"
if [ -f "$STAND_IN_DIR/rs274.err" ]; then cat "$STAND_IN_DIR/rs274.err" >&2; exit 1; fi
"""

STAND_IN_DRENNIX = """#!{python}
import json, os, sys
folder = os.environ["STAND_IN_DIR"]
open(os.path.join(folder, "drennix.args"), "w").write(json.dumps(sys.argv[1:]))
refusal = os.path.join(folder, "drennix.refusal")
if os.path.exists(refusal):
    print(json.dumps({{"messages": [{{"kind": "warning", "text": open(refusal).read()}}]}}))
    sys.exit(1)
moves = sys.argv[sys.argv.index("--moves") + 1]
with open(moves, "w") as out:
    out.write(open(os.path.join(folder, "drennix.moves")).read())
print(json.dumps({{"messages": [{{"kind": "information", "text": "ok"}}]}}))
"""


class WholeRuns(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="compare-linuxcnc-test-"))
        self.addCleanup(shutil.rmtree, self.folder)
        self.rs274 = self.folder / "rs274"
        self.rs274.write_text(STAND_IN_RS274)
        self.drennix = self.folder / "drennix-cli"
        self.drennix.write_text(STAND_IN_DRENNIX.format(python=sys.executable))
        for tool in (self.rs274, self.drennix):
            tool.chmod(0o755)
        self.programs = self.folder / "programs"
        self.programs.mkdir()
        (self.programs / "a.ngc").write_text("G0 X1\nG1 X2 F100\nM2\n")
        (self.programs / "notes.md").write_text("not a program\n")

    def run_script(self, *extra):
        environment = {"STAND_IN_DIR": str(self.folder), "PATH": "/usr/bin:/bin", "PYTHONIOENCODING": "utf-8"}
        return subprocess.run([sys.executable, str(SCRIPT), "--rs274", str(self.rs274), "--drennix",
                               str(self.drennix), *extra, str(self.programs)],
                              capture_output=True, encoding="utf-8", env=environment)

    def moves(self, *runs):
        (self.folder / "drennix.moves").write_text(
            "".join(json.dumps({"line": line, "kind": "rapid", "end": end}) + "\n" for line, end in runs))

    def test_disagreement_is_listed_with_both_positions_and_counted(self):
        (self.folder / "rs274.out").write_text(canon(
            (1, "STRAIGHT_TRAVERSE(1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
            (2, "STRAIGHT_FEED(2.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        self.moves((1, [1.0, 0.0, 0.0]), (2, [2.5, 0.0, 0.0]), (3, [2.5, 0.0, 0.0]))
        done = self.run_script("--set", "name=1", "--drennix-args", "--estimate -x 0")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("a.ngc: 3 lines compared, 1 agree (1 moved in one of them only)", done.stdout)
        self.assertIn("line 2: rs274 (2.0000, 0.0000, 0.0000), drennix (2.5000, 0.0000, 0.0000)   G1 X2 F100",
                      done.stdout)
        self.assertIn("total: 1 of 1 programs compared (0 only up to where rs274 stopped), 3 lines compared, "
                      "1 agree", done.stdout)
        arguments = json.loads((self.folder / "drennix.args").read_text())
        self.assertEqual(arguments[:5], ["--json", "--dialect", "linuxcnc", "--set", "name=1"])
        self.assertEqual(arguments[5:8], ["--estimate", "-x", "0"])

    def test_refusals_are_reported_with_their_lines(self):
        (self.folder / "rs274.out").write_text(canon(
            (1, "STRAIGHT_TRAVERSE(1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        (self.folder / "rs274.err").write_text("executing\nCannot do g1 with zero feed rate\nN2 G1 X2 F100\n")
        self.moves((1, [1.0, 0.0, 0.0]), (2, [9.0, 0.0, 0.0]))
        done = self.run_script()
        self.assertIn("a.ngc: rs274 refuses: Cannot do g1 with zero feed rate (line 2: G1 X2 F100)", done.stdout)
        self.assertIn("a.ngc: 1 lines compared, 1 agree (up to line 2)", done.stdout)
        (self.folder / "drennix.refusal").write_text("元ﾌｧｲﾙの2行目の 何か\n\u3000変換はしていません。")
        done = self.run_script()
        self.assertIn("a.ngc: drennix refuses at line 2: 元ﾌｧｲﾙの2行目の 何か\n", done.stdout)
        self.assertIn("total: 0 of 1 programs compared", done.stdout)
        self.assertIn("rs274 refused 1, drennix refused 1", done.stdout)
        self.assertEqual(done.returncode, 0)

    def test_a_program_without_its_end_is_compared_whole(self):
        (self.folder / "rs274.out").write_text(canon(
            (1, "STRAIGHT_TRAVERSE(1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)"),
            (2, "STRAIGHT_FEED(2.0000, 0.0000, 0.0000, 0.0000, 0.0000, 0.0000)")))
        (self.folder / "rs274.err").write_text(
            "executing\nFile ended with no percent sign or program end\nN2 G1 X2 F100\n")
        self.moves((1, [1.0, 0.0, 0.0]), (2, [2.0, 0.0, 0.0]))
        done = self.run_script()
        self.assertNotIn("rs274 refuses", done.stdout)
        self.assertIn("a.ngc: 2 lines compared, 2 agree (no program end for rs274)", done.stdout)

    def test_without_rs274_or_programs_it_says_so_and_ends_well(self):
        done = subprocess.run([sys.executable, str(SCRIPT), "--drennix", str(self.drennix), str(self.programs)],
                              capture_output=True, text=True, env={"PATH": str(self.folder / "none")})
        self.assertEqual(done.returncode, 0)
        self.assertIn("no rs274", done.stdout)
        done = subprocess.run([sys.executable, str(SCRIPT), "--rs274", str(self.rs274), "--drennix",
                               str(self.drennix), str(self.folder / "absent")], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0)
        self.assertIn("no programs", done.stdout)

    def test_a_missing_drennix_is_the_scripts_own_failure(self):
        done = subprocess.run([sys.executable, str(SCRIPT), "--rs274", str(self.rs274), "--drennix",
                               str(self.folder / "absent"), str(self.programs)], capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("no drennix-cli", done.stderr)


@unittest.skipUnless(shutil.which("rs274"), "rs274 (linuxcnc-uspace) is not installed")
class RealRs274(unittest.TestCase):
    PROGRAM = ("%\n"
               "N100 G21 G90 F100\n"
               "o10 sub\n"
               "  G91 G1 X1\n"
               "  G90\n"
               "o10 endsub\n"
               "/N5 G0 X5 Y1\n"
               "o10 call\n"
               "G92 X0 Y0 Z0\n"
               "G20\n"
               "G18 G2 X1 Z0 I0.5 K0\n"
               "o10 call\n"
               "M2\n"
               "%\n")

    def test_each_move_comes_back_with_its_source_line(self):
        with tempfile.TemporaryDirectory() as folder:
            program = Path(folder) / "p.ngc"
            program.write_text(self.PROGRAM)
            options = cl.parse_options(["--drennix", "unused"])
            options.rs274 = shutil.which("rs274")
            result = cl.run_rs274(options, program, program.read_bytes(), Path(folder))
        self.assertIsNone(result.refusal)
        got = [(line, tuple(round(v, 4) for v in position)) for line, position, moved in result.runs if moved]
        self.assertEqual(got, [(7, (5.0, 1.0, 0.0)), (4, (6.0, 1.0, 0.0)),
                               (11, (1.0, 0.0, 0.0)), (4, (2.0, 0.0, 0.0))])
        # The coordinate set of line 9 tells where the tool stands.
        self.assertIn((9, (0.0, 0.0, 0.0)), [(line, tuple(round(v, 4) for v in p)) for line, p, _ in result.runs])

    def test_a_plain_program_agrees_line_by_line(self):
        if not CLI:
            self.skipTest("no drennix-cli given")
        with tempfile.TemporaryDirectory() as folder:
            program = Path(folder) / "plain.ngc"
            program.write_text("G21 G90 G17 F300\nG0 X10 Y5 Z2\nG1 Z-1\nG2 X20 Y5 I5 J0\nG3 X10 Y5 R5\n"
                               "G91 G1 X-2 Y-2\nG90 G0 Z5\nM2\n")
            done = subprocess.run([sys.executable, str(SCRIPT), "--drennix", CLI, str(program)],
                                  capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("plain.ngc: 6 lines compared, 6 agree", done.stdout)


if __name__ == "__main__":
    if len(sys.argv) > 1:
        CLI = str(Path(sys.argv.pop(1)).resolve())
    unittest.main()
