"""What the device list page saves reads back exactly at the next opening: the
all-storage row's count after its hotkey was released, and device names that the
profile functions would otherwise change (quotes around them, blanks at their ends),
whose hotkeys must still find and eject their devices."""

import unittest

import harness
from formats import Entry
from harness import wait_until
from test_device_list import (ALL_STORAGE_VISTA, CF_READER, BUFFALO, ID_SETTINGS, IDCANCEL, IDOK,
                              IODATA, PAGE_CAPTION, RELEASE, WM_COMMAND, DeviceListPage, Row,
                              letters)


class SavedNamesReadBack(DeviceListPage):

    def reopen(self, s: harness.Session) -> None:
        """Opens the sheet again from the running program, as the tray menu does."""
        s.helper("postmsg", self.main, str(WM_COMMAND), str(ID_SETTINGS))
        self.sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
        self.page = next(c.handle for c in s.controls(self.sheet)
                         if c.class_name == "#32770" and c.text == PAGE_CAPTION)
        self.list = next(c.handle for c in s.controls(self.page) if c.control_id == 1000)

    def test_all_storage_count_survives_release_ok_and_a_new_opening(self):
        with self.session("10") as s:
            self.start(s, entries={"STORAGE": Entry(ALL_STORAGE_VISTA, "win+ctrl+alt+s", times=7)})
            self.assertEqual(self.row(s, ALL_STORAGE_VISTA),
                             Row(ALL_STORAGE_VISTA, "Win + Ctrl + Alt + S", "7", False))
            self.select(s, ALL_STORAGE_VISTA)
            s.click(self.page, control_id=RELEASE)
            wait_until(lambda: self.row(s, ALL_STORAGE_VISTA).hotkey == "なし", what="released")
            self.close_sheet(s, IDOK)
            ini = s.read_settings()
            self.assertEqual((ini["HOTKEY"]["STORAGE"], ini["REJECT_TIMES"]["STORAGE"]), ("AAAAAAAA", "7"))

            # A released hotkey is not registered, but the count stays with the row.
            wait_until(lambda: not s.hotkey_taken("win+ctrl+alt+s"), what="storage hotkey released")
            self.reopen(s)
            self.assertEqual(self.row(s, ALL_STORAGE_VISTA), Row(ALL_STORAGE_VISTA, "なし", "7", False))
            self.close_sheet(s, IDOK)
            self.assertEqual(s.read_settings()["REJECT_TIMES"]["STORAGE"], "7")

    def test_names_with_quotes_and_end_blanks_keep_their_hotkeys_and_eject(self):
        # Each renamed disk sits below a mass-storage node of its own (lines 6, 9, 12
        # of the tree), so every hotkey's eject shows up as a line of its own.
        names = {BUFFALO: ("'USB Stick'", "ctrl+shift+q", 6),
                 IODATA: ('"CF Card"', "ctrl+shift+c", 9),
                 CF_READER: (" Edge Disk ", "ctrl+shift+e", 12)}
        renames = {old: new.replace('"', '\\"') for old, (new, _, _) in names.items()}
        with self.session("10") as s:
            self.start(s, entries={}, renames=renames)
            before = self.texts(s)
            for name, combo, _ in names.values():
                self.set_hotkey(s, name, combo)
            self.close_sheet(s, IDOK)
            ini = s.read_settings()
            stored = {ini["HOTKEY"][key] for key, text in ini["NAME"].items() if "CF Card" in text}
            self.assertEqual(stored, {letters("ctrl+shift+c")})

            self.assertHotkeysTaken(s, [combo for _, combo, _ in names.values()])
            self.reopen(s)
            self.assertEqual(self.texts(s), before, "no stale row of an altered name")
            for name, combo, _ in names.values():
                row = self.row(s, name)
                self.assertEqual((row.hotkey, row.absent), (harness_text(combo), False), repr(name))
            self.close_sheet(s, IDCANCEL)

            self.assertHotkeysTaken(s, [combo for _, combo, _ in names.values()])
            for count, (name, combo, line) in enumerate(names.values(), 1):
                s.press(combo)
                wait_until(lambda: self.eject_log.exists() and
                                 len(self.eject_log.read_text("utf-8").splitlines()) >= count,
                                 what=f"eject for {name!r}")
                self.assertEqual(self.eject_log.read_text("utf-8").splitlines()[count - 1].split("\t")[:2],
                                 [str(line), "0"], repr(name))


def harness_text(combo: str) -> str:
    """The page's text of a combination such as "ctrl+shift+c"."""
    names = {"ctrl": "Ctrl", "shift": "Shift", "alt": "Alt", "win": "Win"}
    *modifiers, key = combo.split("+")
    return " + ".join([names[m] for m in modifiers] + [key.upper()])


if __name__ == "__main__":
    unittest.main()
