# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the install checks: the expected file list and a scratch folder
# that is removed on exit.

# Prints the expected files, relative to the prefix, sorted.
expected_files() {
    grep -v '^#' "$(dirname "${BASH_SOURCE[0]}")/expected-files.txt" | LC_ALL=C sort
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
