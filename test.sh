#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the layers and the formatting, then builds Lumara and runs every
# test: the optimised build, then everything
# again under AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer, the catalogue's tests under ThreadSanitizer
# (large loads and exports use two threads), then each fuzz target for a
# minute. After the optimised build a few planted faults are checked to be
# caught.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

# Each folder includes only what its layer may use, and every source file is
# formatted as .clang-format says.
tools/check_layers.py
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# A few planted faults that the tests must catch.
tools/mutate --quick --jobs "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLUMARA_SANITIZE=address,undefined \
    -DLUMARA_BUILD_UI=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARA_SANITIZE=thread \
    -DLUMARA_BUILD_UI=OFF -DLUMARA_BUILD_BENCH=OFF
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j "$jobs"

fuzz/run.sh 60
