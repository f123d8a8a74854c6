#!/usr/bin/env python3
"""The canned cycles and dwells of the programs under tests/data/cycles read
by LinuxCNC's own interpreter (rs274, Debian package linuxcnc-uspace) and by
drennix-cli --dialect linuxcnc: every move's kind and end point, in order,
the dwells at the bottom of the holes, and the cutting distance agree.

Optional: without rs274 the test is skipped (exit status 77).

Usage: rs274_cycles_test.py DRENNIX_CLI
"""

import json
import math
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

PROGRAMS = Path(__file__).resolve().parents[1] / "data" / "cycles"
CANON = re.compile(r"(STRAIGHT_TRAVERSE|STRAIGHT_FEED|DWELL)\(([^)]*)\)")
# rs274 prints four decimals; drennix-cli's moves are the exact doubles.
CLOSE = 0.00005


def rs274_moves(rs274, program, scratch):
    """The moves rs274 makes: (kind, end, dwell after it), and its errors."""
    tools = scratch / "tools.tbl"
    tools.write_text("T1 P1 D0\n")
    run = subprocess.run([rs274, "-g", "-t", str(tools), str(program)], capture_output=True, text=True,
                         timeout=120)
    moves = []
    for line in run.stdout.splitlines():
        match = CANON.search(line)
        if not match:
            continue
        values = [float(v) for v in match.group(2).split(",")]
        if match.group(1) == "DWELL":
            if moves:
                moves[-1][2] += values[0]
            continue
        kind = "rapid" if match.group(1) == "STRAIGHT_TRAVERSE" else "linear"
        moves.append([kind, values[:3], 0.0])
    errors = [line for line in run.stdout.splitlines() + run.stderr.splitlines()
              if "rror" in line or "missing" in line or "not turning" in line]
    return moves, errors


def drennix_moves(cli, program, scratch):
    """The moves of drennix-cli's moves file, and its cutting distance."""
    moves_file = scratch / (program.stem + ".moves")
    run = subprocess.run([cli, "--json", "--dialect", "linuxcnc", "--moves", str(moves_file), str(program)],
                         capture_output=True, text=True, timeout=120)
    report = json.loads(run.stdout)
    moves = []
    for line in moves_file.read_text().splitlines():
        move = json.loads(line)
        moves.append([move["kind"], move["end"], move.get("dwell", 0.0)])
    return moves, report


def without_standing_moves(moves, start=(0.0, 0.0, 0.0)):
    """Moves that go somewhere: a move to where the tool stands is no move
    of either side's (its dwell goes to the move before)."""
    kept = []
    position = list(start)
    for kind, end, dwell in moves:
        if all(abs(a - b) <= CLOSE for a, b in zip(end, position)):
            if kept:
                kept[-1][2] += dwell
            continue
        kept.append([kind, end, dwell])
        position = end
    return kept


def cutting_distance(moves, start=(0.0, 0.0, 0.0)):
    total = 0.0
    position = start
    for kind, end, _ in moves:
        if kind == "linear":
            total += math.dist(position, end)
        position = end
    return total


def compare(cli, rs274, program, scratch):
    problems = []
    theirs, errors = rs274_moves(rs274, program, scratch)
    if errors:
        return [f"{program.name}: rs274: {errors[0]}"]
    ours, report = drennix_moves(cli, program, scratch)
    if report["messages"][-1]["kind"] != "information":
        return [f"{program.name}: drennix-cli: {report['messages'][-1]['text']}"]
    theirs = without_standing_moves(theirs)
    ours = without_standing_moves(ours)
    if len(theirs) != len(ours):
        problems.append(f"{program.name}: rs274 makes {len(theirs)} moves, drennix-cli {len(ours)}")
    for index, (a, b) in enumerate(zip(theirs, ours)):
        same_end = all(abs(x - y) <= CLOSE for x, y in zip(a[1], b[1]))
        # The dwell at a hole's bottom comes after a move at the feed; a G4
        # of its own is no part of a move in the moves file.
        same_dwell = a[0] != "linear" or abs(a[2] - b[2]) <= CLOSE
        if a[0] != b[0] or not same_end or not same_dwell:
            problems.append(f"{program.name}: move {index + 1}: rs274 {a}, drennix-cli {b}")
            break
    distance = float(report["fields"]["cuttingDistance"])
    if abs(distance - cutting_distance(theirs)) > 0.0005:
        problems.append(f"{program.name}: cutting distance {distance} against rs274's {cutting_distance(theirs):.4f}")
    print(f"{program.name}: {len(theirs)} moves compared")
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    rs274 = shutil.which("rs274")
    if rs274 is None:
        print("rs274 (LinuxCNC) is not installed: skipped (apt-get install linuxcnc-uspace)")
        return 77
    problems = []
    with tempfile.TemporaryDirectory(prefix="drennix-rs274-") as folder:
        for program in sorted(PROGRAMS.glob("*.ngc")):
            problems += compare(sys.argv[1], rs274, program, Path(folder))
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
