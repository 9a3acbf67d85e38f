"""The tray icon's eject menu under Wine, on the Windows 10 machine: a single left click
lists what can be removed now (registered devices with their hotkeys, the all-storage
entry, the rest of what the device list offers; drive letters and volume labels), and
choosing an item removes it as its hotkey would; a double click opens the sheet (the
menu's default item) and ejects nothing; during a removal the click brings the wait dialog forward."""

import re
import time
import unittest

import driver
import harness
from driver import MenuItem, foreground, last_menu_items, menus_shown, other_window_in_front, removal_count, wait_menu
from harness import Entry
from simulated_devices import (CR_SUCCESS, MACHINES, DeviceTreeFile, EjectLog, menu_layout, screen_region,
                               tree_environment, wait_a_moment_for)
from texts import ALL_STORAGE_VISTA, DIALOG_CLASS, NOTHING_TO_REMOVE, PROGRAM

MACHINE = DeviceTreeFile("windows10-ja.tree", MACHINES)
STICK = "SanDisk Ultra USB Device"
STICK_NODE = r'id="USB\\VID_0781&PID_5581\\'
DISK = "WD Elements 25A2 USB Device"
TRACE = {"WINEDEBUG": "trace+menu"}
LONGEST_DOUBLE_CLICK_MS = 5000
SHEET_ITEM = MenuItem("ホットキー設定(&S)", False)
# The menu trace of the default item (the first), and of the rectangle the menu keeps clear of.
DEFAULT_AND_CLEAR = re.compile(r"NtUserSetMenuDefaultItem \(\w+,1,0\).*?NtUserTrackPopupMenuEx [^\n]*"
                               r"rect \((-?\d+),(-?\d+)\)-\((-?\d+),(-?\d+)\)", re.S)

UAS = "SanDisk Extreme SSD SCSI Disk Device"
UAS_NODE = r'id="USB\\VID_0781&PID_558C\\'
# What the machine offers for USB beside the stick and the all-storage entry, in listing
# order; the UAS SSD sits among the SCSI adapters, swept after the USB class, and the
# disk on the eSATA port, removable itself, comes last with the hot-plug disks.
OTHERS = [DISK, "Generic- SD/MMC USB Device", "Generic- Compact Flash USB Device",
          "Generic- SM/xD-Picture USB Device", "Generic- MS/MS-Pro USB Device",
          "Samsung Flash Drive FIT USB Device", "MBED VFS USB Device", "mbed Serial Port (COM3)",
          "USB 入力デバイス", "Galaxy S10", UAS, "HGST HMS5C4040BLE640"]


class EjectMenu(harness.TestCase):

    def open_menu(self, s, resident, picture: str = "eject-menu") -> list[MenuItem]:
        """The menu's items below its default item, the sheet, and the separator."""
        resident.click_tray()
        handle = wait_menu(s)
        sheet, *items = last_menu_items(resident.process)
        # The picture shows a dark row for each item the program built to be chosen
        # (a greyed one is drawn in grey).
        shot = s.screenshot(s.artifacts / f"{picture}.png")
        left, top, right, bottom = next(w.rect for w in menus_shown(s) if w.handle == handle)
        self.assertEqual(menu_layout(screen_region(shot, left, top, right - left, bottom - top)),
                         ["text", "separator"] + ["text" for item in items if not item.greyed])
        # In bold, and out of reach of a double click's second click, which lands beside the menu.
        x0, y0, x1, y1 = (int(n) for n in DEFAULT_AND_CLEAR.findall(resident.process.stderr)[-1])
        self.assertEqual((sheet, right <= x0 or left >= x1 or bottom <= y0 or top >= y1), (SHEET_ITEM, True))
        return items

    def choose(self, s, index: int) -> None:
        """The item at index, by the keyboard: Down highlights the sheet's item, then the first."""
        s.press(*(["down"] * (index + 2)), "enter")
        s.wait_window_gone(class_name="#32768", timeout=10)

    def test_left_click_lists_the_devices_and_removes_the_chosen_one_as_its_hotkey_would(self):
        with self.session("10", desktop=True) as s:
            folders = s.map_drives("E")
            (folders["E"] / ".windows-label").write_text("写真", encoding="utf-8")
            log = EjectLog(s)
            resident = driver.start_resident(s, {"001": Entry(STICK, "ctrl+alt+f5", times=4)},
                                             env={**tree_environment(MACHINE, log), **TRACE})

            items = self.open_menu(s, resident)
            self.assertEqual(items, [MenuItem(f"{STICK} (E: 写真)\tCtrl + Alt + F5", False),
                                     MenuItem(ALL_STORAGE_VISTA, False)] + [MenuItem(n, False) for n in OTHERS])
            self.choose(s, 0)
            log.wait_for(1)
            self.assertEqual(log.lines_and_results(), [(MACHINE.line_of(STICK_NODE), CR_SUCCESS)])
            driver.wait_removal_count(s, "001", 5)

            # Built anew: the stick has gone, and a device without a registration counts nowhere.
            items = self.open_menu(s, resident, "eject-menu-again")
            self.assertEqual([i.text for i in items], [ALL_STORAGE_VISTA] + OTHERS)
            self.choose(s, [ALL_STORAGE_VISTA, *OTHERS].index(UAS))
            ejects = log.wait_for(2)
            self.assertEqual((ejects[1].line, ejects[1].result), (MACHINE.line_of(UAS_NODE), CR_SUCCESS))
            harness.wait_until(lambda: not [w for w in s.windows() if w.visible and w.class_name == DIALOG_CLASS],
                               5, what="no message")
            self.assertEqual(s.read_settings().get("REJECT_TIMES"), {"001": "5"})
            self.assertNothingVisible(s)

    def test_double_click_opens_the_sheet_and_no_menu(self):
        with self.session("10") as s:
            # The longest double-click time the system allows: the test's clicks, each
            # posted by a program of its own, arrive well within it even on a loaded machine.
            s.reg_add(r"HKCU\Control Panel\Mouse", "DoubleClickSpeed", "REG_SZ", str(LONGEST_DOUBLE_CLICK_MS))
            log = EjectLog(s)
            resident = driver.start_resident(s, {}, env=tree_environment(MACHINE, log))
            # The first click's menu is open when the second click comes, and closes.
            resident.double_click_tray()
            sheet = driver.Sheet.wait(s)
            self.assertIsNone(wait_a_moment_for(lambda: menus_shown(s), 2.0), "no menu after the double click")
            self.assertEqual(log.lines_and_results(), [], "nothing ejected")
            # While the sheet is open a single click brings it forward and opens nothing.
            resident.click_tray()
            self.assertIsNone(wait_a_moment_for(lambda: menus_shown(s), 2.0))
            sheet.close()

            # A single click opens the menu at once, not after the double-click time.
            clicked = time.monotonic()
            resident.click_tray()
            wait_menu(s, timeout=LONGEST_DOUBLE_CLICK_MS / 1000 + 10)
            self.assertLess(time.monotonic() - clicked, LONGEST_DOUBLE_CLICK_MS / 1000 - 0.5)
            s.press("esc")

    def test_nothing_to_remove_is_one_greyed_item_that_chooses_nothing(self):
        with self.session("10", desktop=True) as s:
            log = EjectLog(s)
            # No tree file: the device stand-in answers with an empty tree.
            resident = driver.start_resident(s, {}, env={"TOLLEVANE_EJECT_LOG": log.windows_path, **TRACE})
            self.assertEqual(self.open_menu(s, resident), [MenuItem(NOTHING_TO_REMOVE, True)])
            s.press("down", "down", "enter")
            harness.wait_until(lambda: not menus_shown(s), 10, what="the menu closed")
            self.assertEqual(log.lines_and_results(), [])

    def test_during_a_removal_the_click_brings_the_wait_dialog_forward(self):
        long_disk = "Long Disk USB Device"  # its removal takes 20 s
        with self.session("xp", desktop=True) as s:
            env = tree_environment(DeviceTreeFile("resident_devices.tree"), EjectLog(s))
            resident = driver.start_resident(s, {"001": Entry(long_disk, "ctrl+alt+f5")}, env=env)
            s.press("ctrl+alt+f5")
            dialog = s.wait_window(title=PROGRAM, class_name=DIALOG_CLASS, visible=True, timeout=15)
            other_window_in_front(s, "メモ帳")
            resident.click_tray()
            harness.wait_until(lambda: foreground(s) == dialog, 10, what="wait dialog in front")
            self.assertIsNone(wait_a_moment_for(lambda: menus_shown(s), 1.5))
            self.assertEqual(removal_count(s, "001"), "0")


if __name__ == "__main__":
    unittest.main()
