# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the install checks: the expected file list and a scratch folder
# that is removed on exit.

# Prints the expected files, relative to the prefix, sorted. $1 is 1 when the
# command-line program is part of the build.
expected_files() {
    local here
    here=$(dirname "${BASH_SOURCE[0]}")
    {
        grep -v '^#' "$here/expected-files.txt"
        if [ "$1" = 1 ]; then
            grep -v '^#' "$here/expected-files-cli.txt"
        fi
    } | LC_ALL=C sort
}

# Compares two sorted lists given as files; prints the difference and fails
# when they differ.
same_list() {
    if ! diff -u "$1" "$2"; then
        echo "FAIL: $3 (- expected, + found)" >&2
        return 1
    fi
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
