"""What the removal tests read besides windows: the simulated device tree (to name
its nodes by line number, as the eject log does), the eject log itself, the shell
stand-in's windows and its log of closed ones, the helpers' wall-clock stamps, and
pixels of a screenshot."""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from harness import DEFAULT_TIMEOUT, QUICK_EXIT, Session, unescape_field, wait_until, windows_path

TREES = Path(__file__).resolve().parent / "trees"
# Whole machines as Windows builds their trees, each headed by its sources.
MACHINES = Path(__file__).resolve().parent.parent / "machines"

# The devices of the machine files, each named by the piece of its line that holds its
# instance ID, as the files spell it (DeviceTreeFile.line_of finds the line).
WINDOWS_10 = {
    "stick": r'id="USB\\VID_0781&PID_5581\\',
    "hard disk": r'id="USB\\VID_1058&PID_25A2\\',
    "UAS SSD": r'id="USB\\VID_0781&PID_558C\\',
    "card reader": r'id="USB\\VID_05E3&PID_0747\\',
    "stick behind the hub": r'id="USB\\VID_090C&PID_1000\\',
    "composite's storage": r'id="USB\\VID_0D28&PID_0204&MI_00\\',
    "hub": r'id="USB\\VID_05E3&PID_0610\\',
    "root hub": r'id="USB\\ROOT_HUB30\\',
    "phone": r'id="USB\\VID_04E8&PID_6860\\',
    "mouse": r'id="USB\\VID_046D&PID_C077\\',
}
WINDOWS_XP = {
    "stick": r'id="USB\\VID_0781&PID_5406\\',
    "hard disk": r'id="USB\\VID_1058&PID_1021\\',
    "card reader": r'id="USB\\VID_058F&PID_6362\\',
    "root hub": r'id="USB\\ROOT_HUB20\\',
    "mouse": r'id="USB\\VID_046D&PID_C016\\',
}

# The Configuration Manager's results as the eject log writes them.
CR_SUCCESS = 0
CR_FAILURE = 0x13
CR_REMOVE_VETOED = 0x17


class DeviceTreeFile:
    """A tree file of tests/e2e/trees, whose nodes the tests name by a piece of
    their line's text rather than by a line number that an edit would shift."""

    def __init__(self, name: str, folder: Path = TREES):
        self.path = folder / name
        self._lines = self.path.read_text(encoding="utf-8").splitlines()

    def filled(self, folder: Path, **values: str) -> "DeviceTreeFile":
        """A copy in folder whose {NAME} fields hold values: the device names that a
        prefix gives its drives, say. Lines stay where they were."""
        text = self.path.read_text(encoding="utf-8")
        for name, value in values.items():
            text = text.replace("{" + name + "}", value.replace("\\", "\\\\").replace('"', '\\"'))
        return self._copy(folder, text)

    def renamed(self, folder: Path, names: dict[str, str]) -> "DeviceTreeFile":
        """A copy in folder in which devices carry other names (each as the tree file
        writes it, quotes escaped)."""
        text = self.path.read_text(encoding="utf-8")
        for old, new in names.items():
            text = text.replace(f'"{old}"', f'"{new}"')
        return self._copy(folder, text)

    def _copy(self, folder: Path, text: str) -> "DeviceTreeFile":
        folder.mkdir(parents=True, exist_ok=True)
        (folder / self.path.name).write_text(text, encoding="utf-8")
        return DeviceTreeFile(self.path.name, folder)

    def line_of(self, text: str) -> int:
        """The line number (from 1) of the one node whose line holds text."""
        found = [n for n, line in enumerate(self._lines, 1)
                 if text in line and not line.lstrip().startswith("#")]
        if len(found) != 1:
            raise ValueError(f"{text!r} is on lines {found} of {self.path.name}, not on one")
        return found[0]

    def parent_of(self, text: str) -> int:
        """The line number of the node right above the one whose line holds text."""
        line = self.line_of(text)
        depth = self._depth(line)
        for number in range(line - 1, 0, -1):
            if self._is_node(number) and self._depth(number) < depth:
                return number
        raise ValueError(f"the node {text!r} has no parent in {self.path.name}")

    def _is_node(self, number: int) -> bool:
        stripped = self._lines[number - 1].strip()
        return bool(stripped) and not stripped.startswith("#")

    def _depth(self, number: int) -> int:
        line = self._lines[number - 1]
        return (len(line) - len(line.lstrip(" "))) // 2


@dataclass(frozen=True)
class Eject:
    line: int
    result: int
    name: str


class EjectLog:
    """The file that the simulated tree appends one line to per eject request;
    its modification time is the moment of the last request's end."""

    def __init__(self, session: Session, name: str = "eject.log"):
        self.path = session.artifacts / name
        self.path.unlink(missing_ok=True)

    @property
    def windows_path(self) -> str:
        return windows_path(self.path)

    def entries(self) -> list[Eject]:
        if not self.path.exists():
            return []
        entries = []
        for text in self.path.read_text(encoding="utf-8").splitlines():
            line, result, name = text.split("\t", 2)
            entries.append(Eject(int(line), int(result), name))
        return entries

    def lines_and_results(self) -> list[tuple[int, int]]:
        return [(e.line, e.result) for e in self.entries()]

    def wait_for(self, count: int, timeout: float = DEFAULT_TIMEOUT) -> list[Eject]:
        """Waits until the log holds count entries; gives them."""
        return wait_until(lambda: len(self.entries()) >= count and self.entries(), timeout,
                          interval=0.02, what=f"{count} eject request(s) in the log")

    def last_write(self) -> float:
        """Unix seconds of the last append (the host's file clock, which may lag a
        real-time clock by one scheduler tick)."""
        return self.path.stat().st_mtime_ns / 1e9

    def clear(self) -> None:
        self.path.unlink(missing_ok=True)


def tree_environment(tree: DeviceTreeFile, log: EjectLog) -> dict:
    """The variables that point the device stand-in at a copy of tree of the log's
    session (an ejected device stays gone for that copy, as on a real machine) and at
    the log."""
    copy = log.path.parent / tree.path.name
    shutil.copyfile(tree.path, copy)
    SharedEjections(copy).forget()
    system_log(copy).unlink(missing_ok=True)
    return {"TOLLEVANE_DEVICE_TREE": windows_path(copy), "TOLLEVANE_EJECT_LOG": log.windows_path}


class ShellLog:
    """The stand-in's record of Quit calls: one window's listed line each."""

    def __init__(self, s):
        self.path = s.artifacts / "shell-quit.log"
        self.path.unlink(missing_ok=True)

    def lines(self):
        return self.path.read_text(encoding="utf-8").splitlines() if self.path.exists() else []

    def last_write(self):
        return self.path.stat().st_mtime_ns / 1e9

    def clear(self):
        self.path.unlink(missing_ok=True)


def shell_environment(s: Session, windows: list[str], shell_log: ShellLog) -> dict:
    """The variables that point the shell stand-in at a list of those windows and the log."""
    listed = s.artifacts / "shell-windows.txt"
    listed.write_text("\n".join(windows) + "\n", encoding="utf-8")
    return {"TOLLEVANE_SHELL_WINDOWS": windows_path(listed), "TOLLEVANE_SHELL_LOG": windows_path(shell_log.path)}


def tree_file(env: dict) -> Path:
    """The host file of the environment's tree, which a test may change as devices come and go."""
    value = env["TOLLEVANE_DEVICE_TREE"]
    if not value.startswith("Z:"):
        raise ValueError("the tree file is not a file of the host (drive Z:)")
    return Path(value[2:].replace("\\", "/"))


def system_log(tree: Path) -> Path:
    """The System log the stand-ins keep beside a tree file: one line per event 225."""
    return tree.with_name(tree.name + ".system-log")


def held_by(tree: DeviceTreeFile, folder: Path, device: str, program: str, pid: int,
            live: bool = False) -> DeviceTreeFile:
    """A copy of tree in which a program (its NT path) holds the node named device open,
    so that every eject request of it or of a node above it is vetoed; live: pid is a
    process of the prefix, which lets go when it ends."""
    lines = tree.path.read_text(encoding="utf-8").split("\n")
    number = tree.line_of(device)
    escaped = program.replace("\\", "\\\\")
    lines[number - 1] += f' vetoer="{escaped}" vetoer-pid={pid}' + (" vetoer-live" if live else "")
    return tree._copy(folder, "\n".join(lines))


def set_free(env: dict) -> None:
    """Every program lets go of the devices of the environment's tree: its vetoers go
    from the file, which the stand-in reads again."""
    copy = tree_file(env)
    text = re.sub(r' vetoer="(?:[^"\\]|\\.)*" vetoer-pid=\d+(?: vetoer-live)?', "", copy.read_text(encoding="utf-8"))
    copy.write_text(text, encoding="utf-8")
    plug_in_again(env)


def plug_in_again(env: dict) -> None:
    """Every device of the environment's tree is there again: the tree file changes
    (its time), so the stand-in forgets what was ejected from it."""
    copy = tree_file(env)
    info = copy.stat()
    os.utime(copy, ns=(info.st_atime_ns, max(time.time_ns(), info.st_mtime_ns + 1_000_000_000)))


def removal_outcome(s: Session, log: EjectLog, argument, env: dict,
                    timeout: float = QUICK_EXIT) -> tuple[int, list[tuple[int, int]]]:
    """Runs `Tollevane.exe argument` (a string, or a tuple of arguments) with every
    device plugged in; gives its exit status and eject requests (line, result)."""
    plug_in_again(env)
    log.clear()
    arguments = (argument,) if isinstance(argument, str) else tuple(argument)
    result = s.run_tollevane(*arguments, timeout=timeout, env=env)
    return result.status, log.lines_and_results()


class SharedEjections:
    """The stand-in's record of the nodes ejected from a tree file, kept beside it."""

    def __init__(self, tree: Path):
        self.path = tree.with_name(tree.name + ".gone")

    def forget(self) -> None:
        self.path.unlink(missing_ok=True)


def stamp(micros: str) -> float:
    """A helper's wall-clock stamp (Unix microseconds) as Unix seconds."""
    return int(micros) / 1e6


def stamped_events(output: str) -> list[tuple[str, float, str]]:
    """The "what<TAB>time[<TAB>detail]" lines of watchwin.exe and recordwin.exe."""
    events = []
    for line in output.splitlines():
        fields = line.split("\t")
        if len(fields) >= 2 and re.fullmatch(r"\d+", fields[1]):
            detail = fields[2] if len(fields) > 2 else ""
            events.append((fields[0], stamp(fields[1]), unescape_field(detail)))
    return events


def wait_for_output(process, text: str, timeout: float = DEFAULT_TIMEOUT) -> str:
    """Waits until a helper started in the background has printed text."""
    return wait_until(lambda: text in process.stdout and process.stdout, timeout, interval=0.02,
                      what=f"{process.name} printing {text!r}")


# ------------------------------------------------------------------ screen pixels

Pixel = tuple[int, int, int]


def screen_region(png: Path, left: int, top: int, width: int, height: int) -> list[list[Pixel]]:
    """Rows of RGB pixels of a part of a screenshot."""
    data = subprocess.run(["convert", str(png), "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                           "-depth", "8", "ppm:-"], check=True, capture_output=True, timeout=30).stdout
    magic, w, h, _, raw = data.split(maxsplit=4)
    if magic != b"P6":
        raise ValueError("ImageMagick did not give a binary PPM")
    w, h = int(w), int(h)
    return [[tuple(raw[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]


def most_common(pixels: list[Pixel]) -> Pixel:
    counts: dict[Pixel, int] = {}
    for pixel in pixels:
        counts[pixel] = counts.get(pixel, 0) + 1
    return max(counts, key=counts.get)


def menu_layout(rows: list[list[Pixel]]) -> list[str]:
    """A popup menu's picture read as its rows of entries: "text" for a band of
    dark glyph rows, "separator" for a grey line across the menu."""
    inner = [row[2:-2] for row in rows[2:-2]]  # without the frame
    background = most_common([p for row in inner for p in row])
    layout: list[str] = []
    previous = "blank"
    for row in inner:
        differing = [p for p in row if p != background]
        dark = [p for p in differing if max(p) < 100]
        if len(differing) > 0.8 * len(row) and not dark:
            kind = "separator"
        elif dark:
            kind = "text"
        else:
            kind = "blank"
        if kind != previous and kind != "blank":
            layout.append(kind)
        previous = kind
    return layout


def wait_a_moment_for(condition, seconds: float) -> Optional[object]:
    """condition() if it comes true within seconds, else None: for things that
    must not happen, watched for a while."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return None
