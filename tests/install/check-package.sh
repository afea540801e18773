#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the build tree as a Debian package in a scratch folder and checks its
# control fields, its contents and what lintian says of it.
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
source "$(dirname "$0")/common.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
package=$scratch/lumara_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || { echo "FAIL: no $package" >&2; ls "$scratch" >&2; exit 1; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = lumara ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# dpkg-shlibdeps found the libraries the program links, Qt's among them.
for library in libc6 libstdc++6 libqt6widgets6; do
    field Depends | tr ',' '\n' | awk '{ print $1 }' | grep -Fxq "$library" || fail "Depends lacks $library: $(field Depends)"
done
dpkg-deb -I "$package" >"$scratch/info"
grep -q ' md5sums' "$scratch/info" || fail "no md5sums in the control archive"

# The package holds what the install puts under /usr, no more, no less.
expected_files | sed 's|^|usr/|' >"$scratch/expected"
dpkg-deb -c "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort \
    >"$scratch/found"
same_list "$scratch/expected" "$scratch/found" "the package's contents" || failures=$((failures + 1))
if dpkg-deb -c "$package" | awk '$2 != "root/root"' | grep .; then
    fail "files above are not owned by root"
fi

# Errors and warnings fail; the remaining infos are listed for the record.
lintian --fail-on error,warning --display-info "$package" || fail "lintian"

exit "$failures"
