"""How long the settings sheet's OK takes to save 256 registrations, under Wine, for
reports (nothing is asserted):

    python3 tools/measure_settings_save.py [--saves 5] [--version 10]

The file is written first in another order of sections than a save writes, so that
every OK rewrites it. Two figures a save: from the OK click posted to the sheet gone,
and from the first change in the settings folder to the last (the writing itself).

Runs build/win32, or build/win64 with TOLLEVANE_E2E_ARCH=win64; TOLLEVANE_EXE names
another Tollevane.exe (an earlier build, to compare).
"""

from __future__ import annotations

import statistics
import sys
import time

import toolbox
import driver
import harness
from formats import Entry, settings_text
from harness import wait_until
from texts import ID_SETTINGS, IDOK
from wine_host import ARCH

ENTRIES = {f"{n:03}": Entry(f"デバイス {n:03}", "AAAAAAAA", times=n) for n in range(1, 257)}


def one_save(s: harness.Session) -> tuple[float, float]:
    s.write_settings(settings_text({"STARTUP": 0}, ENTRIES))
    resident = driver.Resident.start(s)
    sheet = resident.open_sheet(ID_SETTINGS)
    page = sheet.device_list()
    wait_until(lambda: len(page.rows()) >= len(ENTRIES), timeout=60, what="the rows listed")
    changes = driver.FolderChanges(s.settings_dir)
    clicked = time.monotonic()
    sheet.click(IDOK)
    sheet.wait_gone(timeout=120)
    gone = time.monotonic()
    changes.wait()
    resident.process.kill()
    return 1000 * (gone - clicked), 1000 * (changes.last - changes.first)


def print_figures(what: str, ms: list[float]) -> None:
    ms = sorted(ms)
    print(f"  {what}: median {statistics.median(ms):.0f} ms, min {ms[0]:.0f} ms, max {ms[-1]:.0f} ms")


def main() -> int:
    parser = toolbox.argument_parser(__doc__, "10")
    parser.add_argument("--saves", type=int, default=5)
    args = toolbox.parse_arguments(parser)
    with harness.Session("measure_settings_save", args.version) as s:
        figures = [one_save(s) for _ in range(args.saves)]
        print(f"Saving {len(ENTRIES)} registrations ({args.saves} saves, Windows {args.version}, {ARCH},"
              f" {s.config.exe}):")
        print_figures("OK to the sheet gone", [ok for ok, _ in figures])
        print_figures("first to last change of the file", [written for _, written in figures])
    return 0


if __name__ == "__main__":
    sys.exit(main())
