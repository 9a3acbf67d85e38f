"""Figures of the resident program under Wine, for reports (nothing is asserted;
`make test` runs it once with small numbers, tools/smoke.py):

- the time from a hotkey press (SendInput in another process) to the eject
  request's line landing in the simulated tree's log, over a number of presses,
  the card plugged in again before each;
- the memory (resident set, from /proc) and processor time of Tollevane.exe over
  a stretch of idling, beside a minimal Win32 program with one hidden window
  (helpers/hiddenwin.exe) under the same Wine.

    python3 tools/measure_resident.py [--presses 20] [--idle 60] [--version xp]

Runs build/win32, or build/win64 with TOLLEVANE_E2E_ARCH=win64 (the program and the
helpers must be built).
"""

from __future__ import annotations

import ctypes
import os
import queue
import statistics
import sys
import threading
import time
from pathlib import Path

import toolbox
import harness
from driver import removal_count, timed_press
from resident_figures import HOTKEY, KEY, cpu_seconds, find_process, memory_kib, start_card_resident, thread_count
from simulated_devices import EjectLog, plug_in_again
from wine_host import ARCH


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
        try:
            return self._appends.get(timeout=timeout)
        except queue.Empty:
            raise TimeoutError(f"no eject request within {timeout} s of the press") from None


def press_to_eject(s: harness.Session, log: EjectLog, env: dict, presses: int) -> list[float]:
    log.path.touch()
    watch = AppendWatch(log.path)
    latencies = []
    for n in range(1, presses + 1):
        # An ejected card stays gone, as on a real machine: without this the press
        # finds nothing to eject and no request ever lands.
        plug_in_again(env)
        pressed = timed_press(s, HOTKEY)
        appended = watch.next_append(10)
        if len(log.entries()) != n:
            raise harness.HarnessError(f"expected {n} eject requests, the log holds {log.entries()}")
        latencies.append(appended - pressed)
        # The count is written after the request: the program is idle again once it
        # is there, so the next press is not dropped as a press during a removal.
        harness.wait_until(lambda: removal_count(s, KEY) == str(n), 10, interval=0.02, what=f"count {n}")
        time.sleep(0.2)
    return latencies


def print_latencies(latencies: list[float], version: str) -> None:
    ms = sorted(1000 * x for x in latencies)
    # The 95th percentile by the inclusive method: with 20 presses, between the two slowest.
    p95 = statistics.quantiles(ms, n=20, method="inclusive")[-1] if len(ms) > 1 else ms[0]
    print(f"Hotkey press to eject request ({len(ms)} presses, Windows {version}, {ARCH}):")
    print(f"  median {statistics.median(ms):.1f} ms, 95th percentile {p95:.1f} ms, "
          f"min {ms[0]:.1f} ms, max {ms[-1]:.1f} ms")
    print("  all: " + ", ".join(f"{x:.1f}" for x in ms))


def print_idle_figures(s: harness.Session, processes: dict[str, int], idle: float) -> None:
    """Both programs idle side by side for the same stretch."""
    print(f"Idling for {idle:.0f} s (resident set in KiB, processor time of the process):")
    before = {name: (cpu_seconds(pid), memory_kib(pid)) for name, pid in processes.items()}
    time.sleep(idle)
    for name, pid in processes.items():
        cpu, memory = before[name]
        now = memory_kib(pid)
        used = cpu_seconds(pid) - cpu
        print(f"  {name:14} RSS {memory['VmRSS']:6d} -> {now['VmRSS']:6d} "
              f"(anonymous {now.get('RssAnon', 0)}, file-backed {now.get('RssFile', 0)}), "
              f"virtual {now['VmSize']}, CPU {1000 * used:.1f} ms = {100 * used / idle:.4f} %, "
              f"threads {thread_count(pid)}")
    sizes = {p.name: p.stat().st_size for p in (s.config.exe, s.config.helpers / "hiddenwin.exe")}
    print("  program files: " + ", ".join(f"{k} {v // 1024} KiB" for k, v in sizes.items()))


def main() -> int:
    parser = toolbox.argument_parser(__doc__, "xp")
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--idle", type=float, default=60)
    args = toolbox.parse_arguments(parser)

    with harness.Session("measure_resident", args.version) as s:
        _, log, env = start_card_resident(s)
        s.start(s.config.helpers / "hiddenwin.exe")
        processes = {name: find_process(s, name) for name in ("Tollevane.exe", "hiddenwin.exe")}
        print_latencies(press_to_eject(s, log, env, args.presses), args.version)
        print_idle_figures(s, processes, args.idle)
    return 0


if __name__ == "__main__":
    sys.exit(main())
