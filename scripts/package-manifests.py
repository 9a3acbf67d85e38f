#!/usr/bin/env python3
"""Writes the manifests that winget and Scoop install a release from, offline, from the
release archives themselves.

    package-manifests.py --version V --release-url URL --output DIR x86=ZIP x64=ZIP

DIR/winget/ gets the multi-file manifest (version, installer, default locale) of the
schema version the community repository accepts; DIR/scoop/tollevane.json the Scoop
manifest. URL is the address of the folder the archives are uploaded to: each archive
lies there under its own name.
"""

import argparse
import hashlib
import json
from pathlib import Path

PACKAGE_ID = "Tollevane.Tollevane"
MANIFEST_VERSION = "1.12.0"
PUBLISHER = "Tollevane"
LICENSE = "Freeware"
SHORT_DESCRIPTION = "Removes USB and other removable devices safely by hotkey, tray menu or command line."
COMPANION = "Tollevane.com"
ALIAS = "tollevane"
SCOOP_BITS = {"x86": "32bit", "x64": "64bit"}
PLACEHOLDER_URL = "https://release-url.invalid/give-RELEASE_URL-to-make-dist"


def sha256(path: Path) -> str:
    return hashlib.sha256(path.read_bytes()).hexdigest()


def quoted(value: str) -> str:
    """Every value single-quoted: YAML reads 1.10 unquoted as the number 1.1, and a hash of
    digits alone as an integer."""
    return "'" + value.replace("'", "''") + "'"


def yaml_file(kind: str, lines: list[str]) -> str:
    head = [f"# Written by scripts/package-manifests.py from the release archives.",
            f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{MANIFEST_VERSION}.schema.json",
            ""]
    return "\n".join(head + lines) + "\n"


def winget_files(version: str, archives: dict, url: str) -> dict[str, str]:
    common = [f"PackageIdentifier: {quoted(PACKAGE_ID)}", f"PackageVersion: {quoted(version)}"]
    tail = lambda kind: [f"ManifestType: {quoted(kind)}", f"ManifestVersion: {quoted(MANIFEST_VERSION)}"]
    installers = []
    for arch, archive in archives.items():
        installers += [f"  - Architecture: {quoted(arch)}",
                       f"    InstallerUrl: {quoted(url + '/' + archive.name)}",
                       f"    InstallerSha256: {quoted(sha256(archive).upper())}"]
    installer = common + [
        f"InstallerType: {quoted('zip')}",
        f"NestedInstallerType: {quoted('portable')}",
        # Only the console companion is a command; the windowed program starts from the
        # tray or the Startup folder. The companion runs Tollevane.exe from its own
        # folder, which a link in winget's Links folder is not: the package's folder goes
        # on the PATH instead, where "tollevane" finds Tollevane.com before Tollevane.exe.
        "NestedInstallerFiles:",
        f"  - RelativeFilePath: {quoted(COMPANION)}",
        f"    PortableCommandAlias: {quoted(ALIAS)}",
        "ArchiveBinariesDependOnPath: true",
        "Installers:", *installers] + tail("installer")
    locale = common + [
        f"PackageLocale: {quoted('en-US')}", f"Publisher: {quoted(PUBLISHER)}",
        f"PackageName: {quoted('Tollevane')}", f"License: {quoted(LICENSE)}",
        f"ShortDescription: {quoted(SHORT_DESCRIPTION)}",
        "Tags:", *[f"  - {quoted(tag)}" for tag in ("usb", "eject", "hotkey", "removable")],
    ] + tail("defaultLocale")
    version_file = common + [f"DefaultLocale: {quoted('en-US')}"] + tail("version")
    return {f"{PACKAGE_ID}.yaml": yaml_file("version", version_file),
            f"{PACKAGE_ID}.installer.yaml": yaml_file("installer", installer),
            f"{PACKAGE_ID}.locale.en-US.yaml": yaml_file("defaultLocale", locale)}


def scoop_manifest(version: str, archives: dict, url: str) -> dict:
    def versioned(name: str) -> str:
        # A folder of its own per release carries the version in its address too.
        return (url + "/" + name).replace(version, "$version")
    return {
        "version": version,
        "description": SHORT_DESCRIPTION,
        "homepage": url,
        "license": LICENSE,
        "architecture": {SCOOP_BITS[arch]: {"url": url + "/" + archive.name, "hash": sha256(archive)}
                         for arch, archive in archives.items()},
        # Scoop shims .exe and .com alike: the companion needs a name of its own.
        "bin": [[COMPANION, ALIAS]],
        "shortcuts": [["Tollevane.exe", "Tollevane"]],
        "checkver": {"url": url, "regex": r"Tollevane-([\d.]+)-win64\.zip"},
        "autoupdate": {"architecture": {
            SCOOP_BITS[arch]: {"url": versioned(archive.name), "hash": {"url": "$baseurl/SHA256SUMS"}}
            for arch, archive in archives.items()}},
    }


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--release-url", default="")
    parser.add_argument("--output", type=Path, required=True)
    parser.add_argument("archives", nargs="+", help="ARCH=ZIP, ARCH x86 or x64")
    args = parser.parse_args()
    archives = {}
    for item in args.archives:
        arch, _, path = item.partition("=")
        if arch not in SCOOP_BITS or not path:
            raise SystemExit(f"package-manifests: {item!r} is no x86=ZIP or x64=ZIP")
        archives[arch] = Path(path)
    url = (args.release_url or PLACEHOLDER_URL).rstrip("/")
    winget = args.output / "winget"
    scoop = args.output / "scoop"
    winget.mkdir(parents=True, exist_ok=True)
    scoop.mkdir(parents=True, exist_ok=True)
    for name, text in winget_files(args.version, archives, url).items():
        (winget / name).write_text(text, encoding="utf-8", newline="\n")
    (scoop / "tollevane.json").write_text(
        json.dumps(scoop_manifest(args.version, archives, url), indent=4) + "\n", encoding="utf-8", newline="\n")
    if not args.release_url:
        print(f"package-manifests: no RELEASE_URL given: the manifests point at {PLACEHOLDER_URL}")


if __name__ == "__main__":
    main()
