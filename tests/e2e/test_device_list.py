"""The device list page and the hotkey entry dialog under Wine, on a simulated device
tree: the rows a user sees, setting, releasing and deleting hotkeys, the refusals,
the update of devices, and what OK and Cancel leave in the settings file."""

import re
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

import harness
from formats import Entry, hotkey_entry, settings_text
from harness import wait_until

WM_COMMAND = 0x0111
ID_SETTINGS = 32775
IDOK, IDCANCEL = 1, 2
LIST, SET, RELEASE, UPDATE, DELETE = 1000, 1001, 1002, 1008, 32774
HOTKEY_ENTRY, WINKEY_BOX = 1003, 1007

PAGE_CAPTION = "ホットキー設定"
DIALOG_CAPTION = "ホットキーの設定"
ERROR_CAPTION = "Tollevane エラー"
TAKEN_BY_ROW = "このホットキーはすでに登録されています。\n別のホットキーを指定してください。"
TAKEN_ELSEWHERE = "このホットキーはすで他のアプリケーションによって使用されています。\n別のホットキーを指定してください。"

TREES = Path(__file__).resolve().parent / "trees"
ALL_STORAGE_VISTA = "すべての USB 大容量記憶装置"
ALL_STORAGE_XP = "すべての USB 大容量記憶装置デバイス"

BUFFALO = "BUFFALO ClipDrive USB Device"
IODATA = "I-O DATA TB-BH2 USB Device"
CF_READER = "Generic USB CF Reader USB Device"
SD_READER = "Generic USB SD Reader USB Device"
PC_CARD = "RATOC REX-CFU1 CompactFlash PC Card"
SANDISK = "SanDisk Cruzer USB Device"

# Stored before the program starts: a registration of an absent device, and one whose
# name differs from a present device's only in case.
STORED = {
    "001": Entry(SANDISK, "ctrl+alt+f5", times=3),
    "002": Entry(BUFFALO.lower(), "ctrl+alt+b", times=5),
}


@dataclass(frozen=True)
class Row:
    text: str
    hotkey: str
    count: str
    absent: bool  # the row carries the cut mark


def letters(combo: str) -> str:
    return hotkey_entry(combo)[0]


def _unescape(text: str) -> str:
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


def list_rows(s: harness.Session, list_view: str) -> list[Row]:
    result = s.helper("listview", list_view)
    if result.status != 0:
        raise harness.HarnessError(f"listview failed: {result.stderr.strip()}")
    rows = []
    for line in result.stdout.splitlines():
        _, _, cut, *texts = line.split("\t")
        text, hotkey, count = (_unescape(t) for t in texts)
        rows.append(Row(text, hotkey, count, cut == "1"))
    return rows


def buttons(s: harness.Session, page: str) -> dict[str, bool]:
    states = s.control_states(page)
    return {name: states[i].enabled for name, i in
            (("update", UPDATE), ("set", SET), ("release", RELEASE), ("delete", DELETE))}


class DeviceListPage(harness.TestCase):

    # -- the page as a user reaches it

    def start(self, s: harness.Session, entries: Optional[dict] = STORED, app: Optional[dict] = None,
              renames: Optional[dict] = None) -> None:
        """Starts the program on a copy of the test tree (tests change it, `renames` maps
        device names to new ones) and opens the settings sheet at the device list, the
        way the tray menu does. With `entries` None there is no settings file yet."""
        if entries is not None:
            s.write_settings(settings_text({"STARTUP": 0, **(app or {})}, entries))
        self.tree_file = s.prefix / "drive_c" / "devices.tree"
        tree = (TREES / "demo.tree").read_text("utf-8")
        for old, new in (renames or {}).items():
            tree = tree.replace(f'"{old}"', f'"{new}"')
        self.tree_file.write_text(tree, "utf-8")
        self.eject_log = s.prefix / "drive_c" / "eject.log"
        s.start_tollevane(env={"TOLLEVANE_DEVICE_TREE": r"C:\devices.tree",
                               "TOLLEVANE_EJECT_LOG": r"C:\eject.log"})
        self.main = s.wait_window(title="Tollevane", class_name="Tollevane")
        s.helper("postmsg", self.main, str(WM_COMMAND), str(ID_SETTINGS))
        self.sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
        pages = [c.handle for c in s.controls(self.sheet) if c.class_name == "#32770" and c.text == PAGE_CAPTION]
        self.assertEqual(len(pages), 1, "the device list page is shown")
        self.page = pages[0]
        self.list = next(c.handle for c in s.controls(self.page) if c.control_id == LIST)

    def rows(self, s: harness.Session) -> list[Row]:
        return list_rows(s, self.list)

    def texts(self, s: harness.Session) -> list[str]:
        return [row.text for row in self.rows(s)]

    def row(self, s: harness.Session, text: str) -> Row:
        found = [row for row in self.rows(s) if row.text == text]
        self.assertEqual(len(found), 1, f"one row {text!r}")
        return found[0]

    def select(self, s: harness.Session, text: str) -> None:
        index = self.texts(s).index(text)
        result = s.helper("listview", self.list, "--select", str(index))
        if result.status != 0:
            raise harness.HarnessError(f"select failed: {result.stderr.strip()}")
        wait_until(lambda: buttons(s, self.page)["set"], what="Set enabled")

    def open_dialog(self, s: harness.Session, text: str) -> str:
        self.select(s, text)
        s.click(self.page, control_id=SET)
        return s.wait_window(title=DIALOG_CAPTION, class_name="#32770", visible=True)

    def type_hotkey(self, s: harness.Session, dialog: str, combo: str, winkey: bool = False) -> None:
        """Types the combination into the entry control, which has the focus, ticks the
        Windows-key box with Tab and Space if asked, and ends with Enter. All of it by
        keyboard: typed keys arrive in order, where a posted click could overtake them."""
        s.press(combo)
        if winkey:
            s.press("tab", "space")
            wait_until(lambda: s.control_states(dialog)[WINKEY_BOX].check == "1", what="Windows key ticked")
        s.press("enter")

    def set_hotkey(self, s: harness.Session, text: str, combo: str) -> None:
        dialog = self.open_dialog(s, text)
        self.type_hotkey(s, dialog, combo)
        s.wait_window_gone(title=DIALOG_CAPTION)

    def close_sheet(self, s: harness.Session, button: int) -> None:
        s.click(self.sheet, control_id=button)
        s.wait_window_gone(title="Tollevane", class_name="#32770")

    # -- what the page shows

    def check_rows(self, version: str, all_storage: str, extra: list[Row]) -> None:
        with self.session(version) as s:
            self.start(s)
            self.assertEqual(self.rows(s), [
                Row(all_storage, "なし", "0", False),
                Row(BUFFALO, "Ctrl + Alt + B", "5", False),
                Row(IODATA, "なし", "0", False),
                Row(CF_READER, "なし", "0", False),
                Row(SD_READER, "なし", "0", False),
                *extra,
                Row(PC_CARD, "なし", "0", False),
                Row(SANDISK, "Ctrl + Alt + F5", "3", True),
            ])
            self.assertEqual(buttons(s, self.page), {"update": True, "set": False, "release": False, "delete": False})

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
            self.start(s, app={"DEVICE_KIND": 2})
            self.assertEqual(self.rows(s), [Row(PC_CARD, "なし", "0", False)])

    def test_buttons_follow_the_selection(self):
        with self.session("10") as s:
            self.start(s)
            expected = {
                ALL_STORAGE_VISTA: {"update": True, "set": True, "release": False, "delete": False},
                BUFFALO: {"update": True, "set": True, "release": True, "delete": True},
                IODATA: {"update": True, "set": True, "release": False, "delete": True},
            }
            for text, states in expected.items():
                self.select(s, text)
                self.assertEqual(buttons(s, self.page), states, text)

    # -- what the commands do

    def test_set_hotkey_then_ok_stores_every_row_and_the_hotkey_ejects(self):
        with self.session("10") as s:
            self.start(s)
            self.set_hotkey(s, IODATA, "ctrl+shift+k")
            self.assertEqual(self.row(s, IODATA), Row(IODATA, "Ctrl + Shift + K", "0", False))
            self.assertFalse(s.hotkey_taken("ctrl+shift+k"), "the dialog released its test registration")

            self.close_sheet(s, IDOK)
            ini = s.read_settings()
            keys = ["STORAGE", "001", "002", "003", "004", "005", "006"]
            self.assertEqual(ini["NAME"], dict(zip(keys, [
                ALL_STORAGE_VISTA, BUFFALO, IODATA, CF_READER, SD_READER, PC_CARD, SANDISK])))
            self.assertEqual(ini["HOTKEY"], dict(zip(keys, [
                "AAAAAAAA", letters("ctrl+alt+b"), letters("ctrl+shift+k"), "AAAAAAAA", "AAAAAAAA",
                "AAAAAAAA", letters("ctrl+alt+f5")])))
            self.assertEqual(ini["WINKEY"], dict.fromkeys(keys, "0"))
            self.assertEqual(ini["DEVICE_KIND"], {**dict.fromkeys(keys, "1"), "005": "2"})
            self.assertEqual(ini["REJECT_TIMES"], {**dict.fromkeys(keys, "0"), "001": "5", "006": "3"})
            self.assertEqual(list(ini["IMAGE"]), keys)
            self.assertEqual(ini["IMAGE"]["STORAGE"], "0")

            # Registered again after the sheet closed, the new hotkey ejects its device.
            self.assertHotkeysTaken(s, ["ctrl+shift+k", "ctrl+alt+b", "ctrl+alt+f5"])
            s.press("ctrl+shift+k")
            log = wait_until(lambda: self.eject_log.exists() and self.eject_log.read_text("utf-8"),
                             what="eject logged")
            # The disk drive goes with the mass-storage node above it (line 9 of the tree).
            self.assertEqual([line.split("\t") for line in log.splitlines()],
                             [["9", "0", "USB 大容量記憶装置"]])

    def test_first_write_keeps_names_outside_the_ansi_code_page(self):
        # A fresh user has no settings file: the first write creates it as UTF-16, so a
        # name that the Japanese ANSI code page cannot hold is stored as it is and its
        # registration still finds the device.
        name = "Überträger Ŝtick USB Device"
        with self.session("10") as s:
            self.start(s, entries=None, renames={IODATA: name})
            self.assertFalse(s.settings_file.exists())
            self.set_hotkey(s, name, "ctrl+shift+u")
            self.close_sheet(s, IDOK)

            self.assertTrue(s.settings_file.read_bytes().startswith(b"\xff\xfe"))
            self.assertIn(name, s.read_settings()["NAME"].values())
            self.assertHotkeysTaken(s, ["ctrl+shift+u"])
            s.press("ctrl+shift+u")
            log = wait_until(lambda: self.eject_log.exists() and self.eject_log.read_text("utf-8"),
                             what="eject logged")
            self.assertEqual([line.split("\t") for line in log.splitlines()],
                             [["9", "0", "USB 大容量記憶装置"]])

    def test_hotkey_of_another_row_is_refused(self):
        with self.session("10") as s:
            self.start(s)
            # Another Windows-key flag does not make it another hotkey.
            dialog = self.open_dialog(s, IODATA)
            self.type_hotkey(s, dialog, "ctrl+alt+b", winkey=True)
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, TAKEN_BY_ROW))
            s.wait_window_gone(title=DIALOG_CAPTION)
            self.assertEqual(self.row(s, IODATA), Row(IODATA, "なし", "0", False))
            # The row that holds it may take it again, with the Windows key now.
            dialog = self.open_dialog(s, BUFFALO)
            self.type_hotkey(s, dialog, "ctrl+alt+b", winkey=True)
            s.wait_window_gone(title=DIALOG_CAPTION)
            self.assertEqual(self.row(s, BUFFALO), Row(BUFFALO, "Win + Ctrl + Alt + B", "5", False))

    def test_hotkey_held_by_another_program_keeps_the_dialog_open(self):
        with self.session("10") as s:
            self.start(s)
            dialog = self.open_dialog(s, IODATA)
            # Typed before the other program takes it: a held hotkey never reaches the control.
            s.press("ctrl+alt+h")
            s.hold_hotkey("ctrl+alt+h")
            s.press("enter")
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, TAKEN_ELSEWHERE))
            self.assertIn(dialog, [w.handle for w in s.windows() if w.visible], "the dialog stays open")
            s.click(dialog, control_id=IDCANCEL)
            s.wait_window_gone(title=DIALOG_CAPTION)
            self.assertEqual(self.row(s, IODATA), Row(IODATA, "なし", "0", False))

    def test_release_and_delete_reach_the_file_on_ok(self):
        with self.session("10") as s:
            self.start(s)
            self.select(s, BUFFALO)
            s.click(self.page, control_id=RELEASE)
            wait_until(lambda: self.row(s, BUFFALO).hotkey == "なし", what="released")
            self.assertEqual(self.row(s, BUFFALO), Row(BUFFALO, "なし", "5", False))
            self.assertFalse(buttons(s, self.page)["release"])

            self.select(s, SANDISK)
            s.click(self.page, control_id=DELETE)
            wait_until(lambda: SANDISK not in self.texts(s), what="deleted")
            self.assertFalse(buttons(s, self.page)["set"], "no row is selected after a delete")

            self.close_sheet(s, IDOK)
            ini = s.read_settings()
            self.assertNotIn(SANDISK, ini["NAME"].values())
            self.assertEqual((ini["NAME"]["001"], ini["HOTKEY"]["001"], ini["REJECT_TIMES"]["001"]),
                             (BUFFALO, "AAAAAAAA", "5"))
            wait_until(lambda: not s.hotkey_taken("ctrl+alt+b") and not s.hotkey_taken("ctrl+alt+f5"),
                       what="neither old hotkey registered")

    def test_update_devices_appends_new_and_greys_unplugged(self):
        with self.session("10") as s:
            self.start(s)
            before = self.texts(s)
            # The BUFFALO disk leaves, the SanDisk disk takes its port, a camera comes in.
            text = self.tree_file.read_text("utf-8").replace(f'friendly="{BUFFALO}"', f'friendly="{SANDISK}"')
            self.tree_file.write_text(text + '  usb desc="USB Camera" removable disableable\n', "utf-8")
            s.click(self.page, control_id=UPDATE)
            wait_until(lambda: "USB Camera" in self.texts(s), what="new device listed")
            self.assertEqual(self.texts(s), before + ["USB Camera"])
            self.assertEqual(self.row(s, BUFFALO), Row(BUFFALO, "Ctrl + Alt + B", "5", True))
            self.assertEqual(self.row(s, SANDISK), Row(SANDISK, "Ctrl + Alt + F5", "3", False))
            self.assertFalse(self.row(s, ALL_STORAGE_VISTA).absent)

    def test_cancel_leaves_the_file_and_the_old_hotkeys(self):
        with self.session("10") as s:
            self.start(s)
            stored = s.settings_file.read_bytes()
            self.set_hotkey(s, IODATA, "ctrl+shift+k")
            self.select(s, BUFFALO)
            s.click(self.page, control_id=RELEASE)
            self.select(s, SANDISK)
            s.click(self.page, control_id=DELETE)
            wait_until(lambda: SANDISK not in self.texts(s), what="deleted")

            self.close_sheet(s, IDCANCEL)
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
            self.start(s)
            self.select(s, BUFFALO)
            self.assertControlsApart(s, self.page, [LIST, UPDATE, SET, RELEASE, DELETE])
            s.screenshot(s.artifacts / "device-list-page.png")

            dialog = self.open_dialog(s, BUFFALO)
            s.click(dialog, control_id=WINKEY_BOX)
            wait_until(lambda: s.control_states(dialog)[WINKEY_BOX].check == "1", what="Windows key ticked")
            self.assertControlsApart(s, dialog, [HOTKEY_ENTRY, WINKEY_BOX, IDOK, IDCANCEL, 9])
            dialog_window = next(w for w in s.windows() if w.handle == dialog)
            sheet_window = next(w for w in s.windows() if w.handle == self.sheet)
            self.assertEqual(dialog_window.process, "Tollevane.exe")
            # Centred on the screen, and in front of the sheet it belongs to.
            centre = (dialog_window.rect[0] + dialog_window.rect[2]) // 2
            self.assertLessEqual(abs(centre - int(harness.SCREEN.split("x")[0]) // 2), 2)
            self.assertNotEqual(dialog_window.rect, sheet_window.rect)
            s.screenshot(s.artifacts / "hotkey-dialog.png")
            s.click(dialog, control_id=IDCANCEL)
            s.wait_window_gone(title=DIALOG_CAPTION)
            self.assertEqual(self.row(s, BUFFALO).hotkey, "Ctrl + Alt + B")


if __name__ == "__main__":
    unittest.main()
