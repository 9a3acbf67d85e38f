#!/usr/bin/env python3
"""Writes the stand-in's module-definition file: every export of the installed Wine
setupapi that the stand-in does not answer itself is forwarded, by name, to that copy
(installed beside the stand-in as setupapi_system.dll). Generated at build time, so the
list follows the Wine the tests run on and the functions the sources define.

    forwarded_def.py --objdump OBJDUMP --system-dll SETUPAPI.DLL --output FILE SOURCE...
"""
import argparse
import os
import re
import subprocess
import sys
from pathlib import Path

FORWARD_TARGET = "setupapi_system"
# How the stand-in's sources mark a function it answers itself (dll/Exports.h).
OWN_EXPORT = re.compile(r"STAND_IN_EXPORT\b[^;{(]*?\bWINAPI\s+(\w+)\s*\(", re.S)


def system_exports(objdump, dll):
    # binutils translates its headings; the one read below is the C locale's.
    dump = subprocess.run([objdump, "-p", str(dll)], check=True, capture_output=True,
                          text=True, env={**os.environ, "LC_ALL": "C"}).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) != 2:
        sys.exit(f"{dll}: no export name table in {objdump}'s dump")
    names = []
    for line in table[1].splitlines()[1:]:
        match = re.match(r"\s*\[\s*\d+\]\s+(\S+)\s*$", line)
        if not match:
            break
        names.append(match.group(1))
    return names


def own_exports(sources):
    names = set()
    for source in sources:
        names.update(OWN_EXPORT.findall(Path(source).read_text(encoding="utf-8")))
    return names


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--system-dll", required=True, type=Path)
    parser.add_argument("--output", required=True, type=Path)
    parser.add_argument("sources", nargs="+")
    args = parser.parse_args()

    exported = system_exports(args.objdump, args.system_dll)
    own = own_exports(args.sources)
    unknown = sorted(own - set(exported))
    if unknown:
        # Not fatal: a function Windows has and this Wine lacks is still the stand-in's.
        print(f"note: the stand-in answers {', '.join(unknown)}, which "
              f"{args.system_dll.name} does not export", file=sys.stderr)
    lines = [f"; Generated from {args.system_dll.name}'s exports; do not edit.",
             "LIBRARY setupapi.dll", "EXPORTS"]
    lines += [f"  {name} = {FORWARD_TARGET}.{name}" for name in exported if name not in own]
    text = "\n".join(lines) + "\n"
    # Rewritten only when it changes, so that the stand-in is relinked only then.
    if not args.output.exists() or args.output.read_text() != text:
        args.output.write_text(text)


if __name__ == "__main__":
    main()
