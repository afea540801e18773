#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the catalogue benchmarks once and prints every operation against its
target: medians of repeated runs, each bound computed from floors measured in
the same run.

Standard library only. bench/run.sh builds the programs and calls this.
"""

import argparse
import json
import os
import subprocess
import sys
from pathlib import Path

DEFAULT_STARS = [100_000, 1_000_000]
# The catalogue size the targets are set for; verdicts at other sizes are
# printed for reference and counted apart.
TARGET_STARS = 1_000_000
DEFAULT_REPETITIONS = 5
DEFAULT_MIN_SECONDS = 0.5
DEFAULT_DIR = "/tmp/lumara-bench"
NS_PER_MS = 1e6
BYTES_PER_MIB = 1 << 20
TIME_UNITS_IN_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

# The targets, as ratios to floors of the same run.
LOAD_OVER_READ_AND_TOUCH = 1.3
FEW_MATCHES_NS_PER_STAR = 20.0
LIST_EVERY_OVER_TOUCH = 1.5
LIST_EVERY_NS_PER_STAR = 20.0
CSV_OVER_WRITE = 3.0
TXT_OVER_WRITE = 1.5
MEMORY_OVER_DATA = 1.15
WINDOW_OVER_SEARCH = 2.0
WINDOW_EXTRA_MS = 50.0
TONIGHT_OVER_PLAIN = 2.0
TONIGHT_EXTRA_MS = 50.0
SORT_ROWS_OVER_SEARCH = 2.0
SORT_ROWS_EXTRA_MS = 100.0
SORT_WHOLE_OVER_SEARCH = 4.0
TYPE_OVER_SEARCH = 1.3
NAME_OVER_SEARCH = 2.0
EVENTS_OVER_TONIGHT = 2.0


def run_suite(build, stars, repetitions, min_time, folder):
    results = folder / "catalog_bench.json"
    log = folder / "catalog_bench.log"
    command = [
        str(build / "bench" / "catalog_bench"),
        "--stars=" + ",".join(map(str, stars)),
        f"--dir={folder}",
        f"--benchmark_repetitions={repetitions}",
        f"--benchmark_min_time={min_time}",
        "--benchmark_report_aggregates_only=true",
        # Repetitions of different benchmarks take turns, so that a burst of
        # load on the machine falls on operations and floors alike.
        "--benchmark_enable_random_interleaving=true",
        f"--benchmark_out={results}",
        "--benchmark_out_format=json",
    ]
    print("$", " ".join(command), file=sys.stderr)
    with open(log, "w") as output:
        subprocess.run(command, stdout=output, check=True)
    # A single repetition has no aggregates: its one run is its median.
    wanted = "median" if repetitions > 1 else None
    medians = {}
    for entry in json.loads(results.read_text())["benchmarks"]:
        if entry.get("aggregate_name") != wanted:
            continue
        operation, count = entry["run_name"].split("/")[:2]
        scale = TIME_UNITS_IN_MS[entry["time_unit"]]
        medians[(operation, int(count))] = (entry["real_time"] * scale,
                                            entry["cpu_time"] * scale)
    return medians, log


def run_peak_memory(build, stars, folder):
    command = [str(build / "bench" / "peak_memory"), f"--stars={stars}",
               f"--dir={folder}"]
    print("$", " ".join(command), file=sys.stderr)
    done = subprocess.run(command, capture_output=True, text=True, check=True)
    return json.loads(done.stdout)


def run_window(build, stars, folder):
    """The window's figures, or None when the window was not built."""
    program = build / "bench" / "window_timing"
    if not program.exists():
        return None
    command = [str(program), f"--stars={stars}", f"--dir={folder}"]
    print("$", " ".join(command), file=sys.stderr)
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run(command, capture_output=True, text=True, check=True,
                          env=environment)
    return json.loads(done.stdout)


class Table:
    def __init__(self):
        self.rows = []
        self.misses = 0

    def add(self, operation, real, cpu, measured, target, passed=None):
        verdict = "" if passed is None else ("PASS" if passed else "MISS")
        self.misses += passed is False
        cpu_text = "" if cpu is None else f"{cpu:.2f}"
        self.rows.append((operation, real, cpu_text, measured, target, verdict))

    def print(self, title):
        header = ("operation", "median ms", "cpu ms", "measured", "target", "")
        widths = [max(len(str(row[i])) for row in self.rows + [header])
                  for i in range(len(header))]
        print(f"\n{title}")
        for row in [header] + self.rows:
            print("  ".join(str(cell).ljust(width)
                            for cell, width in zip(row, widths)).rstrip())


def judge(stars, medians, memory, window):
    def time(operation):
        return medians[(operation, stars)]

    def ms(value):
        return f"{value:.2f}"

    table = Table()
    for floor in ("ReadFloor", "TouchFloorRecords", "TouchFloorNodes", "WriteFloorCsv",
                  "WriteFloorTxt", "WriteFloorCsvSynced", "WriteFloorTxtSynced",
                  "WriteFloorCsvStreamedSynced", "WriteFloorTxtStreamedSynced"):
        real, cpu = time(floor)
        table.add(floor, ms(real), cpu, "floor", "")

    read, touch_records = time("ReadFloor")[0], time("TouchFloorRecords")[0]
    real, cpu = time("LoadCatalog")
    ratio = real / (read + touch_records)
    table.add("LoadCatalog", ms(real), cpu, f"{ratio:.2f} x (read + touch records)",
              f"<= {LOAD_OVER_READ_AND_TOUCH} x", ratio <= LOAD_OVER_READ_AND_TOUCH)

    # A VSX file of as many stars, imported, against reading that file.
    read_vsx = time("ReadFloorVsx")[0]
    table.add("ReadFloorVsx", ms(read_vsx), time("ReadFloorVsx")[1], "floor", "")
    real, cpu = time("ImportVsx")
    ratio = real / (read_vsx + touch_records)
    table.add("ImportVsx", ms(real), cpu, f"{ratio:.2f} x (read VSX + touch records)",
              f"<= {LOAD_OVER_READ_AND_TOUCH} x", ratio <= LOAD_OVER_READ_AND_TOUCH)

    real, cpu = time("SearchFew")
    per_star = real * NS_PER_MS / stars
    table.add("SearchFew", ms(real), cpu, f"{per_star:.1f} ns/star",
              f"<= {FEW_MATCHES_NS_PER_STAR:.0f} ns/star",
              per_star <= FEW_MATCHES_NS_PER_STAR)

    touch_nodes = time("TouchFloorNodes")[0]
    bound = LIST_EVERY_OVER_TOUCH * touch_nodes + LIST_EVERY_NS_PER_STAR * stars / NS_PER_MS
    for operation in ("SearchEvery", "ListAll"):
        real, cpu = time(operation)
        table.add(operation, ms(real), cpu, f"{real / bound:.2f} x bound",
                  f"<= {bound:.2f} ms ({LIST_EVERY_OVER_TOUCH} x touch nodes"
                  f" + {LIST_EVERY_NS_PER_STAR:.0f} ns/star)", real <= bound)

    for operation in ("SearchTenth", "SearchNoLightCurve", "WalkForward", "WalkBackward"):
        real, cpu = time(operation)
        table.add(operation, ms(real), cpu, f"{real * NS_PER_MS / stars:.1f} ns/star", "")

    for operation, floor, limit in (("SaveCsv", "WriteFloorCsv", CSV_OVER_WRITE),
                                    ("SaveTxt", "WriteFloorTxt", TXT_OVER_WRITE)):
        real, cpu = time(operation)
        ratio = real / time(floor)[0]
        synced = real / time(floor + "Synced")[0]
        streamed = real / time(floor + "StreamedSynced")[0]
        table.add(operation, ms(real), cpu,
                  f"{ratio:.2f} x write floor ({synced:.2f} x synced, "
                  f"{streamed:.2f} x streamed synced)", f"<= {limit} x", ratio <= limit)

    # Finding, sorting and the night, each beside the search of every star
    # it narrows, or the events beside the night of the same stars.
    every = time("SearchEvery")[0]
    for operation, limit in (("SearchFamily", TYPE_OVER_SEARCH), ("SearchTypes", TYPE_OVER_SEARCH),
                             ("SearchName", NAME_OVER_SEARCH),
                             ("SortByMagnitude", SORT_WHOLE_OVER_SEARCH),
                             ("SearchTonight", None)):
        real, cpu = time(operation)
        table.add(operation, ms(real), cpu, f"{real / every:.2f} x SearchEvery",
                  f"<= {limit} x" if limit else "(reference)",
                  real / every <= limit if limit else None)
    tonight = time("TonightVsx")[0]
    table.add("TonightVsx", ms(tonight), time("TonightVsx")[1], "reference", "")
    real, cpu = time("EventsVsx")
    table.add("EventsVsx (30 nights)", ms(real), cpu, f"{real / tonight:.2f} x TonightVsx",
              f"<= {EVENTS_OVER_TONIGHT} x", real / tonight <= EVENTS_OVER_TONIGHT)

    ratio = memory["peak_growth"] / memory["data_bytes"]
    table.add("peak memory", f"{memory['peak_growth'] / BYTES_PER_MIB:.1f} MiB", None,
              f"{ratio:.3f} x records + nodes "
              f"({memory['data_bytes'] / BYTES_PER_MIB:.1f} MiB)",
              f"<= {MEMORY_OVER_DATA} x", ratio <= MEMORY_OVER_DATA)

    if window is None:
        table.add("window", "", None, "not built (needs the Qt window)", "")
        return table
    bound = WINDOW_OVER_SEARCH * window["search_ms"] + WINDOW_EXTRA_MS
    table.add("window: Search Asc. to rows", ms(window["window_ms"]), None,
              f"{window['window_ms'] / bound:.2f} x bound (Search alone "
              f"{window['search_ms']:.2f} ms, slowest round {window['slowest_window_ms']:.2f} ms)",
              f"<= {bound:.2f} ms ({WINDOW_OVER_SEARCH:.0f} x Search + {WINDOW_EXTRA_MS:.0f} ms)",
              window["window_ms"] <= bound)
    table.add("window: scroll to the end", "", None,
              f"{window['unshown_rows_formatted']} rows formatted unseen "
              f"({window['rows_formatted']} formatted, {window['rows_shown']} shown)",
              "0 unseen", window["unshown_rows_formatted"] == 0)
    bound = TONIGHT_OVER_PLAIN * window["plain_window_ms"] + TONIGHT_EXTRA_MS
    table.add("window: Observable tonight, search to rows", ms(window["tonight_window_ms"]), None,
              f"{window['tonight_window_ms'] / bound:.2f} x bound (without it "
              f"{window['plain_window_ms']:.2f} ms; {window['observable_rows']} observable)",
              f"<= {bound:.2f} ms ({TONIGHT_OVER_PLAIN:.0f} x without + {TONIGHT_EXTRA_MS:.0f} ms)",
              window["tonight_window_ms"] <= bound)
    # The window sorts the whole list before it shows any row of it, so the
    # first rows and the whole order are ready at once.
    bound = SORT_ROWS_OVER_SEARCH * window["search_ms"] + SORT_ROWS_EXTRA_MS
    table.add("window: Magnitude header to sorted rows", ms(window["sort_window_ms"]), None,
              f"{window['sort_window_ms'] / bound:.2f} x bound (Search alone "
              f"{window['search_ms']:.2f} ms)",
              f"<= {bound:.2f} ms ({SORT_ROWS_OVER_SEARCH:.0f} x Search + "
              f"{SORT_ROWS_EXTRA_MS:.0f} ms)",
              window["sort_window_ms"] <= bound)
    bound = SORT_WHOLE_OVER_SEARCH * window["search_ms"]
    table.add("window: whole sorted order ready", ms(window["sort_handler_ms"]), None,
              f"{window['sort_handler_ms'] / bound:.2f} x bound",
              f"<= {bound:.2f} ms ({SORT_WHOLE_OVER_SEARCH:.0f} x Search)",
              window["sort_handler_ms"] <= bound)
    return table


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=Path, required=True,
                        help="build tree holding bench/catalog_bench and bench/peak_memory")
    parser.add_argument("--stars", default=",".join(map(str, DEFAULT_STARS)),
                        help="comma-separated catalogue sizes (default %(default)s)")
    parser.add_argument("--repetitions", type=int, default=DEFAULT_REPETITIONS)
    parser.add_argument("--min-time", type=float, default=DEFAULT_MIN_SECONDS,
                        help="least seconds of each repetition (default %(default)s)")
    parser.add_argument("--dir", type=Path, default=Path(DEFAULT_DIR),
                        help="folder for generated catalogues and exports")
    options = parser.parse_args()
    stars = [int(count) for count in options.stars.split(",")]
    options.dir.mkdir(parents=True, exist_ok=True)

    medians, log = run_suite(options.build, stars, options.repetitions, options.min_time,
                             options.dir)
    misses = {}
    for count in stars:
        memory = run_peak_memory(options.build, count, options.dir)
        window = run_window(options.build, count, options.dir)
        table = judge(count, medians, memory, window)
        table.print(f"{count} stars, medians of {options.repetitions} run(s) "
                    f"(wall clock; targets are set for {TARGET_STARS} stars)")
        misses[count] = table.misses
    print(f"\nFull benchmark output: {log}")
    if TARGET_STARS in misses:
        missed = misses[TARGET_STARS]
        print(f"{missed} target(s) missed at {TARGET_STARS} stars" if missed
              else f"Every target met at {TARGET_STARS} stars")
    for count, missed in misses.items():
        if count != TARGET_STARS:
            print(f"At {count} stars, for reference: {missed} missed")


if __name__ == "__main__":
    main()
