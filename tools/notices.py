#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The notices a package of Perforon owes for what it ships, and its SPDX
document.

  notices.py qt SRC COMMANDS OUT PACKAGE=VERSION[=FOLDER]...
      From Qt's source SRC and the compile commands of the modules a package
      ships (ninja -t commands), writes OUT/attributions.json and copies the
      licence files of every part of Qt's source that goes into them: the
      parts its qt_attribution.json files describe, where a compiled source
      lies inside them or a compiled source includes a file of theirs. The
      PACKAGEs are the Debian source packages SRC was made from, each with
      the FOLDER of SRC it took the place of (none for Qt's own).
  notices.py package ROOT COMPONENTS QTNOTICES VERSION
      In the install folder ROOT, writes Lizenzen/: the licence texts of
      every component COMPONENTS (a JSON list) names, the Qt parts'
      licences and copyright lines, Drittkomponenten.txt, and the SPDX 2.3
      document perforon.spdx.json with every shipped file and its checksum.
  notices.py check ROOT [FILE...]
      Fails unless the SPDX document in ROOT names every program file in
      ROOT (.exe, .dll, .wasm, .js, .data) with its checksum, but the FILEs
      an installer made there itself.
"""

import datetime
import fnmatch
import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys

SPDX_NAME = "Lizenzen/perforon.spdx.json"
PROGRAM_FILES = (".exe", ".dll", ".wasm", ".js", ".data")
INCLUDE = re.compile(r'^\s*#\s*include\s*["<]([^">]+)[">]', re.M)


def read_attributions(path):
    # Qt's attribution files repeat keys (the last one counts) and break
    # strings across lines.
    with open(path, encoding="utf-8") as f:
        data = json.loads(f.read(), strict=False)
    return data if isinstance(data, list) else [data]


def copyright_text(copyright):
    """An attribution's copyright lines, which Qt 6.8 may give as a list."""
    return "\n".join(copyright) if isinstance(copyright, list) else copyright


def used_paths(src, commands):
    """The source files the commands compile inside src, and every file
    they include from src, directly or through another: by a path of its
    own, or by a name one of the commands' include folders holds. Includes
    that the preprocessor leaves out count too."""
    src = os.path.realpath(src)
    sources, folders = set(), set()
    for flag, token in re.findall(r"(-I)?(/[^\s'\"]+)", commands):
        path = os.path.normpath(token)
        if path.startswith(src + "/"):
            (folders if flag else sources).add(path)
    paths = set(sources)
    waiting = [p for p in sources if p.endswith((".c", ".cpp"))]
    while waiting:
        source = waiting.pop()
        with open(source, encoding="utf-8", errors="replace") as f:
            names = INCLUDE.findall(f.read())
        for name in names:
            for folder in [os.path.dirname(source), *folders]:
                path = os.path.normpath(os.path.join(folder, name))
                if os.path.isfile(path):
                    if path.startswith(src + "/") and path not in paths:
                        paths.add(path)
                        waiting.append(path)
                    break
    return paths


def collect_qt(src, commands_file, out, *made_from):
    src = os.path.realpath(src)
    sources = [dict(zip(("package", "version", "folder"), each.split("=", 2))) for each in made_from]
    with open(commands_file, encoding="utf-8") as f:
        paths = used_paths(src, f.read())
    inside = lambda scope: any(p == scope or p.startswith(scope + "/") for p in paths)
    with open(os.path.join(src, "debian", "changelog"), encoding="utf-8") as f:
        qt_version = re.match(r"\S+ \(([^)]+)\)", f.readline()).group(1)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    parts = []
    for folder, _, files in sorted(os.walk(os.path.join(src, "src"))):
        if "qt_attribution.json" not in files:
            continue
        for entry in read_attributions(os.path.join(folder, "qt_attribution.json")):
            if "Path" in entry or "Files" not in entry:
                used = inside(os.path.normpath(os.path.join(folder, entry.get("Path", "."))))
            else:
                files = entry["Files"]
                used = any(inside(os.path.join(folder, name))
                           for name in (files.split() if isinstance(files, str) else files))
            if not used:
                continue
            licence_files = []
            licence_names = entry.get("LicenseFile", "")
            if isinstance(licence_names, str):
                licence_names = re.split(r"[ ,]+", licence_names.strip())
            for name in licence_names:
                if name:
                    target = f"{entry['Id']}-{os.path.basename(name)}"
                    shutil.copyfile(os.path.join(folder, name), os.path.join(out, target))
                    licence_files.append(target)
            parts.append({
                "id": entry["Id"], "name": entry["Name"], "version": entry.get("Version", ""),
                "license": spdx_expression(entry.get("LicenseId") or "NOASSERTION"), "copyright": copyright_text(entry.get("Copyright", "")),
                "homepage": entry.get("Homepage", ""), "licenseFiles": licence_files,
                "folder": os.path.relpath(folder, src),
            })
    with open(os.path.join(out, "attributions.json"), "w", encoding="utf-8") as f:
        json.dump({"qtVersion": qt_version, "sources": sources, "parts": parts}, f, indent=1, ensure_ascii=False)
    print(f"Qt {qt_version}: {len(parts)} parts of its source go into the modules shipped")


def spdx_expression(licence):
    # A few of Qt's files write the operators in small letters.
    return re.sub(r"\b(and|or|with)\b", lambda m: m.group(1).upper(), licence)


def debian_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], check=True,
                          capture_output=True, text=True).stdout


def write_text(path, text, encoding="utf-8"):
    # Texts with Windows' line ends, which every editor there shows as lines.
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding=encoding, newline="\r\n" if path.endswith(".txt") else None) as f:
        f.write(text)


def licence_text(text):
    """A licence file's text, or the part of it between two marks."""
    with open(text["from"], encoding="utf-8", errors="replace") as f:
        whole = f.read()
    if "start" not in text:
        return whole
    start = whole.index(text["start"])
    return whole[start:whole.index(text["end"], start) + len(text["end"])] + "\n"


def sha1(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


def spdx_id(kind, name):
    return f"SPDXRef-{kind}-" + re.sub(r"[^A-Za-z0-9.-]+", "-", name).strip("-")


def package(root, components_file, qt_notices, version):
    with open(components_file, encoding="utf-8") as f:
        components = json.load(f)
    with open(os.path.join(qt_notices, "attributions.json"), encoding="utf-8") as f:
        qt = json.load(f)
    notices = os.path.join(root, "Lizenzen")
    shutil.rmtree(notices, ignore_errors=True)
    shipped = sorted(os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
                     for d, _, names in os.walk(root) for n in names)

    here = os.path.dirname(os.path.abspath(components_file))
    # The source packages Qt was built from, by their exact versions.
    made_from = ", ".join(f"{s['package']} {s['version']}" for s in qt["sources"])
    for c in components:
        if c.get("qt"):
            c["version"] = qt["qtVersion"]
            c["source"] = c["source"].replace("{sources}", made_from)
        elif "debian" in c:
            c["version"] = debian_version(c["debian"])
        else:
            c.setdefault("version", version)
        for text in c.get("texts", []):
            text["from"] = os.path.join(here, text["from"])
            write_text(os.path.join(notices, text["as"]), licence_text(text))
    for part in qt["parts"]:
        for name in part["licenseFiles"]:
            with open(os.path.join(qt_notices, name), encoding="utf-8", errors="replace") as f:
                write_text(os.path.join(notices, "Qt", name.removesuffix(".txt") + ".txt"), f.read())
        write_text(os.path.join(notices, "Qt", part["id"] + "-Copyright.txt"), copyright_text(part["copyright"]).strip() + "\n")
    # Qt's own SBOM of what its build holds, the versions of its parts included.
    sboms = sorted(glob.glob(os.path.join(qt_notices, "*.spdx")))
    for sbom in sboms:
        shutil.copyfile(sbom, os.path.join(notices, "Qt", os.path.basename(sbom)))

    lines = ["Perforon und was es mitbringt", "=============================", "",
             "Perforon ist freie Software unter der GNU General Public License,",
             "Version 3 oder (nach Ihrer Wahl) jeder späteren Version (GPL-3.0-or-later);",
             "es kommt ohne jede Gewährleistung. Jede Komponente unten nennt ihre Lizenz,",
             "die Lizenztexte in diesem Ordner und wo ihr Quelltext zu haben ist. Mit",
             "dem Quelltext von Perforon und dem von Qt lässt sich Perforon mit einem",
             "geänderten Qt neu bauen; die Anleitung steht in der README des Projekts.",
             "Dieses Angebot des Quelltextes gilt für jeden, der Perforon erhalten hat,",
             "mindestens drei Jahre lang.", "",
             "Eine maschinenlesbare Liste (SPDX 2.3) steht in perforon.spdx.json,",
             "Qts eigene (SBOM) in " + (", ".join("Qt/" + os.path.basename(s) for s in sboms) or "-") + ".", ""]
    for c in components:
        lines += [f"{c['name']} {c['version']}", f"  Lizenz: {c['license']}",
                  f"  Lizenztexte: {', '.join(t['as'] for t in c.get('texts', [])) or '-'}",
                  f"  Quelltext: {c['source']}", ""]
        if c.get("qt"):
            lines += ["  In Qt enthalten (aus Qts Quelltext, Lizenzen und Urheber in Qt\\):", ""]
            for part in qt["parts"]:
                lines += [f"  - {part['name']} {part['version']}".rstrip(), f"    Lizenz: {part['license']}",
                          f"    Lizenztexte: {', '.join('Qt/' + n.removesuffix('.txt') + '.txt' for n in part['licenseFiles']) or '-'}",
                          f"    Urheber: Qt/{part['id']}-Copyright.txt", ""]
    # With a byte-order mark, so that a browser and Notepad read its umlauts.
    write_text(os.path.join(notices, "Drittkomponenten.txt"), "\n".join(lines), "utf-8-sig")

    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
    doc = {"spdxVersion": "SPDX-2.3", "dataLicense": "CC0-1.0", "SPDXID": "SPDXRef-DOCUMENT",
           "name": f"perforon-{version}",
           "documentNamespace": f"https://perforon.org/spdx/perforon-{version}-{os.path.basename(os.path.normpath(root))}",
           "creationInfo": {"created": now, "creators": ["Organization: Perforon developers", "Tool: tools/notices.py"]},
           "packages": [], "files": [], "relationships": []}
    relate = lambda a, kind, b: doc["relationships"].append(
        {"spdxElementId": a, "relationshipType": kind, "relatedSpdxElement": b})
    for c in components:
        doc["packages"].append({"SPDXID": spdx_id("Package", c["name"]), "name": c["name"],
                                "versionInfo": c["version"], "downloadLocation": "NOASSERTION",
                                "sourceInfo": c["source"], "licenseConcluded": c["license"],
                                "licenseDeclared": c["license"], "copyrightText": "NOASSERTION",
                                "filesAnalyzed": False})
    relate("SPDXRef-DOCUMENT", "DESCRIBES", spdx_id("Package", components[0]["name"]))
    qt_id = next(spdx_id("Package", c["name"]) for c in components if c.get("qt"))
    swapped = {s["folder"]: s for s in qt["sources"] if "folder" in s}
    for part in qt["parts"]:
        pid = spdx_id("Package", "Qt-" + part["id"])
        source = swapped.get(part["folder"])
        source_info = (f"Debian source package {source['package']} {source['version']}, in place of"
                       f" Qt's own copy in {part['folder']}" if source else f"qt6-base {qt['qtVersion']}: {part['folder']}")
        doc["packages"].append({"SPDXID": pid, "name": part["name"], "versionInfo": part["version"] or "NOASSERTION",
                                "downloadLocation": "NOASSERTION", "homepage": part["homepage"] or "NOASSERTION",
                                "sourceInfo": source_info,
                                "licenseConcluded": "NOASSERTION", "licenseDeclared": spdx_expression(part["license"]),
                                "copyrightText": copyright_text(part["copyright"]).strip() or "NOASSERTION",
                                "filesAnalyzed": False})
        relate(qt_id, "CONTAINS", pid)
    for name in shipped:
        owners = [c for c in components if any(fnmatch.fnmatch(name, p) for p in c["files"])]
        if not owners:
            continue
        fid = spdx_id("File", name)
        doc["files"].append({"SPDXID": fid, "fileName": "./" + name,
                             "checksums": [{"algorithm": "SHA1", "checksumValue": sha1(os.path.join(root, name))}],
                             "licenseConcluded": "NOASSERTION", "copyrightText": "NOASSERTION"})
        for c in owners:
            relate(fid, "CONTAINS", spdx_id("Package", c["name"]))
    write_text(os.path.join(root, SPDX_NAME), json.dumps(doc, indent=1, ensure_ascii=False) + "\n")
    print(f"{SPDX_NAME}: {len(doc['packages'])} components, {len(doc['files'])} files")


def check(root, *made_by_the_installer):
    with open(os.path.join(root, SPDX_NAME), encoding="utf-8") as f:
        listed = {e["fileName"][2:]: e["checksums"][0]["checksumValue"] for e in json.load(f)["files"]}
    missing = []
    for d, _, names in os.walk(root):
        for n in names:
            name = os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
            if name in made_by_the_installer:
                continue
            if name.lower().endswith(PROGRAM_FILES) and listed.get(name) != sha1(os.path.join(root, name)):
                missing.append(name)
    if missing:
        sys.exit(f"{SPDX_NAME} does not name, or not with its checksum: {' '.join(sorted(missing))}")
    print(f"{SPDX_NAME} names every program file with its checksum")


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"qt": collect_qt, "package": package, "check": check}[command](*args)
