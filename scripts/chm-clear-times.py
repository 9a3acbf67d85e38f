#!/usr/bin/env python3
"""chm-clear-times.py FILE.chm: sets the two compile-time stamps of a .chm to zero.

The compiler writes the time of day of the build into the file header and into the
#SYSTEM stream; the help viewer reads neither, and they are all that would make two
builds of the same pages differ. Both lie outside the compressed section, so they can
be cleared in place without recompressing anything.
"""

import struct
import sys
from pathlib import Path

HEADER_TIMESTAMP = 0x10       # big-endian dword after signature, version, length, 1
SYSTEM_TIMESTAMP_CODE = 10    # #SYSTEM record holding the compile time
CHUNK_SIZE_FIELD = 0x10       # in the directory header
DIRECTORY_HEADER_SIZE = 0x54


def read_encint(data: bytes, pos: int) -> tuple[int, int]:
    """Directory numbers: big-endian groups of seven bits, high bit set on all but the last."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def directory(data: bytes) -> dict[str, tuple[int, int, int]]:
    """Name -> (section, offset, length) for every entry of the listing chunks."""
    if data[:4] != b"ITSF":
        raise ValueError("not a compiled help file")
    dir_offset, _ = struct.unpack_from("<QQ", data, 0x48)
    (content0,) = struct.unpack_from("<Q", data, 0x58)
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("no directory header")
    (chunk_size,) = struct.unpack_from("<I", data, dir_offset + CHUNK_SIZE_FIELD)
    (chunk_count,) = struct.unpack_from("<I", data, dir_offset + 0x2C)
    entries = {}
    for index in range(chunk_count):
        chunk = dir_offset + DIRECTORY_HEADER_SIZE + index * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue  # index chunks repeat names that the listing chunks hold
        (free,) = struct.unpack_from("<I", data, chunk + 4)
        pos, end = chunk + 20, chunk + chunk_size - free
        while pos < end:
            length, pos = read_encint(data, pos)
            name = data[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = read_encint(data, pos)
            offset, pos = read_encint(data, pos)
            size, pos = read_encint(data, pos)
            entries[name] = (section, content0 + offset, size)
    return entries


def clear_times(data: bytearray) -> None:
    data[HEADER_TIMESTAMP:HEADER_TIMESTAMP + 4] = bytes(4)
    section, start, size = directory(bytes(data))["/#SYSTEM"]
    if section != 0:
        raise ValueError("#SYSTEM is compressed")
    pos, end = start + 4, start + size  # after the version dword
    while pos + 4 <= end:
        code, length = struct.unpack_from("<HH", data, pos)
        if code == SYSTEM_TIMESTAMP_CODE and length >= 4:
            data[pos + 4:pos + 8] = bytes(4)
            return
        pos += 4 + length
    raise ValueError("#SYSTEM holds no compile time")


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    path = Path(sys.argv[1])
    data = bytearray(path.read_bytes())
    clear_times(data)
    path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
