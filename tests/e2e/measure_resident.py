"""Figures of the resident program under Wine, for reports (no test: nothing is
asserted, and CTest does not run it):

- the time from a hotkey press (SendInput in another process) to the eject
  request's line landing in the simulated tree's log, over a number of presses;
- the memory (resident set, from /proc) and processor time of Tollevane.exe over
  a stretch of idling, beside a minimal Win32 program with one hidden window
  (helpers/hiddenwin.exe) under the same Wine.

    python3 tests/e2e/measure_resident.py [--presses 20] [--idle 60] [--version xp]

Uses build/win32 (Tollevane.exe and the helpers must be built).
"""

from __future__ import annotations

import argparse
import ctypes
import os
import queue
import statistics
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import Entry, settings_text  # noqa: E402
from simulated_devices import DeviceTreeFile, EjectLog, stamp, tree_environment  # noqa: E402
from wine_host import prefix_processes  # noqa: E402

DEVICES = DeviceTreeFile("resident_devices.tree")
CARD = "RATOC REX-CFU1 CompactFlash PC Card"  # ejects at once
HOTKEY = "ctrl+alt+f5"


def find_process(session: harness.Session, image: str) -> int:
    """The Linux process id of a Windows program running in the session."""
    def found():
        for pid in prefix_processes(session.prefix):
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


class AppendWatch:
    """The moment each append to a file lands, from inotify, read by a thread that
    waits on it all along: the file's own time comes from the kernel's coarse
    clock, whose ticks are longer than what is measured here."""

    IN_MODIFY = 0x2

    def __init__(self, path: Path):
        libc = ctypes.CDLL(None, use_errno=True)
        self._fd = libc.inotify_init1(os.O_CLOEXEC)
        if self._fd < 0 or libc.inotify_add_watch(self._fd, os.fsencode(path), self.IN_MODIFY) < 0:
            raise OSError(ctypes.get_errno(), f"inotify on {path}")
        self._appends: queue.Queue[float] = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self) -> None:
        while True:
            os.read(self._fd, 4096)
            self._appends.put(time.time())

    def next_append(self, timeout: float) -> float:
        return self._appends.get(timeout=timeout)


def press_to_eject(session: harness.Session, log: EjectLog, presses: int) -> list[float]:
    log.path.touch()
    watch = AppendWatch(log.path)
    latencies = []
    for n in range(1, presses + 1):
        result = session.helper("timedpress", HOTKEY)
        if result.status != 0:
            raise harness.HarnessError(result.stderr)
        pressed = stamp(result.stdout.strip())
        appended = watch.next_append(10)
        if len(log.entries()) != n:
            raise harness.HarnessError(f"expected {n} eject requests, the log holds {log.entries()}")
        latencies.append(appended - pressed)
        # The count is written after the request: the program is idle again once
        # it is there, so the next press is not dropped as a press during a removal.
        harness.wait_until(lambda: session.read_settings().get("REJECT_TIMES", {}).get("001") == str(n), 10,
                           interval=0.02, what=f"count {n}")
        time.sleep(0.2)
    return latencies


def start_card_resident(session: harness.Session, app: dict | None = None) -> tuple[EjectLog, dict, str]:
    """The program resident on the device tree with the card on HOTKEY, held; gives
    the eject log, the program's environment and its main window."""
    log = EjectLog(session)
    session.write_settings(settings_text({"STARTUP": 0, **(app or {})}, {"001": Entry(CARD, HOTKEY, kind=0x02)}))
    env = tree_environment(DEVICES, log)
    session.start_tollevane(env=env)
    main_window = session.wait_window(title="Tollevane", class_name="Tollevane")
    harness.wait_until(lambda: session.hotkey_taken(HOTKEY), 20, what="hotkey held")
    return log, env, main_window


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--idle", type=float, default=60)
    parser.add_argument("--version", default="xp", choices=["2000", "xp", "vista", "10"])
    args = parser.parse_args()

    with harness.Session("measure_resident", args.version) as session:
        log, _, _ = start_card_resident(session)
        session.start(session.config.helpers / "hiddenwin.exe")
        tollevane = find_process(session, "Tollevane.exe")
        hidden = find_process(session, "hiddenwin.exe")

        latencies = press_to_eject(session, log, args.presses)
        ms = sorted(1000 * x for x in latencies)
        print(f"Hotkey press to eject request ({args.presses} presses, Windows {args.version}):")
        print(f"  median {statistics.median(ms):.1f} ms, min {ms[0]:.1f} ms, max {ms[-1]:.1f} ms")
        print("  all: " + ", ".join(f"{x:.1f}" for x in ms))

        # Both programs idle side by side for the same stretch.
        time.sleep(2)
        print(f"Idling for {args.idle:.0f} s (resident set in KiB, processor time of the process):")
        before = {name: (cpu_seconds(pid), memory_kib(pid)) for name, pid in
                  (("Tollevane.exe", tollevane), ("hiddenwin.exe", hidden))}
        time.sleep(args.idle)
        for name, pid in (("Tollevane.exe", tollevane), ("hiddenwin.exe", hidden)):
            cpu, memory = before[name]
            now = memory_kib(pid)
            used = cpu_seconds(pid) - cpu
            print(f"  {name:14} RSS {memory['VmRSS']:6d} -> {now['VmRSS']:6d} "
                  f"(anonymous {now.get('RssAnon', 0)}, file-backed {now.get('RssFile', 0)}), "
                  f"virtual {now['VmSize']}, CPU {1000 * used:.1f} ms = {100 * used / args.idle:.4f} %, "
                  f"threads {len(list(Path(f'/proc/{pid}/task').iterdir()))}")
        sizes = {p.name: p.stat().st_size for p in (session.config.exe, session.config.helpers / "hiddenwin.exe")}
        print("  program files: " + ", ".join(f"{k} {v // 1024} KiB" for k, v in sizes.items()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
