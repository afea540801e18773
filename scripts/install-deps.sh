#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Lumara need.
# Only what is missing is installed; sudo is used when not running as root.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev help2man stilts
    qt6-base-dev qt6-charts-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
    liberfa-dev libhowardhinnant-date-dev tzdata libcsv-dev libexpat1-dev
    xvfb xauth
    clang libclang-rt-14-dev
    python3 ccache
    librsvg2-bin clang-format
    desktop-file-utils appstream lintian dpkg-dev file reuse
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
