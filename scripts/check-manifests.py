#!/usr/bin/env python3
"""Checks the winget and Scoop manifests in a release folder: each against our schema of
its published rules, and every hash against the archive lying beside them under the
name its address ends in. One line a fault; status 1 when there is any.

    check-manifests.py DIST
"""

import hashlib
import json
import sys
from pathlib import Path
from urllib.parse import urlparse

import jsonschema
import yaml

SCHEMAS = Path(__file__).resolve().parent / "manifest-schemas"
WINGET = {"version": "", "installer": ".installer", "defaultLocale": ".locale.en-US"}
PACKAGE_ID = "Tollevane.Tollevane"


def schema_faults(name: str, document, schema_file: str) -> list[str]:
    schema = json.loads((SCHEMAS / schema_file).read_text(encoding="utf-8"))
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    return [f"{name}: {'/'.join(map(str, e.absolute_path)) or '(top)'}: {e.message}"
            for e in sorted(validator.iter_errors(document), key=lambda e: list(map(str, e.path)))]


def hash_fault(name: str, dist: Path, url: str, expected: str) -> list[str]:
    archive = dist / Path(urlparse(url).path).name
    if not archive.is_file():
        return [f"{name}: no archive {archive.name} beside the manifests"]
    actual = hashlib.sha256(archive.read_bytes()).hexdigest()
    return [] if actual == expected.lower() else [f"{name}: {archive.name}: hash {expected} is not the archive's {actual}"]


def check(dist: Path) -> list[str]:
    faults = []
    documents = {}
    for kind, suffix in WINGET.items():
        path = dist / "winget" / f"{PACKAGE_ID}{suffix}.yaml"
        if not path.is_file():
            faults.append(f"winget/{path.name}: missing")
            continue
        documents[kind] = yaml.safe_load(path.read_text(encoding="utf-8"))
        faults += schema_faults(f"winget/{path.name}", documents[kind], f"winget-{kind}.schema.json")
    versions = {str(d.get("PackageVersion")) for d in documents.values() if isinstance(d, dict)}
    if len(versions) > 1:
        faults.append(f"winget: the files name different versions {sorted(versions)}")
    for installer in (documents.get("installer") or {}).get("Installers") or []:
        if isinstance(installer, dict) and isinstance(installer.get("InstallerSha256"), str):
            faults += hash_fault("winget installer " + str(installer.get("Architecture")), dist,
                                 str(installer.get("InstallerUrl", "")), installer["InstallerSha256"])
    scoop_path = dist / "scoop" / "tollevane.json"
    if not scoop_path.is_file():
        return faults + ["scoop/tollevane.json: missing"]
    scoop = json.loads(scoop_path.read_text(encoding="utf-8"))
    faults += schema_faults("scoop/tollevane.json", scoop, "scoop.schema.json")
    for bits, entry in ((scoop.get("architecture") or {}) if isinstance(scoop, dict) else {}).items():
        if isinstance(entry, dict) and isinstance(entry.get("hash"), str):
            faults += hash_fault(f"scoop {bits}", dist, str(entry.get("url", "")), entry["hash"].removeprefix("sha256:"))
    if "version" in documents and isinstance(scoop, dict) and scoop.get("version") not in versions:
        faults.append(f"scoop: version {scoop.get('version')!r} is not winget's {sorted(versions)}")
    return faults


def main() -> int:
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    faults = check(Path(sys.argv[1]))
    for fault in faults:
        print(fault)
    print(f"manifests: {len(faults)} fault(s)" if faults else "manifests ok")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
