#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds lumara optimised and times it beside cat on a million generated
# stars. Options go to bench/cli_compare.py, e.g. --stars=10000000.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMARA_BUILD_UI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target lumara make_catalogue
exec python3 bench/cli_compare.py --build "$build" "$@"
