"""A save of the settings sheet lands whole or not at all: cut off at its first
change to the settings folder it leaves a file that holds every registration, and a
read-only file stays as it was, with one message."""

import os

import harness
from driver import FolderChanges, Resident
from formats import Entry, read_ini, settings_text
from harness import wait_until
from simulated_devices import MACHINES, DeviceTreeFile, EjectLog, tree_environment
from texts import (ERROR_CAPTION, ERROR_CAPTION_EN, ID_SETTINGS, ID_VERSION, IDOK, PAGE_CAPTIONS, PAGE_CAPTIONS_EN,
                   SETTINGS_NOT_SAVED, SETTINGS_NOT_SAVED_EN)

REGISTRATION_SECTIONS = ("NAME", "HOTKEY", "DEVICE_KIND", "REJECT_TIMES")


class SettingsSave(harness.TestCase):

    def test_a_save_killed_at_its_first_change_leaves_every_registration(self):
        with self.session("10") as s:
            # Written in another order of sections than a save writes, so that OK changes
            # the file even though no registration changes.
            entries = {f"{n:03}": Entry(f"デバイス {n:03}", "AAAAAAAA", times=n) for n in range(1, 257)}
            s.write_settings(settings_text({"STARTUP": 0}, entries))
            before = read_ini(s.settings_file)
            env = tree_environment(DeviceTreeFile("windows10-ja.tree", MACHINES), EjectLog(s))
            resident = Resident.start(s, env=env)
            sheet = resident.open_sheet(ID_SETTINGS)
            page = sheet.device_list()
            wait_until(lambda: len(page.rows()) >= 256, timeout=60, what="the 256 rows listed")

            changes = FolderChanges(s.settings_dir, at_first=resident.process.kill, settled=1)
            sheet.click(IDOK)
            changes.wait()
            self.assertIsNotNone(changes.first, "the save changed the folder")
            self.assertFalse(resident.process.running())
            after = read_ini(s.settings_file)
            for section in REGISTRATION_SECTIONS:
                self.assertEqual(after.get(section), before[section], section)

    def test_a_read_only_file_stays_as_it_was_and_the_user_is_told_once(self):
        # Japanese as Windows chooses it, English as the settings file does.
        for language, caption, told, pages in (("", ERROR_CAPTION, SETTINGS_NOT_SAVED, PAGE_CAPTIONS),
                                               ("en", ERROR_CAPTION_EN, SETTINGS_NOT_SAVED_EN, PAGE_CAPTIONS_EN)):
            with self.subTest(language=language), self.session("10", desktop=True) as s:
                language_key = {"LANGUAGE": language} if language else {}
                s.write_settings(settings_text({"STARTUP": 0, "DISP_MESSAGE": 1, **language_key}))
                before = s.settings_file.read_bytes()
                # Wine shows a file without write permission as FILE_ATTRIBUTE_READONLY.
                os.chmod(s.settings_file, 0o444)
                sheet = Resident.start(s).open_sheet(ID_VERSION)
                page = sheet.show(2, pages)
                s.click(page, control_id=1006)
                wait_until(lambda: s.control_states(page)[1006].check == "0", what="box cleared")
                sheet.click(IDOK)

                _, text = s.message_box(title=caption)
                s.screenshot(s.artifacts / f"settings-not-saved{'-' + language if language else ''}.png")
                self.assertTrue(text.startswith(told), text)
                self.assertGreater(len(text), len(told), "the system's reason follows")
                s.answer("ok", title=caption)
                sheet.wait_gone()
                self.assertEqual(s.settings_file.read_bytes(), before)
                self.assertEqual(sorted(os.listdir(s.settings_dir)), ["Tollevane.ini"], "nothing left beside it")
                self.assertFalse([w for w in s.windows() if w.title == caption and w.visible], "one message")
