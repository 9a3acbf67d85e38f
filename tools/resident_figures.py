"""What the measuring tools share: the program resident with one card on one hotkey,
and a Windows process's figures as Linux sees them (/proc)."""

from __future__ import annotations

from pathlib import Path

import toolbox  # noqa: F401  (the end-to-end layer on the import path)
import driver
import harness
from formats import Entry
from simulated_devices import DeviceTreeFile, EjectLog, tree_environment
from wine_host import prefix_processes

DEVICES = DeviceTreeFile("resident_devices.tree")
CARD = "RATOC REX-CFU1 CompactFlash PC Card"  # ejects at once
HOTKEY = "ctrl+alt+f5"
KEY = "001"


def start_card_resident(s: harness.Session, app: dict | None = None) -> tuple[driver.Resident, EjectLog, dict]:
    """The program resident on the device tree with the card on HOTKEY, held; gives
    the program, the eject log and the program's environment."""
    log = EjectLog(s)
    env = tree_environment(DEVICES, log)
    return driver.start_resident(s, {KEY: Entry(CARD, HOTKEY, kind=0x02)}, app, env=env), log, env


def find_process(s: harness.Session, image: str) -> int:
    """The Linux process id of a Windows program running in the session."""
    def found():
        for pid in prefix_processes(s.prefix):
            try:
                program = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0]
            except OSError:
                continue
            # A Windows path for programs in the prefix, a Unix one for the helpers.
            if program.replace(b"\\", b"/").lower().endswith(b"/" + image.lower().encode()):
                return pid
        return None
    return harness.wait_until(found, 20, what=f"{image} running")


def memory_kib(pid: int) -> dict[str, int]:
    values = {}
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        key, _, rest = line.partition(":")
        if key in ("VmRSS", "RssAnon", "RssFile", "VmSize"):
            values[key] = int(rest.split()[0])
    return values


def thread_count(pid: int) -> int:
    return len(list(Path(f"/proc/{pid}/task").iterdir()))


def cpu_seconds(pid: int) -> float:
    """Processor time of all the process's threads, from the scheduler's
    nanosecond counters (the tick counts of /proc/PID/stat are 10 ms coarse)."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, IndexError, ValueError):
            continue  # a thread that ended meanwhile
    return total / 1e9
