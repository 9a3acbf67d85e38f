"""A soak run of the resident program under Wine, for reports (nothing is asserted;
`make test` runs it once with small numbers, tools/smoke.py): one resident run with
many hotkey removals and many openings and closings of the settings sheet, with the
process's figures before and after. What Windows reports of another process comes
from helpers/procstats.exe (handle count, GDI and USER objects, private bytes,
working set); the Linux side from /proc (resident set, anonymous memory). A figure
that grows from the first round of the loop to the last points at a leak; the
one-time growth of the first round (lazy initialisation in the program and in Wine)
is kept apart by a warm-up round.

    python3 tools/soak_resident.py [--removals 300] [--sheets 30] [--version 10]

Runs build/win32, or build/win64 with TOLLEVANE_E2E_ARCH=win64 (the program and the
helpers must be built).
"""

from __future__ import annotations

import sys
import time
from pathlib import Path

import toolbox
import driver
import harness
from resident_figures import HOTKEY, KEY, find_process, memory_kib, start_card_resident, thread_count
from simulated_devices import plug_in_again
from texts import ID_VERSION, IDCANCEL
from wine_host import ARCH

FIELDS = ("pid", "handles", "sys handles", "gdi", "user", "private", "working set")


def windows_figures(s: harness.Session) -> dict[str, str]:
    result = s.helper("procstats", "Tollevane.exe")
    if result.status != 0:
        raise harness.HarnessError(f"procstats: {result.stderr.strip()}")
    return dict(zip(FIELDS, result.stdout.strip().split("\t")))


def figures(s: harness.Session, pid: int) -> dict[str, str]:
    shown = windows_figures(s)
    memory = memory_kib(pid)
    shown["RSS KiB"] = str(memory["VmRSS"])
    shown["anon KiB"] = str(memory.get("RssAnon", 0))
    # Wine keeps Windows handles in its server; these are the process's own on Linux.
    shown["unix fds"] = str(len(list(Path(f"/proc/{pid}/fd").iterdir())))
    shown["threads"] = str(thread_count(pid))
    return shown


def remove_once(s: harness.Session, env: dict, n: int) -> None:
    plug_in_again(env)
    s.press(HOTKEY)
    driver.wait_removal_count(s, KEY, n, timeout=20)


def open_and_close_sheet(s: harness.Session, resident: driver.Resident) -> None:
    resident.open_sheet(ID_VERSION).close(IDCANCEL)
    # The hotkeys are held again once the sheet has gone.
    s.wait_hotkeys_taken([HOTKEY])


def print_figures(rows: list[tuple[str, dict[str, str]]]) -> None:
    keys = [k for k in rows[0][1] if k != "pid"]
    print(f"{'':28}" + "".join(f"{k:>14}" for k in keys))
    for label, values in rows:
        print(f"{label:28}" + "".join(f"{values[k]:>14}" for k in keys))


def main() -> int:
    parser = toolbox.argument_parser(__doc__, "10")
    parser.add_argument("--removals", type=int, default=300)
    parser.add_argument("--sheets", type=int, default=30)
    args = toolbox.parse_arguments(parser)

    with harness.Session("soak_resident", args.version) as s:
        resident, log, env = start_card_resident(s, {"DISP_MESSAGE": 0})
        pid = find_process(s, "Tollevane.exe")

        rows = [("started", figures(s, pid))]
        removed = 0
        # Warm-up: one removal and one sheet, so that first-use allocations are not
        # mistaken for growth.
        removed += 1
        remove_once(s, env, removed)
        open_and_close_sheet(s, resident)
        rows.append(("after warm-up", figures(s, pid)))

        started = time.monotonic()
        per_sheet = max(1, args.removals // max(1, args.sheets))
        sheets = 0
        for n in range(args.removals):
            removed += 1
            remove_once(s, env, removed)
            if (n + 1) % per_sheet == 0 and sheets < args.sheets:
                open_and_close_sheet(s, resident)
                sheets += 1
            if n + 1 == args.removals // 2:
                rows.append((f"after {n + 1} removals", figures(s, pid)))
        while sheets < args.sheets:
            open_and_close_sheet(s, resident)
            sheets += 1
        rows.append((f"after {args.removals} + {sheets} sheets", figures(s, pid)))

        if len(log.entries()) != removed:
            raise harness.HarnessError(f"{removed} removals, {len(log.entries())} eject requests")
        print(f"Soak: {args.removals} hotkey removals and {sheets} sheet openings and closings "
              f"after a warm-up, Windows {args.version}, {ARCH}, {time.monotonic() - started:.0f} s")
        print_figures(rows)
        print("(handles, gdi, user, private and working set are what procstats.exe gets from Windows'\n"
              " calls; a 0 there means the call answered without counting: Wine does. sys handles\n"
              " counts the process's entries in the system handle table)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
