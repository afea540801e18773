#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that every folder includes only what its layer may use.

The layers, lowest first: line/; importers/ and planning/ beside each other
on it; catalog/ on those; cli/ and ui/ on catalog/. A folder includes its own
headers, and the public headers (in include/) of the folders below it that
it uses; never a header of a folder above or beside it, nor another folder's
private header. Each suite in tests/ may also include its own folder's
private headers and tests/support/. Prints every include that breaks this and
exits with 1; 0 when there are none.
"""

import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# What each code folder may use besides itself.
USES = {
    "line": [],
    "importers": ["line"],
    "planning": ["line"],
    "catalog": ["line", "importers", "planning"],
    "cli": ["catalog", "line"],
    "ui": ["catalog", "line"],
}
# Headers the build makes from a template in the folder.
TEMPLATE_SUFFIX = ".in"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = ("*.h", "*.cpp")


def headers_of(folder):
    """The header names a code folder holds: (public, private)."""
    public, private = set(), set()
    base = ROOT / folder
    for path in base.rglob("*"):
        name = path.name
        if name.endswith(TEMPLATE_SUFFIX):
            name = name[: -len(TEMPLATE_SUFFIX)]
        if not name.endswith(".h"):
            continue
        (public if "include" in path.relative_to(base).parts else private).add(name)
    return public, private


def main():
    folders = [f for f in USES if (ROOT / f).is_dir()]
    headers = {f: headers_of(f) for f in folders}
    owners = {}
    for folder, (public, private) in headers.items():
        for name in public | private:
            owners.setdefault(name, []).append(folder)
    faults = [f"two folders hold {name}: {', '.join(where)}"
              for name, where in sorted(owners.items()) if len(where) > 1]

    support = {p.name for p in (ROOT / "tests" / "support").glob("*.h")}
    checked = [(f, ROOT / f, False) for f in folders]
    checked += [(f, ROOT / "tests" / f, True) for f in folders if (ROOT / "tests" / f).is_dir()]
    for folder, base, is_test in checked:
        own_public, own_private = headers[folder]
        allowed = own_public | own_private
        for lower in USES[folder]:
            allowed |= headers.get(lower, (set(), set()))[0]
        local = set()
        if is_test:
            allowed |= support
            local = {p.name for p in base.rglob("*.h")}
        for pattern in SOURCES:
            for source in sorted(base.rglob(pattern)):
                for name in INCLUDE.findall(source.read_text(errors="replace")):
                    name = Path(name).name
                    if name in allowed or name in local or name not in owners:
                        continue
                    where = ", ".join(owners[name])
                    faults.append(f"{source.relative_to(ROOT)} includes {name} of {where}")
    for fault in faults:
        print(f"layers: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
