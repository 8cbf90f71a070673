#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""tools/floors.py against a package that ships one part at a version older
than its floor, equal to it, newer, and one that does not parse: only the
equal and the newer pass."""

import json
import os
import subprocess
import sys
import tempfile

FLOORS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "floors.py")

CASES = [  # version shipped, floor, passes
    ("12.2.9", "12.3.0", False),
    ("12.3.0", "12.3.0", True),
    ("12.3.2", "12.3.0", True),
    ("10.2.0-1+deb13u1", "10.2.0", True),
    ("6.8.2+dfsg-9", "6.8.2+dfsg-9+deb13u2", False),
    ("version 12", "12.3.0", False),
    ("12.3.2", "twelve", False),
]


def passes(version, floor):
    with tempfile.TemporaryDirectory() as work:
        package = os.path.join(work, "package")
        os.makedirs(os.path.join(package, "Lizenzen"))
        with open(os.path.join(package, "Lizenzen", "perforon.spdx.json"), "w", encoding="utf-8") as f:
            json.dump({"packages": [{"name": "HarfBuzz-NG", "versionInfo": version}]}, f)
        floors = os.path.join(work, "floors.txt")
        with open(floors, "w", encoding="utf-8") as f:
            f.write(f"HarfBuzz-NG: {floor}  a test advisory\n")
        return subprocess.run([sys.executable, FLOORS, floors, package], capture_output=True).returncode == 0


failures = [f"{version} against {floor}: {'fails' if want else 'passes'}"
            for version, floor, want in CASES if passes(version, floor) != want]
for failure in failures:
    print(failure)
print(f"{len(CASES) - len(failures)} of {len(CASES)} cases as expected")
sys.exit(1 if failures else 0)
