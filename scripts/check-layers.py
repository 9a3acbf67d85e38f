#!/usr/bin/env python3
"""Fails when a source file includes a folder that its layer may not reach.

The portable core calls nothing of the Win32 shell, and of the shell folders only app/
knows the others: a page or the main window that reached back for the application
object would tie every layer to the whole program again.

    check-layers.py [SRC]      (default: the src/ beside this script's folder)
"""
import re
import sys
from pathlib import Path

# The portable folders each folder's portable files may include, besides its own.
CORE = {
    "common": set(),
    "hotkeys": {"common"},
    "settings": {"common", "hotkeys"},
    "startup": {"common"},
    # A removal is understood in this order: the tree, the drive a device holds, the
    # removal, the command line that asks for it. Each rests on the ones before it.
    "pnp": {"common", "settings"},
    "drives": {"common", "settings", "pnp"},
    "devices": {"common", "settings", "pnp", "drives"},
    "commandline": {"common", "settings", "pnp", "drives", "devices"},
    "resident": {"common", "settings", "hotkeys", "pnp", "drives", "devices"},
    "ui": {"common", "settings", "hotkeys", "pnp", "drives", "devices", "startup"},
    # The application object takes the system's names and the removal's tally, and
    # starts the command line.
    "app": {"common", "settings", "hotkeys", "pnp", "devices", "commandline", "startup"},
    # The console companion is a program of its own, with its command-line rules beside it.
    "companion": {"common"},
}
# The folders whose win32/ files (and portable ones) a folder's win32/ files may include,
# besides its own and those of CORE.
SHELL = {
    "common": set(),
    "hotkeys": {"common"},
    "settings": {"common"},
    "startup": {"common"},
    "pnp": {"common"},
    "drives": {"common", "pnp"},
    "devices": {"common", "pnp", "drives"},
    "commandline": {"common", "pnp", "drives", "devices"},
    # The removal shows the wait dialog, which belongs to the dialogs.
    "resident": {"common", "settings", "hotkeys", "pnp", "drives", "devices", "ui"},
    "ui": {"common", "settings", "hotkeys", "pnp", "drives", "devices", "startup"},
    "app": set(CORE) - {"companion"},
    "companion": {"common"},
}
# Resource numbers are plain constants that any layer may name.
ANYONE = {"resources"}

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include\s+"([^"]+)"', re.M)


def allowed(folder, is_win32, target_folder, target_win32):
    if target_folder in ANYONE:
        return True
    if folder not in CORE or target_folder not in CORE:
        return False
    reach = {folder} | CORE[folder]
    if not is_win32:
        return not target_win32 and target_folder in reach
    reach |= SHELL[folder]
    return target_folder in reach


def place(path):
    """(folder, in a win32/ sub-folder) of a path relative to src/."""
    parts = Path(path).parts
    return parts[0], len(parts) > 2 and parts[1] == "win32"


def violations(src):
    found = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp") or not file.is_file():
            continue
        relative = file.relative_to(src)
        folder, is_win32 = place(relative)
        if folder in ANYONE:
            continue
        text = file.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if "/" not in target:
                continue  # beside the file: its own folder
            target_folder, target_win32 = place(target)
            if not allowed(folder, is_win32, target_folder, target_win32):
                line = text.count("\n", 0, match.start()) + 1
                found.append(f"{relative}:{line}: includes {target}")
    return found


def main():
    src = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src"
    if not src.is_dir():
        sys.exit(f"{src}: no such folder")
    found = violations(src)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) across the layers (scripts/check-layers.py lists the allowed ones)")
        return 1
    print("layers ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
