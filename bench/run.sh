#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks optimised and prints each catalogue operation against
# its target. Options go to bench/compare.py, e.g. --stars=10000000.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build-bench
# The window is part of what is measured, so this tree builds it too.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMARA_BUILD_UI=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target catalog_bench peak_memory window_timing
exec python3 bench/compare.py --build "$build" "$@"
