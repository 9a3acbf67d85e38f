"""The device list page and the hotkey entry dialog under Wine, on a simulated device
tree: the rows a user sees, setting, releasing and deleting hotkeys, the refusals,
the update of devices, and what OK and Cancel leave in the settings file."""

import unittest
from typing import Optional

import driver
import harness
from driver import Row
from formats import Entry, hotkey_letters
from harness import wait_until
from simulated_devices import DeviceTreeFile, EjectLog, tree_environment, tree_file
from texts import (ALL_STORAGE_VISTA, ALL_STORAGE_XP, DELETE, ERROR_CAPTION, HOTKEY_ENTRY, IDCANCEL, IDOK, LIST,
                   RELEASE, TAKEN_BY_ROW, TAKEN_ELSEWHERE, UPDATE, SET, WINKEY_BOX)

DEMO = DeviceTreeFile("demo.tree")

BUFFALO = "BUFFALO ClipDrive USB Device"
IODATA = "I-O DATA TB-BH2 USB Device"
CF_READER = "Generic USB CF Reader USB Device"
SD_READER = "Generic USB SD Reader USB Device"
PC_CARD = "RATOC REX-CFU1 CompactFlash PC Card"
NET_CARD = "Megahertz CC10BT/2 Ethernet PC Card"
SANDISK = "SanDisk Cruzer USB Device"

# Stored before the program starts: a registration of an absent device, and one whose
# name differs from a present device's only in case.
STORED = {
    "001": Entry(SANDISK, "ctrl+alt+f5", times=3),
    "002": Entry(BUFFALO.lower(), "ctrl+alt+b", times=5),
}


class DeviceListPage(harness.TestCase):

    def start(self, s: harness.Session, entries: Optional[dict] = STORED, app: Optional[dict] = None,
              renames: Optional[dict] = None) -> driver.DeviceListPage:
        """Starts the program on a copy of the test tree (tests change it, `renames` maps
        device names to new ones) and opens the settings sheet at the device list, the
        way the tray menu does. With `entries` None there is no settings file yet."""
        log = EjectLog(s)
        env = tree_environment(DEMO.renamed(s.artifacts / "tree", renames or {}), log)
        self.tree_file, self.eject_log = tree_file(env), log.path
        _, self.sheet, page = driver.start_at_device_list(s, env, entries, app)
        return page

    def logged_ejects(self) -> str:
        """The eject log's text, once it has any."""
        return wait_until(lambda: self.eject_log.exists() and self.eject_log.read_text("utf-8"), what="eject logged")

    # -- what the page shows

    def check_rows(self, version: str, all_storage: str, extra: list[Row]) -> None:
        with self.session(version) as s:
            page = self.start(s)
            self.assertEqual(page.rows(), [
                Row(all_storage, "なし", "0", False),
                Row(BUFFALO, "Ctrl + Alt + B", "5", False),
                Row(IODATA, "なし", "0", False),
                Row(CF_READER, "なし", "0", False),
                Row(SD_READER, "なし", "0", False),
                *extra,
                Row(PC_CARD, "なし", "0", False),
                Row(SANDISK, "Ctrl + Alt + F5", "3", True),
            ])
            self.assertEqual(page.buttons(), {"update": True, "set": False, "release": False, "delete": False})

    def test_rows_on_windows10(self):
        # The childless mass-storage node carries this system's description and is
        # dropped, like the generic hub and the node with a problem.
        self.check_rows("10", ALL_STORAGE_VISTA, [])

    def test_rows_on_xp(self):
        # Before Vista the page drops the other description, so the childless node
        # that carries Vista's is listed under it.
        self.check_rows("xp", ALL_STORAGE_XP, [Row("USB 大容量記憶装置", "なし", "0", False)])

    def test_rows_without_usb(self):
        with self.session("10") as s:
            page = self.start(s, app={"DEVICE_KIND": 2})
            self.assertEqual(page.rows(), [Row(PC_CARD, "なし", "0", False)])

    def test_each_class_shows_its_own_picture(self):
        with self.session("10") as s:
            page = self.start(s, app={"DEVICE_KIND": 0x23})
            images = page.images()
            pictures = {images[BUFFALO], images[PC_CARD], images[NET_CARD]}
            self.assertEqual(len(pictures), 3, images)
            self.assertNotIn(0, pictures, "the unknown class's picture")

    def test_buttons_follow_the_selection(self):
        with self.session("10") as s:
            page = self.start(s)
            expected = {
                ALL_STORAGE_VISTA: {"update": True, "set": True, "release": False, "delete": False},
                BUFFALO: {"update": True, "set": True, "release": True, "delete": True},
                IODATA: {"update": True, "set": True, "release": False, "delete": True},
            }
            for text, states in expected.items():
                page.select(text)
                self.assertEqual(page.buttons(), states, text)

    # -- what the commands do

    def test_set_hotkey_then_ok_stores_every_row_and_the_hotkey_ejects(self):
        with self.session("10") as s:
            page = self.start(s)
            page.set_hotkey(IODATA, "ctrl+shift+k")
            self.assertEqual(page.row(IODATA), Row(IODATA, "Ctrl + Shift + K", "0", False))
            self.assertFalse(s.hotkey_taken("ctrl+shift+k"), "the dialog released its test registration")

            self.sheet.close(IDOK)
            ini = s.read_settings()
            keys = ["STORAGE", "001", "002", "003", "004", "005", "006"]
            self.assertEqual(ini["NAME"], dict(zip(keys, [
                ALL_STORAGE_VISTA, BUFFALO, IODATA, CF_READER, SD_READER, PC_CARD, SANDISK])))
            self.assertEqual(ini["HOTKEY"], dict(zip(keys, [
                "AAAAAAAA", hotkey_letters("ctrl+alt+b"), hotkey_letters("ctrl+shift+k"), "AAAAAAAA", "AAAAAAAA",
                "AAAAAAAA", hotkey_letters("ctrl+alt+f5")])))
            self.assertEqual(ini["WINKEY"], dict.fromkeys(keys, "0"))
            self.assertEqual(ini["DEVICE_KIND"], {**dict.fromkeys(keys, "1"), "005": "2"})
            self.assertEqual(ini["REJECT_TIMES"], {**dict.fromkeys(keys, "0"), "001": "5", "006": "3"})
            self.assertEqual(list(ini["IMAGE"]), keys)
            self.assertEqual(ini["IMAGE"]["STORAGE"], "0")

            # Registered again after the sheet closed, the new hotkey ejects its device.
            self.assertHotkeysTaken(s, ["ctrl+shift+k", "ctrl+alt+b", "ctrl+alt+f5"])
            s.press("ctrl+shift+k")
            log = self.logged_ejects()
            # The disk drive goes with the mass-storage node above it (line 9 of the tree).
            self.assertEqual([line.split("\t") for line in log.splitlines()],
                             [["9", "0", "USB 大容量記憶装置"]])

    def test_first_write_keeps_names_outside_the_ansi_code_page(self):
        # A fresh user has no settings file: the first write creates it as UTF-16, so a
        # name that the Japanese ANSI code page cannot hold is stored as it is and its
        # registration still finds the device.
        name = "Überträger Ŝtick USB Device"
        with self.session("10") as s:
            page = self.start(s, entries=None, renames={IODATA: name})
            self.assertFalse(s.settings_file.exists())
            page.set_hotkey(name, "ctrl+shift+u")
            self.sheet.close(IDOK)

            self.assertTrue(s.settings_file.read_bytes().startswith(b"\xff\xfe"))
            self.assertIn(name, s.read_settings()["NAME"].values())
            self.assertHotkeysTaken(s, ["ctrl+shift+u"])
            s.press("ctrl+shift+u")
            log = self.logged_ejects()
            self.assertEqual([line.split("\t") for line in log.splitlines()],
                             [["9", "0", "USB 大容量記憶装置"]])

    def test_hotkey_of_another_row_is_refused(self):
        with self.session("10") as s:
            page = self.start(s)
            # Another Windows-key flag does not make it another hotkey.
            dialog = page.open_dialog(IODATA)
            dialog.type("ctrl+alt+b", winkey=True)
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, TAKEN_BY_ROW))
            dialog.wait_gone()
            self.assertEqual(page.row(IODATA), Row(IODATA, "なし", "0", False))
            # The row that holds it may take it again, with the Windows key now.
            dialog = page.open_dialog(BUFFALO)
            dialog.type("ctrl+alt+b", winkey=True)
            dialog.wait_gone()
            self.assertEqual(page.row(BUFFALO), Row(BUFFALO, "Win + Ctrl + Alt + B", "5", False))

    def test_hotkey_held_by_another_program_keeps_the_dialog_open(self):
        with self.session("10") as s:
            page = self.start(s)
            dialog = page.open_dialog(IODATA)
            # Typed before the other program takes it: a held hotkey never reaches the control.
            s.press("ctrl+alt+h")
            s.hold_hotkey("ctrl+alt+h")
            s.press("enter")
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, TAKEN_ELSEWHERE))
            self.assertIn(dialog.handle, [w.handle for w in s.windows() if w.visible], "the dialog stays open")
            dialog.click(IDCANCEL)
            dialog.wait_gone()
            self.assertEqual(page.row(IODATA), Row(IODATA, "なし", "0", False))

    def test_release_and_delete_reach_the_file_on_ok(self):
        with self.session("10") as s:
            page = self.start(s)
            page.select(BUFFALO)
            page.click(RELEASE)
            wait_until(lambda: page.row(BUFFALO).hotkey == "なし", what="released")
            self.assertEqual(page.row(BUFFALO), Row(BUFFALO, "なし", "5", False))
            self.assertFalse(page.buttons()["release"])

            page.select(SANDISK)
            page.click(DELETE)
            wait_until(lambda: SANDISK not in page.texts(), what="deleted")
            self.assertFalse(page.buttons()["set"], "no row is selected after a delete")

            self.sheet.close(IDOK)
            ini = s.read_settings()
            self.assertNotIn(SANDISK, ini["NAME"].values())
            self.assertEqual((ini["NAME"]["001"], ini["HOTKEY"]["001"], ini["REJECT_TIMES"]["001"]),
                             (BUFFALO, "AAAAAAAA", "5"))
            wait_until(lambda: not s.hotkey_taken("ctrl+alt+b") and not s.hotkey_taken("ctrl+alt+f5"),
                       what="neither old hotkey registered")

    def test_update_devices_appends_new_and_greys_unplugged(self):
        with self.session("10") as s:
            page = self.start(s)
            before = page.texts()
            # The BUFFALO disk leaves, the SanDisk disk takes its port, a camera comes in.
            text = self.tree_file.read_text("utf-8").replace(f'friendly="{BUFFALO}"', f'friendly="{SANDISK}"')
            self.tree_file.write_text(text + '  usb desc="USB Camera" removable disableable\n', "utf-8")
            page.click(UPDATE)
            wait_until(lambda: "USB Camera" in page.texts(), what="new device listed")
            self.assertEqual(page.texts(), before + ["USB Camera"])
            self.assertEqual(page.row(BUFFALO), Row(BUFFALO, "Ctrl + Alt + B", "5", True))
            self.assertEqual(page.row(SANDISK), Row(SANDISK, "Ctrl + Alt + F5", "3", False))
            self.assertFalse(page.row(ALL_STORAGE_VISTA).absent)

    def test_cancel_leaves_the_file_and_the_old_hotkeys(self):
        with self.session("10") as s:
            page = self.start(s)
            stored = s.settings_file.read_bytes()
            page.set_hotkey(IODATA, "ctrl+shift+k")
            page.select(BUFFALO)
            page.click(RELEASE)
            page.select(SANDISK)
            page.click(DELETE)
            wait_until(lambda: SANDISK not in page.texts(), what="deleted")

            self.sheet.close(IDCANCEL)
            self.assertEqual(s.settings_file.read_bytes(), stored)
            self.assertHotkeysTaken(s, ["ctrl+alt+b", "ctrl+alt+f5"])
            self.assertFalse(s.hotkey_taken("ctrl+shift+k"))

    # -- how it looks

    def assertControlsApart(self, s: harness.Session, window: str, ids: list[int]) -> None:
        """The controls lie inside the window's client area, if it is a top-level one, and
        do not overlap one another."""
        states = s.control_states(window)
        rects = {i: states[i].rect for i in ids}
        outer = [w for w in s.windows() if w.handle == window]
        for i, (left, top, right, bottom) in rects.items():
            self.assertTrue(0 <= left < right and 0 <= top < bottom, f"control {i} at {rects[i]}")
            if outer:
                self.assertLessEqual((right, bottom), (outer[0].width, outer[0].height), f"control {i}")
        for i in ids:
            for j in ids:
                a, b = rects[i], rects[j]
                apart = a[2] <= b[0] or b[2] <= a[0] or a[3] <= b[1] or b[3] <= a[1]
                self.assertTrue(i >= j or apart, f"controls {i} and {j} overlap: {a} {b}")

    def test_screenshots_of_page_and_dialog(self):
        with self.session("10", desktop=True) as s:
            page = self.start(s)
            page.select(BUFFALO)
            self.assertControlsApart(s, page.handle, [LIST, UPDATE, SET, RELEASE, DELETE])
            s.screenshot(s.artifacts / "device-list-page.png")

            dialog = page.open_dialog(BUFFALO)
            dialog.click(WINKEY_BOX)
            wait_until(dialog.winkey_ticked, what="Windows key ticked")
            self.assertControlsApart(s, dialog.handle, [HOTKEY_ENTRY, WINKEY_BOX, IDOK, IDCANCEL, 9])
            dialog_window = next(w for w in s.windows() if w.handle == dialog.handle)
            sheet_window = next(w for w in s.windows() if w.handle == self.sheet.handle)
            self.assertEqual(dialog_window.process, "Tollevane.exe")
            # Centred on the screen, and in front of the sheet it belongs to.
            centre = (dialog_window.rect[0] + dialog_window.rect[2]) // 2
            self.assertLessEqual(abs(centre - int(harness.SCREEN.split("x")[0]) // 2), 2)
            self.assertNotEqual(dialog_window.rect, sheet_window.rect)
            s.screenshot(s.artifacts / "hotkey-dialog.png")
            dialog.click(IDCANCEL)
            dialog.wait_gone()
            self.assertEqual(page.row(BUFFALO).hotkey, "Ctrl + Alt + B")


if __name__ == "__main__":
    unittest.main()
