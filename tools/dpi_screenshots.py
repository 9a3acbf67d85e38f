"""Screenshots of every window of the program at a given screen scale, to look at:
the tray icon and its two menus (the eject menu on the Windows 10 machine), the four pages of the settings sheet (with a present and
an absent registration), the hotkey entry dialog, the wait dialog, the forced-stop
question, the message of a removal that a program vetoes and the exit question. `make test` takes one scale's pictures once
(tools/smoke.py).

    python3 tools/dpi_screenshots.py --out DIR [--dpi 96 144] [--english]

Each picture is DIR/<dpi>/<window>.png. --english takes them on an English Windows. Runs build/win32, or build/win64 with
TOLLEVANE_E2E_ARCH=win64.
"""

from __future__ import annotations

import argparse
import sys
import time
from pathlib import Path

import toolbox
import driver
import harness
import texts
from formats import Entry
from simulated_devices import MACHINES, DeviceTreeFile, EjectLog, held_by, tree_environment
from texts import DIALOG_CLASS, ID_EXIT, MENU_CLASS, PROGRAM, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN

DEVICES = DeviceTreeFile("resident_devices.tree")
SLOW = "Long Disk USB Device"  # its removal takes long enough for the wait dialog to show
HELD = "Quick Stick USB Device"  # a program holds it: its removal is vetoed
# A window has painted some time after it is there; nothing tells a program when.
PAINT = 0.5
# The Unix locale of the sessions: Japanese unless --english.
LANG = None


def shoot(dpi: int, out: Path) -> list[Path]:
    out.mkdir(parents=True, exist_ok=True)
    taken = []
    with harness.Session(f"dpi-{dpi}", "10", desktop=True, lang=LANG) as s:
        def shot(name: str) -> None:
            taken.append(s.screenshot(out / f"{name}.png"))

        s.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi))
        held = held_by(DEVICES, s.artifacts / "tree", HELD, r"\Device\HarddiskVolume3\Windows\notepad.exe", 4242)
        resident = driver.start_resident(
            s, {"001": Entry(SLOW, "ctrl+alt+f5"), "002": Entry("Missing Card", "ctrl+alt+f6", kind=0x02, times=12),
                "003": Entry(HELD, "ctrl+alt+f7")},
            env=tree_environment(held, EjectLog(s)))
        shot("desktop-tray")

        resident.tray(WM_RBUTTONDOWN)
        s.wait_window(class_name=MENU_CLASS, visible=True, timeout=10)
        shot("tray-menu")
        s.press("esc")
        s.wait_window_gone(class_name=MENU_CLASS, timeout=10)

        resident.tray(WM_LBUTTONDBLCLK)
        sheet = driver.Sheet.wait(s)
        for index in reversed(range(len(texts.PAGE_CAPTIONS))):
            sheet.show(index)
            time.sleep(PAINT)
            shot(f"sheet-page{index}")
        page = sheet.device_list()
        dialog = page.open_dialog(page.texts()[0])
        time.sleep(PAINT)
        shot("hotkey-dialog")
        dialog.cancel()
        sheet.close()
        s.wait_hotkeys_taken(["ctrl+alt+f5"], timeout=15)

        s.press("ctrl+alt+f5")
        s.wait_window(title=PROGRAM, class_name=DIALOG_CLASS, visible=True, timeout=15)
        time.sleep(PAINT)
        shot("wait-dialog")
        s.press("esc")
        s.message_box(title=texts.CONFIRM_CAPTION, timeout=10)
        time.sleep(PAINT)
        shot("force-stop-question")
        s.answer("yes", title=texts.CONFIRM_CAPTION)
        s.wait_window_gone(title=PROGRAM, class_name=DIALOG_CLASS, timeout=15)

        s.press("ctrl+alt+f7")
        s.message_box(title=texts.ERROR_CAPTION, timeout=15)
        time.sleep(PAINT)
        shot("veto-message")
        s.answer("cancel", title=texts.ERROR_CAPTION)

        resident.command(ID_EXIT)
        s.message_box(title=texts.CONFIRM_CAPTION, timeout=10)
        time.sleep(PAINT)
        shot("exit-question")
        s.answer("no", title=texts.CONFIRM_CAPTION)
    return taken


def shoot_eject_menu(dpi: int, out: Path) -> list[Path]:
    """The left click's menu on the Windows 10 machine: a registered stick with its drive
    and label, the all-storage entry and the other devices."""
    out.mkdir(parents=True, exist_ok=True)
    with harness.Session(f"dpi-eject-{dpi}", "10", desktop=True, lang=LANG) as s:
        s.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi))
        folders = s.map_drives("E")
        (folders["E"] / ".windows-label").write_text("写真", encoding="utf-8")
        machine = DeviceTreeFile("windows10-ja.tree", MACHINES)
        resident = driver.start_resident(s, {"001": Entry("SanDisk Ultra USB Device", "ctrl+alt+f5", times=4)},
                                         env=tree_environment(machine, EjectLog(s)))
        resident.click_tray()
        driver.wait_menu(s)
        time.sleep(PAINT)
        picture = s.screenshot(out / "eject-menu.png")
        s.press("esc")
        return [picture]


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", required=True)
    parser.add_argument("--dpi", type=int, nargs="+", default=[96, 144])
    parser.add_argument("--english", action="store_true")
    args = parser.parse_args()
    if args.english:
        global LANG
        LANG = "C.UTF-8"
        # The driver reads the captions it waits for from here.
        texts.PAGE_CAPTIONS = texts.PAGE_CAPTIONS_EN
        texts.ERROR_CAPTION, texts.CONFIRM_CAPTION = texts.ERROR_CAPTION_EN, texts.CONFIRM_CAPTION_EN
        texts.HOTKEY_DIALOG_CAPTION = texts.HOTKEY_DIALOG_CAPTION_EN
    toolbox.exit_unless_host_runs_wine()
    for dpi in args.dpi:
        pictures = shoot(dpi, Path(args.out) / str(dpi)) + shoot_eject_menu(dpi, Path(args.out) / str(dpi))
        print(f"{dpi} dpi: {len(pictures)} pictures: " + ", ".join(p.name for p in pictures), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
