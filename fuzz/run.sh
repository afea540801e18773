#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang and runs each for a bounded time with a
# fixed seed; fails on any finding. Usage: fuzz/run.sh [SECONDS-PER-TARGET]
# Findings are kept in build-fuzz/findings, the grown corpora in
# build-fuzz/corpus; the seeds in fuzz/corpus are only read.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build-fuzz

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

# Each session writes a few small files per input; memory is faster than disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

status=0
for target in fuzz_star_line fuzz_session fuzz_import fuzz_site fuzz_delimited_table fuzz_votable; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    seeds="fuzz/corpus/${target#fuzz_}"
    echo "== $target for $seconds s"
    if "$build/$target" -seed=1 -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
    else
        status=1
        echo "!! $target found a fault; the input is in $findings" >&2
        tail -n 60 "$log" >&2
    fi
done
exit $status
