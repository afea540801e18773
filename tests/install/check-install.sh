#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a scratch DESTDIR and checks what a desktop
# needs of it: the file list, the desktop entry, the AppStream metadata and
# the icons.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
source "$(dirname "$0")/common.sh"

prefix=/usr
root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
installed=$root$prefix

expected_files >"$scratch/expected"
(cd "$installed" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort) >"$scratch/found"
same_list "$scratch/expected" "$scratch/found" "the install tree"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Both validators print nothing but their verdict when a file is clean; any
# hint, info or warning counts as a failure.
desktop=$(echo "$installed"/share/applications/*.desktop)
output=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$output" ] || fail "desktop-file-validate: $output"

metainfo=$(echo "$installed"/share/metainfo/*.metainfo.xml)
output=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate failed"
if grep -E '^ *[EWI]: ' <<<"$output"; then fail "appstreamcli validate reports the lines above"; fi
# The tree check also finds the desktop entry that the metadata launches.
output=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree failed"
if grep -E '^ *[EWI]: ' <<<"$output"; then fail "appstreamcli validate-tree reports the lines above"; fi

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "Lumara %f" ] || fail "Exec is '$(entry Exec)'"
[ -x "$installed/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"
[ "$(basename "$desktop" .desktop)" = "$(basename "$metainfo" .metainfo.xml)" ] ||
    fail "desktop entry and metadata are named differently"
grep -q '^Categories=.*Science;.*Astronomy;' "$desktop" || fail "Categories lack Science;Astronomy;"

# Every PNG must hold the size its folder names, the scalable one an SVG.
icon=$(entry Icon)
for png in "$installed"/share/icons/hicolor/*x*/apps/"$icon".png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    file -b "$png" | grep -q "^PNG image data, ${size/x/ x }," || fail "$png is not $size: $(file -b "$png")"
done
file -b "$installed/share/icons/hicolor/scalable/apps/$icon.svg" | grep -q '^SVG' ||
    fail "the scalable icon is not an SVG"

exit "$failures"
