"""What the device list page saves reads back exactly at the next opening: the
all-storage row's count after its hotkey was released, and device names that the
profile functions would otherwise change (quotes around them, blanks at their ends),
whose hotkeys must still find and eject their devices."""

import unittest

import driver
import harness
from driver import Row
from formats import Entry, hotkey_letters
from harness import wait_until
from simulated_devices import DeviceTreeFile, EjectLog, tree_environment
from texts import ALL_STORAGE_VISTA, IDCANCEL, IDOK, RELEASE

DEMO = DeviceTreeFile("demo.tree")
BUFFALO = "BUFFALO ClipDrive USB Device"
IODATA = "I-O DATA TB-BH2 USB Device"
CF_READER = "Generic USB CF Reader USB Device"


class SavedNamesReadBack(harness.TestCase):

    def start(self, s: harness.Session, entries: dict, renames: dict = None) -> driver.DeviceListPage:
        """The program on a copy of the demo tree, with the sheet open at the device list."""
        log = EjectLog(s)
        self.eject_log = log.path
        env = tree_environment(DEMO.renamed(s.artifacts / "tree", renames or {}), log)
        self.resident, self.sheet, page = driver.start_at_device_list(s, env, entries)
        return page

    def reopen(self) -> driver.DeviceListPage:
        """Opens the sheet again from the running program, as the tray menu does."""
        self.sheet = self.resident.open_sheet()
        return self.sheet.device_list()

    def test_all_storage_count_survives_release_ok_and_a_new_opening(self):
        with self.session("10") as s:
            page = self.start(s, entries={"STORAGE": Entry(ALL_STORAGE_VISTA, "win+ctrl+alt+s", times=7)})
            self.assertEqual(page.row(ALL_STORAGE_VISTA),
                             Row(ALL_STORAGE_VISTA, "Win + Ctrl + Alt + S", "7", False))
            page.select(ALL_STORAGE_VISTA)
            page.click(RELEASE)
            wait_until(lambda: page.row(ALL_STORAGE_VISTA).hotkey == "なし", what="released")
            self.sheet.close(IDOK)
            ini = s.read_settings()
            self.assertEqual((ini["HOTKEY"]["STORAGE"], ini["REJECT_TIMES"]["STORAGE"]), ("AAAAAAAA", "7"))

            # A released hotkey is not registered, but the count stays with the row.
            wait_until(lambda: not s.hotkey_taken("win+ctrl+alt+s"), what="storage hotkey released")
            page = self.reopen()
            self.assertEqual(page.row(ALL_STORAGE_VISTA), Row(ALL_STORAGE_VISTA, "なし", "7", False))
            self.sheet.close(IDOK)
            self.assertEqual(s.read_settings()["REJECT_TIMES"]["STORAGE"], "7")

    def test_names_with_quotes_and_end_blanks_keep_their_hotkeys_and_eject(self):
        # Each renamed disk sits below a mass-storage node of its own (lines 6, 9, 12
        # of the tree), so every hotkey's eject shows up as a line of its own.
        names = {BUFFALO: ("'USB Stick'", "ctrl+shift+q", 6),
                 IODATA: ('"CF Card"', "ctrl+shift+c", 9),
                 CF_READER: (" Edge Disk ", "ctrl+shift+e", 12)}
        renames = {old: new.replace('"', '\\"') for old, (new, _, _) in names.items()}
        with self.session("10") as s:
            page = self.start(s, entries={}, renames=renames)
            before = page.texts()
            for name, combo, _ in names.values():
                page.set_hotkey(name, combo)
            self.sheet.close(IDOK)
            ini = s.read_settings()
            stored = {ini["HOTKEY"][key] for key, text in ini["NAME"].items() if "CF Card" in text}
            self.assertEqual(stored, {hotkey_letters("ctrl+shift+c")})

            self.assertHotkeysTaken(s, [combo for _, combo, _ in names.values()])
            page = self.reopen()
            self.assertEqual(page.texts(), before, "no stale row of an altered name")
            for name, combo, _ in names.values():
                row = page.row(name)
                self.assertEqual((row.hotkey, row.absent), (harness_text(combo), False), repr(name))
            self.sheet.close(IDCANCEL)

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
