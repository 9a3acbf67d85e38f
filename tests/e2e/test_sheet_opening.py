"""Opening the settings sheet from the tray under Wine: the double click shows the four
tabs in order, a second request while it is open brings that sheet to the front
instead of opening another, and the hotkey dialog's Help asks for its own topic."""

import time
import unittest

import driver
import harness
from driver import Resident, Sheet, foreground, other_window_in_front
from formats import Entry
from harness import wait_until
from simulated_devices import DeviceTreeFile, EjectLog, tree_environment
from texts import (DIALOG_CLASS, HELP_BUTTON, ID_SETTINGS, IDCANCEL, PAGE_CAPTIONS as CAPTIONS, PROCESS, PROGRAM,
                   TOPICS, WM_LBUTTONDBLCLK)

DEMO = DeviceTreeFile("demo.tree")


def sheets(s: harness.Session) -> list[str]:
    return [w.handle for w in s.windows()
            if w.visible and w.class_name == DIALOG_CLASS and w.title == PROGRAM and w.process == PROCESS]


def double_click_tray(resident: Resident) -> Sheet:
    resident.tray(WM_LBUTTONDBLCLK)
    return Sheet.wait(resident.session)


class SheetOpening(harness.TestCase):

    def test_double_click_shows_four_tabs_in_order_and_a_second_request_reuses_the_sheet(self):
        with self.session("10", desktop=True) as s:
            resident = driver.start_resident(s)
            sheet = double_click_tray(resident)
            wait_until(lambda: sheet.shown_caption() == CAPTIONS[0], what="device list tab first")
            wait_until(lambda: foreground(s) == sheet.handle, 10, what="new sheet in front")

            for index, caption in enumerate(CAPTIONS):
                sheet.select_tab(index)
                wait_until(lambda: sheet.shown_caption() == caption, what=f"tab {index} shows {caption}")
            # A fifth tab does not exist: asking for it leaves the last page shown.
            sheet.select_tab(4)
            time.sleep(0.5)
            self.assertEqual(sheet.shown_caption(), CAPTIONS[3])
            self.assertEqual(sorted(p.text for p in sheet.pages()), sorted(CAPTIONS), "four pages, no more")

            # With the sheet behind another application, each further request (the
            # double click, then the menu command) brings the same sheet back.
            for request, title in (("double click", "メモ帳"), ("settings command", "電卓")):
                other = other_window_in_front(s, title)
                self.assertNotEqual(other, sheet.handle)
                if request == "double click":
                    resident.tray(WM_LBUTTONDBLCLK)
                else:
                    resident.command(ID_SETTINGS)
                wait_until(lambda: foreground(s) == sheet.handle, 10, what=f"sheet in front after the {request}")
                time.sleep(0.5)  # a second sheet would have appeared by now
                self.assertEqual(sheets(s), [sheet.handle], f"one sheet after the {request}")
                self.assertEqual(sheet.shown_caption(), CAPTIONS[3], "the open sheet keeps its page")

            sheet.close(IDCANCEL)
            self.assertEqual(s.read_settings(), {"APP": {"STARTUP": "0"}}, "Cancel writes nothing")

    def test_second_start_brings_the_open_sheet_not_another_window_of_the_same_title(self):
        # An Explorer window on the unpacked folder bears the program's name too.
        with self.session("xp", desktop=True) as s:
            resident = driver.start_resident(s)
            sheet = double_click_tray(resident)
            folder = other_window_in_front(s, PROGRAM)
            self.assertNotEqual(folder, sheet.handle)

            second = s.run_tollevane(timeout=15)
            self.assertEqual(second.status, 0)
            wait_until(lambda: foreground(s) == sheet.handle, 10, what="the sheet in front after a second start")
            self.assertEqual(sheets(s), [sheet.handle])
            self.assertTrue(resident.process.running())


class HotkeyDialogHelp(harness.TestCase):

    def test_help_button_asks_for_the_hotkey_topic(self):
        # Wine has no HTML engine here; the help component's trace says which topic
        # was asked for, of which file and by which window.
        with self.session("vista") as s:
            program_env = {**tree_environment(DEMO, EjectLog(s)), "WINEDEBUG": "trace+htmlhelp"}
            resident = driver.start_resident(s, {"001": Entry("SanDisk Cruzer USB Device", "ctrl+alt+f5")}, env=program_env)
            sheet = double_click_tray(resident)
            page = sheet.device_list()
            dialog = page.open_dialog(page.texts()[0])

            def requests() -> list[driver.HelpRequest]:
                return driver.help_requests(resident.process)

            self.assertEqual(requests(), [], "no help asked for before the button")
            dialog.click(HELP_BUTTON)
            asked = wait_until(requests, what="help asked from the hotkey dialog")
            self.assertEqual(asked, [driver.HelpRequest(int(dialog.handle, 16), str(s.program.with_suffix(".chm")),
                                                        TOPICS["hotkey"])])
            self.assertIn(dialog.handle, [w.handle for w in s.windows() if w.visible], "the dialog stays open")

            dialog.cancel()
            sheet.close(IDCANCEL)


if __name__ == "__main__":
    unittest.main()
