"""How long the eject menu takes to appear after a left click on the tray icon, under
Wine, for reports (nothing is asserted):

    python3 tools/measure_eject_menu.py [--clicks 10] [--version 10]

Each click is the press and the release that the shell sends (WM_TRAYNOTIFY with
WM_LBUTTONDOWN, then WM_LBUTTONUP, each posted by a helper). Both ends are read from the
program's own Wine trace, on one clock: the moment its message loop took the click's
message (trace+msg) and the moment the menu window was shown (trace+menu, show_popup).
The release ends the click; the press is given too, as the helper that posts the
release starts some way after it. The menu is closed with Esc before the next click.

Runs build/win32, or build/win64 with TOLLEVANE_E2E_ARCH=win64; TOLLEVANE_EXE names
another Tollevane.exe (an earlier build, to compare).
"""

from __future__ import annotations

import re
import statistics
import sys
import time

import toolbox
import driver
import harness
import texts
from simulated_devices import MACHINES, DeviceTreeFile, EjectLog, tree_environment
from wine_host import ARCH

TRACE = {"WINEDEBUG": "+timestamp,trace+msg,trace+menu"}
_CLICK = re.compile(r"^(\d+\.\d+):\w+:trace:msg:peek_message got type \d+ msg %x \S+ hwnd \w+ wp \w+ lp (\w+)$"
                    % texts.WM_TRAYNOTIFY, re.M)
_SHOWN = re.compile(r"^(\d+\.\d+):\w+:trace:menu:show_popup ", re.M)


def one_click(s: harness.Session, resident: driver.Resident) -> tuple[float, float]:
    """Milliseconds from the press and from the release to the menu shown."""
    seen = len(resident.process.stderr)
    resident.click_tray()
    driver.wait_menu(s)
    s.press("esc")
    s.wait_window_gone(class_name=texts.MENU_CLASS, timeout=10)
    trace = resident.process.stderr[seen:]
    clicks = {int(lp, 16): float(stamp) for stamp, lp in _CLICK.findall(trace)}
    shown = float(_SHOWN.search(trace).group(1))
    return 1000 * (shown - clicks[texts.WM_LBUTTONDOWN]), 1000 * (shown - clicks[texts.WM_LBUTTONUP])


def print_figures(what: str, ms: list[float]) -> None:
    ms = sorted(ms)
    print(f"  {what}: median {statistics.median(ms):.0f} ms, min {ms[0]:.0f} ms, max {ms[-1]:.0f} ms"
          f" ({', '.join(f'{x:.0f}' for x in ms)})")


def main() -> int:
    parser = toolbox.argument_parser(__doc__, "10")
    parser.add_argument("--clicks", type=int, default=10)
    args = toolbox.parse_arguments(parser)

    with harness.Session("measure_eject_menu", args.version, desktop=True) as s:
        env = {**tree_environment(DeviceTreeFile("windows10-ja.tree", MACHINES), EjectLog(s)), **TRACE}
        resident = driver.start_resident(s, {}, env=env)
        figures = []
        for _ in range(args.clicks):
            figures.append(one_click(s, resident))
            time.sleep(1)  # well past the double-click time
        print(f"Tray click to eject menu ({args.clicks} clicks, Windows {args.version}, {ARCH}, {s.config.exe}):")
        print_figures("from the release", [release for _, release in figures])
        print_figures("from the press  ", [press for press, _ in figures])
        print_figures("press to release (the posting helpers' gap)", [p - r for p, r in figures])
    return 0


if __name__ == "__main__":
    sys.exit(main())
