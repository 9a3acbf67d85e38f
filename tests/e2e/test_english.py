"""Tollevane on an English Windows (LANG=C.UTF-8 under Wine): its message boxes, its sheet
and its command line speak English, its help is the English file, the English storage name typed back removes every USB
mass-storage device, and LANGUAGE=ja in the settings file brings the Japanese back, on
Windows 2000 as on 10."""

import re
import shutil
from pathlib import Path

import driver
import harness
from driver import Sheet, write_settings
from harness import Entry, QUICK_EXIT
from simulated_devices import DeviceTreeFile, EjectLog, held_by, tree_environment
from texts import (ALL_STORAGE_EN, ALL_STORAGE_VISTA, ALL_STORAGE_XP, ERROR_CAPTION_EN, PAGE_CAPTIONS,
                   PAGE_CAPTIONS_EN, STORAGE_EN, STORAGE_VISTA, STORAGE_XP, ID_HELP, veto_message_en)

ENGLISH = "C.UTF-8"
MACHINE = DeviceTreeFile("windows10-en.tree", Path(__file__).resolve().parent.parent / "machines")
STICK = "SanDisk Ultra USB Device"
HOLDER, HOLDER_FILE, HOLDER_PID = r"\Device\HarddiskVolume3\Windows\System32\notepad.exe", "notepad.exe", 4242
JAPANESE = re.compile("[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]")


class English(harness.TestCase):

    def test_list_names_storage_in_english_and_that_name_removes_all_of_it(self):
        with self.session("10", lang=ENGLISH) as s:
            write_settings(s, {"STARTUP": 0})
            removed = {}
            for name in (None, STORAGE_VISTA):
                log = EjectLog(s)
                log.clear()
                env = tree_environment(MACHINE.filled(s.artifacts / f"tree-{len(removed)}"), log)
                if name is None:
                    listing = s.start_tollevane("/list", "/utf8", env=env)
                    self.assertEqual(listing.wait(QUICK_EXIT), 0)
                    lines = listing.stdout_bytes.decode("utf-8").splitlines()
                    self.assertEqual(lines[0], STORAGE_EN)
                    self.assertEqual([line for line in lines if JAPANESE.search(line)], [])
                    name = lines[0]
                self.assertEqual(s.run_tollevane(name, env=env, timeout=QUICK_EXIT).status, 0)
                removed[name] = sorted(e.line for e in log.entries())
            # Typed back, the English first line removes what the Japanese name removes.
            self.assertGreater(len(removed[STORAGE_EN]), 1)
            self.assertEqual(removed[STORAGE_EN], removed[STORAGE_VISTA])

    def test_veto_message_and_sheet_are_english(self):
        with self.session("10", lang=ENGLISH) as s:
            log = EjectLog(s)
            env = tree_environment(held_by(MACHINE, s.artifacts / "tree", STICK, HOLDER, HOLDER_PID), log)
            english_help = s.unix_path(s.program).parent / "Tollevane.en.chm"
            shutil.copyfile(harness.paths().exe.parent / english_help.name, english_help)
            resident = driver.start_resident(s, {"001": Entry(STICK, "ctrl+alt+f5")}, {"STARTUP": 0},
                                             env={**env, "WINEDEBUG": "trace+htmlhelp"})
            s.press("ctrl+alt+f5")
            self.assertEqual(s.answer("cancel", title=ERROR_CAPTION_EN, timeout=20)[1],
                             veto_message_en(STICK, HOLDER_FILE, HOLDER_PID))
            self.assertEqual(self.sheet_texts(s, resident), (PAGE_CAPTIONS_EN[0], ALL_STORAGE_EN))
            resident.command(ID_HELP)
            asked = harness.wait_until(lambda: driver.help_requests(resident.process), what="the help request")
            self.assertEqual(asked[0].path, str(s.program.parent / english_help.name))

    def test_language_setting_wins_over_windows_before_vista_too(self):
        # Windows 2000 takes no thread language: there the chosen language's resources
        # are found by language alone.
        cases = [("2000", None, PAGE_CAPTIONS_EN[0], ALL_STORAGE_EN, STORAGE_EN),
                 ("2000", "ja", PAGE_CAPTIONS[0], ALL_STORAGE_XP, STORAGE_XP),
                 ("10", "ja", PAGE_CAPTIONS[0], ALL_STORAGE_VISTA, STORAGE_VISTA)]
        for version, language, caption, all_storage, storage in cases:
            with self.subTest(version=version, LANGUAGE=language), self.session(version, lang=ENGLISH) as s:
                env = tree_environment(MACHINE.filled(s.artifacts / "tree"), EjectLog(s))
                app = {"STARTUP": 0, **({"LANGUAGE": language} if language else {})}
                resident = driver.start_resident(s, None, app, env=env)
                self.assertEqual(self.sheet_texts(s, resident), (caption, all_storage))
                listing = s.start_tollevane("/list", "/utf8", env=env)
                self.assertEqual(listing.wait(QUICK_EXIT), 0)
                self.assertEqual(listing.stdout_bytes.decode("utf-8").splitlines()[0], storage)

    def sheet_texts(self, s, resident) -> tuple[str, str]:
        """The caption of the sheet's first page and the first row of its device list."""
        sheet: Sheet = resident.open_sheet()
        page = harness.wait_until(lambda: sheet.shown_page(), what="a page shown")
        rows = harness.wait_until(lambda: driver.DeviceListPage(s, page.handle).texts(), what="rows")
        sheet.close()
        return page.text, rows[0]
