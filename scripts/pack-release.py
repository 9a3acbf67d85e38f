#!/usr/bin/env python3
"""Packs a release archive that is the same, byte for byte, wherever it is built.

    pack-release.py --output X.zip --version V --source DIR [--text NAME=PATH] [NAME=PATH ...]

Entries are written in the order given. NAME=PATH stores the file as it is; --text
NAME=PATH stores a UTF-8 text for Windows users: "@VERSION@" replaced, CRLF line ends
and a byte-order mark, so that Notepad of every supported Windows shows it right.

Nothing of the build machine reaches the archive: every entry carries the time of the
source's last commit (SOURCE_DATE_EPOCH when set, for builds outside a git checkout),
MS-DOS attributes instead of the builder's owner and mode, no extra fields and no
comment.
"""

import argparse
import os
import subprocess
import sys
import time
import zipfile
from pathlib import Path

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time an entry can carry
FILE_ATTRIBUTE_ARCHIVE = 0x20
MSDOS = 0


def source_time(source: Path) -> int:
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        raise SystemExit(f"pack-release: {source} is no git checkout; set SOURCE_DATE_EPOCH")


def windows_text(raw: bytes, version: str) -> bytes:
    text = raw.decode("utf-8").removeprefix("\ufeff").replace("@VERSION@", version)
    lines = text.replace("\r\n", "\n").split("\n")
    return "\ufeff".encode("utf-8") + "\r\n".join(lines).encode("utf-8")


def entry_info(name: str, stamp: int) -> zipfile.ZipInfo:
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(stamp, ZIP_EPOCH))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = MSDOS
    info.external_attr = FILE_ATTRIBUTE_ARCHIVE
    return info


def pack(output: Path, entries: list[tuple[str, bytes]], stamp: int) -> None:
    names = [name for name, _ in entries]
    if len(set(n.lower() for n in names)) != len(names):
        raise SystemExit(f"pack-release: duplicate entry in {names}")
    partial = output.with_name(output.name + ".partial")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in entries:
            archive.writestr(entry_info(name, stamp), data, compresslevel=9)
    partial.replace(output)


def split_entry(text: str) -> tuple[str, Path]:
    name, sep, path = text.partition("=")
    if not sep or not name or not path:
        raise argparse.ArgumentTypeError(f"expected NAME=PATH, got {text!r}")
    return name, Path(path)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--output", type=Path, required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--text", type=split_entry, action="append", default=[])
    parser.add_argument("files", type=split_entry, nargs="*")
    args = parser.parse_args()

    # The order on the command line is the order in the archive: files, then texts.
    entries = [(name, path.read_bytes()) for name, path in args.files]
    entries += [(name, windows_text(path.read_bytes(), args.version)) for name, path in args.text]
    pack(args.output, entries, source_time(args.source))
    return 0


if __name__ == "__main__":
    sys.exit(main())
