#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times lumara as a whole process beside `cat FILE > /dev/null` in one run
and prints each case against its target: wall-clock medians of repeated,
interleaved runs on a warm page cache, peak memory from /usr/bin/time.

Standard library only. bench/cli_run.sh builds the programs and calls this.
"""

import argparse
import random
import statistics
import subprocess
import sys
import time
from pathlib import Path

DEFAULT_STARS = 1_000_000
DEFAULT_REPETITIONS = 9
DEFAULT_DIR = "/tmp/lumara-bench"
DEFAULT_SEED = 1
KIB_PER_MIB = 1024
MS_PER_S = 1000.0

# A search with a few thousand matches among a million generated stars.
FEW_MATCHES = ["--ra", "5..5", "--dec", "10..30"]
FEW_OVER_CAT = 3.0
FEW_PEAK_MIB = 16.0
EVERY_OVER_CAT = 8.0
# The night's stars and a sort, each against the search of every star.
TONIGHT = ["--lat", "52.37", "--lon", "4.90", "--tz", "Europe/Amsterdam", "--night", "2026-12-08"]
TONIGHT_OVER_SEARCH = 4.0
SORTED_OVER_SEARCH = 3.0
EVERY = "search, every star, CSV"


def timed(command):
    """Wall-clock seconds, CPU seconds and peak resident KiB of one run."""
    wrapped = ["/usr/bin/time", "-f", "%U %S %M", "--"] + command
    start = time.perf_counter()
    done = subprocess.run(wrapped, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                          check=True)
    wall = time.perf_counter() - start
    user, system, peak = done.stderr.strip().splitlines()[-1].split()
    return wall, float(user) + float(system), int(peak)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=Path, default=Path("build-bench"))
    parser.add_argument("--stars", type=int, default=DEFAULT_STARS)
    parser.add_argument("--repetitions", type=int, default=DEFAULT_REPETITIONS)
    parser.add_argument("--dir", type=Path, default=Path(DEFAULT_DIR))
    arguments = parser.parse_args()

    lumara = str(arguments.build / "cli" / "lumara")
    arguments.dir.mkdir(parents=True, exist_ok=True)
    catalogue = arguments.dir / f"cli-{arguments.stars}.txt"
    if not catalogue.exists():
        subprocess.run([str(arguments.build / "tools" / "make_catalogue"), "--stars",
                        str(arguments.stars), "--seed", str(DEFAULT_SEED), "--output",
                        str(catalogue)], check=True)
    matches = subprocess.run([lumara, "search", str(catalogue), *FEW_MATCHES, "--count"],
                             capture_output=True, text=True, check=True).stdout.strip()

    cases = {
        "cat": ["cat", str(catalogue)],
        "search, few matches, CSV": [lumara, "search", str(catalogue), *FEW_MATCHES],
        EVERY: [lumara, "search", str(catalogue)],
        "search, every star, --sort max": [lumara, "search", str(catalogue), "--sort", "max"],
        "tonight, every star": [lumara, "tonight", str(catalogue), *TONIGHT],
        "search, every star, --count": [lumara, "search", str(catalogue), "--count"],
        "convert": [lumara, "convert", str(catalogue), "-o", "-"],
    }
    # Warm the page cache, then let the cases take turns so that a busy
    # moment of the machine falls on all of them alike.
    timed(cases["cat"])
    runs = {name: [] for name in cases}
    for _ in range(arguments.repetitions):
        order = list(cases)
        random.shuffle(order)
        for name in order:
            runs[name].append(timed(cases[name]))

    def median(name, index):
        return statistics.median(run[index] for run in runs[name])

    cat = median("cat", 0)
    print(f"{arguments.stars} stars, {catalogue.stat().st_size / 1e6:.1f} MB, "
          f"{matches} few matches; medians of {arguments.repetitions} runs")
    print(f"{'Case':32} {'wall':>9} {'x cat':>7} {'CPU':>9} {'peak':>9}  target")
    verdicts = []
    for name in cases:
        wall = median(name, 0)
        cpu = median(name, 1)
        peak = max(run[2] for run in runs[name]) / KIB_PER_MIB
        target = ""
        if name == "search, few matches, CSV":
            ok = wall <= FEW_OVER_CAT * cat and peak <= FEW_PEAK_MIB
            target = f"<= {FEW_OVER_CAT:g} x cat, <= {FEW_PEAK_MIB:g} MiB"
            verdicts.append(ok)
        elif name == EVERY:
            ok = wall <= EVERY_OVER_CAT * cat
            target = f"<= {EVERY_OVER_CAT:g} x cat"
            verdicts.append(ok)
        elif name == "search, every star, --sort max":
            ok = wall <= SORTED_OVER_SEARCH * median(EVERY, 0)
            target = f"<= {SORTED_OVER_SEARCH:g} x search ({wall / median(EVERY, 0):.2f} x)"
            verdicts.append(ok)
        elif name == "tonight, every star":
            ok = wall <= TONIGHT_OVER_SEARCH * median(EVERY, 0)
            target = f"<= {TONIGHT_OVER_SEARCH:g} x search ({wall / median(EVERY, 0):.2f} x)"
            verdicts.append(ok)
        if target:
            target += "  " + ("PASS" if verdicts[-1] else "MISS")
        print(f"{name:32} {wall * MS_PER_S:7.1f}ms {wall / cat:6.2f}x {cpu * MS_PER_S:7.0f}ms "
              f"{peak:6.1f}MiB  {target}")
    return 0 if all(verdicts) else 1


if __name__ == "__main__":
    sys.exit(main())
