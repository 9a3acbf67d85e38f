"""Keeping a stick out of the all-storage entry: chosen from the device list's context
menu, stored in KEEP by the sheet's OK, passed over by the all-storage hotkey while its
own hotkey still removes it; the menu in Japanese and English."""

import unittest

import driver
import harness
import texts
from driver import DeviceListPage
from formats import Entry
from harness import wait_until
from simulated_devices import CR_SUCCESS, DeviceTreeFile, EjectLog, tree_environment
from texts import ALL_STORAGE_EN, ALL_STORAGE_VISTA, IDOK, PAGE_CAPTIONS_EN

TWO_STICKS = DeviceTreeFile("two_sticks.tree")
BUFFALO = "BUFFALO ClipDrive USB Device"
IODATA = "I-O DATA TB-BH2 USB Device"
KEPT_MARK_JA = "（すべてから除外）"
KEPT_MARK_EN = " (kept out of all)"
ENGLISH = "C.UTF-8"


class KeepOut(harness.TestCase):

    def test_all_storage_key_passes_over_the_kept_stick_which_its_own_key_removes(self):
        with self.session("10", desktop=True) as s:
            log = EjectLog(s)
            env = tree_environment(TWO_STICKS, log)
            entries = {"STORAGE": Entry(ALL_STORAGE_VISTA, "ctrl+alt+f5"),
                       "001": Entry(BUFFALO, "ctrl+alt+b")}
            _, sheet, page = driver.start_at_device_list(s, env, entries)

            page.right_click(BUFFALO)
            self.assertEqual(page.selected(), [BUFFALO])
            s.screenshot(s.artifacts / "context-menu-ja.png")
            s.press("k")
            wait_until(lambda: BUFFALO + KEPT_MARK_JA in page.texts(), what="row marked kept")
            self.assertIn(IODATA, page.texts())

            sheet.close(IDOK)
            wait_until(lambda: s.read_settings().get("KEEP"), what="KEEP written")
            self.assertEqual(s.read_settings()["KEEP"], {"001": BUFFALO})
            s.wait_hotkeys_taken(["ctrl+alt+f5", "ctrl+alt+b"])

            s.press("ctrl+alt+f5")
            driver.wait_removal_count(s, "STORAGE", 1)
            self.assertEqual(log.lines_and_results(), [(TWO_STICKS.parent_of(IODATA), CR_SUCCESS)])
            log.clear()

            s.press("ctrl+alt+b")
            driver.wait_removal_count(s, "001", 1)
            self.assertEqual(log.lines_and_results(), [(TWO_STICKS.parent_of(BUFFALO), CR_SUCCESS)])

    def test_english_menu_checks_a_kept_stick(self):
        with self.session("10", desktop=True, lang=ENGLISH) as s:
            s.write_settings(driver.settings_text({"STARTUP": 0}) + f"[KEEP]\n001={BUFFALO}\n")
            env = tree_environment(TWO_STICKS, EjectLog(s))
            resident = driver.Resident.start(s, env=env)
            sheet = resident.open_sheet(texts.ID_SETTINGS)
            caption = PAGE_CAPTIONS_EN[texts.DEVICE_LIST_PAGE]
            handle = wait_until(lambda: next((c.handle for c in sheet.pages() if c.text == caption), None),
                                what="the English device list is shown")
            page = DeviceListPage(s, handle)
            self.assertEqual(page.texts(), [ALL_STORAGE_EN, BUFFALO + KEPT_MARK_EN, IODATA])
            page.right_click(BUFFALO + KEPT_MARK_EN)
            self.assertEqual(page.selected(), [BUFFALO + KEPT_MARK_EN])
            s.screenshot(s.artifacts / "context-menu-en.png")
            # Chosen again, the kept stick is let back in.
            s.press("k")
            wait_until(lambda: BUFFALO in page.texts(), what="mark gone")
            sheet.close(IDOK)
            wait_until(lambda: "KEEP" not in s.read_settings() or not s.read_settings()["KEEP"],
                       what="KEEP emptied")


if __name__ == "__main__":
    unittest.main()
