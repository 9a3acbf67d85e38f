"""Start-up of the real program under Wine: the resident start, the single
instance, the stored registrations' hotkeys, the shortcut switches, and what is
left in the application-data and Startup folders."""

import time
import unittest
from pathlib import PureWindowsPath

import harness
from driver import Resident, wait_main_window
from harness import QUICK_EXIT, Entry, read_shortcut, settings_text
from texts import DIALOG_CLASS, ERROR_CAPTION, HOTKEY_TAKEN_AT_START as HOTKEY_TAKEN, PROGRAM, STARTUP_FAILED


class ResidentStart(harness.TestCase):

    def check_fresh_user(self, version: str) -> None:
        with self.session(version) as s:
            self.assertFalse(s.settings_dir.exists())
            self.assertFalse(s.shortcut.exists())

            program = Resident.start(s).process

            self.assertTrue(s.settings_dir.is_dir(), "settings folder created")
            shortcut = read_shortcut(s.shortcut)
            self.assertEqual(shortcut.target, str(s.program))
            self.assertEqual(shortcut.working_dir, str(s.program.parent))
            self.assertEqual(harness.tree(s.startup_dir), ["Tollevane.LNK"])

            mine = [w for w in s.windows() if w.title == PROGRAM]
            self.assertEqual(len(mine), 1, mine)
            self.assertEqual(mine[0].class_name, "Tollevane")
            self.assertEqual(mine[0].process, "Tollevane.exe")
            self.assertFalse(mine[0].visible)
            self.assertEqual((mine[0].width, mine[0].height), (0, 0))
            self.assertNothingVisible(s)
            self.assertTrue(program.running())

    def test_fresh_user_windows10(self):
        self.check_fresh_user("10")

    def test_fresh_user_windows2000(self):
        self.check_fresh_user("2000")

    def test_second_start_ends_and_leaves_the_first_running(self):
        with self.session("10") as s:
            first = s.start_tollevane()
            handle = wait_main_window(s)

            started = time.monotonic()
            second = s.run_tollevane(timeout=QUICK_EXIT)
            self.assertEqual(second.status, 0)
            self.assertLess(time.monotonic() - started, 10)

            self.assertTrue(first.running())
            mine = [w for w in s.windows() if w.title == PROGRAM]
            self.assertEqual([w.handle for w in mine], [handle])
            self.assertNothingVisible(s)

    def test_settings_folder_under_a_path_outside_the_ansi_code_page(self):
        with self.session("10") as s:
            # "é" and "ü" have no place in code page 932.
            appdata = PureWindowsPath(s.user_profile, "Données ü")
            s.unix_path(appdata).mkdir()
            s.set_shell_folder("AppData", str(appdata))
            profile_before = harness.tree(s.unix_path(s.user_profile))

            Resident.start(s)

            self.assertEqual(s.settings_dir, s.unix_path(appdata) / "Tollevane")
            self.assertTrue(s.settings_dir.is_dir())
            # Nothing beside it, such as a folder named in code page 932's best fit.
            created = set(harness.tree(s.unix_path(s.user_profile))) - set(profile_before)
            created.discard(str(s.shortcut.relative_to(s.unix_path(s.user_profile))))
            self.assertEqual(created, {"Données ü/Tollevane"})


class StoredRegistrations(harness.TestCase):

    def test_hotkeys_held_only_by_registrations_that_qualify(self):
        entries = {
            "001": Entry("USB Flash Disk", "ctrl+alt+f5", kind=0x01),
            "002": Entry("USB Keyboard", "ctrl+alt+f6", kind=0x10),   # HID: outside DEVICE_KIND 3
            "003": Entry("No Hotkey Card", "AAAAAAAA", kind=0x02),     # code 0
            # 004 and 005 missing: the scan goes on.
            "006": Entry("PC Card Modem", "ctrl+shift+f7", kind=0x02),
            "STORAGE": Entry("USB 大容量記憶装置", "alt+f9", kind=0x01),
        }
        with self.session("10") as s:
            # STARTUP=2 is not 1: no shortcut.
            s.write_settings(settings_text({"DEVICE_KIND": 3, "STARTUP": 2}, entries))
            program = s.start_tollevane()
            handle = wait_main_window(s)

            # The storage entry is registered last; once it holds, all others have been tried.
            self.assertHotkeysTaken(s, ["alt+f9", "ctrl+alt+f5", "ctrl+shift+f7"])
            self.assertFalse(s.hotkey_taken("ctrl+alt+f6"), "kind outside the filter holds no hotkey")
            self.assertFalse(s.hotkey_taken("0x00"), "code 0 holds no hotkey")
            self.assertNothingVisible(s)
            self.assertFalse(s.shortcut.exists())

            # Closing the window ends the program with WM_QUIT's status and frees its hotkeys.
            s.post_close(handle)
            self.assertEqual(program.wait(QUICK_EXIT), 0)
            self.assertFalse(s.hotkey_taken("ctrl+alt+f5"))
            self.assertFalse(s.hotkey_taken("alt+f9"))

    def test_taken_hotkeys_name_the_device_that_did_not_get_them(self):
        entries = {
            "001": Entry("Alpha Stick", "ctrl+alt+f5"),
            "002": Entry("Beta ストレージ", "ctrl+alt+f5"),   # same hotkey as 001
            "003": Entry("Gamma Reader", "ctrl+alt+f7"),     # held by another application
            "004": Entry("Delta Disk", "ctrl+alt+f8"),
        }
        with self.session("10") as s:
            s.write_settings(settings_text({"STARTUP": 0}, entries))
            s.hold_hotkey("ctrl+alt+f7")
            program = s.start_tollevane()

            handle, text = s.message_box(title=ERROR_CAPTION)
            s.screenshot(s.artifacts / "hotkey-taken.png")
            self.assertEqual(text, HOTKEY_TAKEN.format("Beta ストレージ"))
            owner = [w for w in s.windows() if w.handle == handle]
            self.assertEqual(owner[0].process, "Tollevane.exe")
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, HOTKEY_TAKEN.format("Beta ストレージ")))

            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, HOTKEY_TAKEN.format("Gamma Reader")))

            # The entry after the refused ones still gets its hotkey.
            self.assertHotkeysTaken(s, ["ctrl+alt+f8", "ctrl+alt+f5"])
            s.wait_window_gone(class_name=DIALOG_CLASS, timeout=5)
            self.assertTrue(program.running())


class ShortcutSwitches(harness.TestCase):

    def test_create_and_delete_on_vista(self):
        with self.session("vista") as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            resident = Resident.start(s).process
            self.assertFalse(s.shortcut.exists())

            # The switch runs beside the resident instance; the second argument is ignored.
            created = s.run_tollevane("/create", "ignored", timeout=QUICK_EXIT)
            self.assertEqual(created.status, 0)
            shortcut = read_shortcut(s.shortcut)
            self.assertEqual((shortcut.target, shortcut.working_dir), (str(s.program), str(s.program.parent)))
            self.assertTrue(resident.running())

            # An existing shortcut is left as it is, wherever it points.
            s.shortcut.write_bytes(b"not a shell link")
            self.assertEqual(s.run_tollevane("/CREATE", timeout=QUICK_EXIT).status, 0)
            self.assertEqual(s.shortcut.read_bytes(), b"not a shell link")

            self.assertEqual(s.run_tollevane("/DELETE", timeout=QUICK_EXIT).status, 0)
            self.assertFalse(s.shortcut.exists())
            self.assertEqual(s.run_tollevane("/Delete", timeout=QUICK_EXIT).status, 0)
            self.assertEqual(harness.tree(s.startup_dir), [])
            self.assertTrue(resident.running())
            self.assertNothingVisible(s)

    def test_delete_after_startup_recreated_the_shortcut_on_windows10(self):
        # With STARTUP missing (1), the start-up step creates the shortcut first
        # and the switch then deletes it.
        with self.session("10") as s:
            self.assertEqual(s.run_tollevane("/delete", timeout=QUICK_EXIT).status, 0)
            self.assertFalse(s.shortcut.exists())
            self.assertTrue(s.settings_dir.is_dir())

    def test_create_is_no_switch_on_xp(self):
        with self.session("xp") as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            # Taken as a device name: nothing is removed, so the status is 1.
            result = s.run_tollevane("/create", timeout=QUICK_EXIT)
            self.assertEqual(result.status, 1)
            self.assertFalse(s.shortcut.exists())
            self.assertEqual(harness.tree(s.startup_dir), [])

    def test_startup_folder_that_cannot_be_written(self):
        with self.session("vista") as s:
            # A file where the Startup folder should be: no shortcut can be saved
            # in it, whoever runs the program.
            s.startup_dir.rmdir()
            s.startup_dir.write_bytes(b"")

            switch = s.start_tollevane("/create")
            caption, text = s.answer("ok", title=ERROR_CAPTION)
            self.assertEqual((caption, text), (ERROR_CAPTION, STARTUP_FAILED))
            self.assertEqual(switch.wait(QUICK_EXIT), 1)
            self.assertTrue(s.startup_dir.is_file())


if __name__ == "__main__":
    unittest.main()
