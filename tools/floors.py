#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the parts a package ships against their floors:
    floors.py FLOORS FOLDER...
FOLDER is a package as it unpacks or installs; the versions come from its
SPDX document (Lizenzen/perforon.spdx.json) and from Qt's own SBOM beside it
(Lizenzen/Qt/*.spdx). Fails where a part is older than its floor or has no
floor; versions compare as Debian's do."""

import glob
import json
import os
import re
import subprocess
import sys


def read_floors(path):
    floors = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            names, _, rest = line.partition(": ")
            floor, _, why = rest.strip().partition("  ")
            for name in names.split(" | "):
                floors[name.strip()] = (floor, why.strip(), number)
    return floors


def shipped_parts(folder):
    """(name, version, document) of each versioned part the package names."""
    parts = []
    with open(os.path.join(folder, "Lizenzen", "perforon.spdx.json"), encoding="utf-8") as f:
        for package in json.load(f)["packages"]:
            parts.append((package["name"], package.get("versionInfo", "NOASSERTION"), "perforon.spdx.json"))
    for sbom in sorted(glob.glob(os.path.join(folder, "Lizenzen", "Qt", "*.spdx"))):
        document = "Qt/" + os.path.basename(sbom)
        with open(sbom, encoding="utf-8") as f:
            pairs = re.findall(r"^PackageName: (.*)\nPackageVersion: (.*)$", f.read(), re.MULTILINE)
        # Qt's own modules carry its release number; the package's document
        # gives the Debian version of the source they were built from.
        release = dict(pairs).get("qtbase")
        for name, version in pairs:
            if version.strip() != release:
                # A part's attribution within a module goes by the part's name.
                parts.append((name.split("_Attribution_")[-1], version.strip(), document))
    return [p for p in parts if p[1] not in ("", "NOASSERTION", "unknown")]


def older(version, floor):
    """Whether version ranks below floor, as dpkg ranks them; None where
    either does not parse as a version."""
    for each in (version, floor):
        if subprocess.run(["dpkg", "--validate-version", each], capture_output=True).returncode != 0:
            return None
    return subprocess.run(["dpkg", "--compare-versions", version, "lt", floor]).returncode == 0


def main(floors_file, *folders):
    floors = read_floors(floors_file)
    failures = []
    checked = 0
    for folder in folders:
        package = os.path.basename(os.path.normpath(folder))
        for name, version, document in shipped_parts(folder):
            if name not in floors:
                failures.append(f"{name} {version} in {package} ({document}) has no floor in {floors_file}")
                continue
            floor, why, number = floors[name]
            checked += 1
            if floor == "-":
                continue
            verdict = older(version, floor)
            if verdict is None:
                failures.append(f"{name} {version} in {package} ({document}) or its floor {floor}"
                                f" ({floors_file}:{number}) does not parse as a version")
            elif verdict:
                failures.append(f"{name} {version} in {package} ({document}) is older than its floor {floor}"
                                f" ({floors_file}:{number}: {why})")
    for failure in failures:
        print(f"floors: {failure}")
    if failures:
        sys.exit(1)
    print(f"floors: {checked} parts of {', '.join(os.path.basename(os.path.normpath(f)) for f in folders)}"
          f" at or above their floors")


if __name__ == "__main__":
    main(*sys.argv[1:])
