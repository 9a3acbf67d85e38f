"""The compiled help file as the tests read it: where the build leaves it, its streams
unpacked with 7z, and its topic table (the Help buttons' numbers and their pages)."""

import shutil
import struct
import subprocess
from pathlib import Path

import harness


def chm_file() -> Path:
    return harness.paths().exe.parent / "Tollevane.chm"


def extract(chm: Path, into: Path) -> set[str]:
    """Unpacks the file; returns the names of its streams ("/main.html", "#IVB", ...)."""
    if shutil.which("7z") is None:
        raise harness.HarnessError("7z is not installed (scripts/setup.sh installs p7zip-full)")
    listing = subprocess.run(["7z", "l", "-slt", str(chm)], capture_output=True, text=True, check=True)
    names = {line[len("Path = "):] for line in listing.stdout.splitlines() if line.startswith("Path = ")}
    names.discard(str(chm))  # the archive's own record
    subprocess.run(["7z", "x", "-y", f"-o{into}", str(chm)], capture_output=True, check=True)
    return names


def topic_table(ivb: bytes, strings: bytes) -> dict[int, str]:
    """#IVB: a byte count, then (topic number, offset into #STRINGS) pairs; #STRINGS holds
    the alias targets as NUL-terminated strings."""
    (size,) = struct.unpack_from("<I", ivb, 0)
    if size % 8 or 4 + size > len(ivb):
        raise AssertionError(f"#IVB of {len(ivb)} bytes claims {size}")
    table = {}
    for topic, offset in struct.iter_unpack("<II", ivb[4:4 + size]):
        end = strings.index(b"\0", offset)
        table[topic] = strings[offset:end].decode("utf-8")
    return table
