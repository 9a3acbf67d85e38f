"""Removal at the moments the user walks away: the main window takes the suspend and
lock notices as Windows sends them (WM_POWERBROADCAST, WM_WTSSESSION_CHANGE), answers at
once, removes only what chose that moment and keeps its messages for the user's return;
the hotkey dialog sets the moments and the sheet stores them in section EJECT_ON."""

import unittest
from pathlib import Path

import driver
import harness
from driver import wait_removal_count
from harness import Entry, HarnessError, wait_until
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog, held_by, set_free, stamp,
                               tree_environment, wait_a_moment_for)
from texts import (DIALOG_CLASS, ERROR_CAPTION, HOTKEY_DIALOG_CAPTION, HOTKEY_DIALOG_CAPTION_EN, IDOK, IDRETRY,
                   veto_message)

MACHINE = DeviceTreeFile("windows10-ja.tree", Path(__file__).resolve().parent.parent / "machines")
ASLEEP, LOCKED, KEPT = "SanDisk Ultra USB Device", "WD Elements 25A2 USB Device", "Samsung Flash Drive FIT USB Device"
HOLDER, HOLDER_FILE, HOLDER_PID = r"\Device\HarddiskVolume3\Windows\System32\notepad.exe", "notepad.exe", 4242
SLEEP, LOCK = 1, 2
WM_POWERBROADCAST, PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC = 0x218, 0x4, 0x12
WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK = 0x2B1, 0x7, 0x8
SUSPEND, RESUME = (WM_POWERBROADCAST, PBT_APMSUSPEND), (WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC)
LOCKING, UNLOCKING = (WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), (WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK)
EJECT_SLEEP_BOX, EJECT_LOCK_BOX, EJECT_DISPLAY_OFF_BOX = 1041, 1042, 1043
ENGLISH = "C.UTF-8"
# Windows allows about two seconds for a suspend notice; the removal gives up before.
NOTICE_TO_REQUEST_LIMIT = 1.5


def notify(s, window: str, notice: tuple[int, int]) -> float:
    """Sends the notice as the system sends it; gives the moment the window answered."""
    message, event = notice
    result = s.helper("postmsg", "--send", window, str(message), str(event))
    if result.status != 0:
        raise HarnessError(f"postmsg --send {notice} failed: {result.stderr.strip()}")
    return stamp(result.stdout.strip())


def visible_errors(s) -> list:
    return [w for w in s.windows() if w.visible and w.title == ERROR_CAPTION] or None


class EjectMoments(harness.TestCase):

    def test_suspend_removes_what_chose_sleep_and_the_lock_what_chose_the_lock(self):
        with self.session("10") as s:
            log = EjectLog(s)
            resident = driver.start_resident(s, {"001": Entry(ASLEEP, "ctrl+alt+f5", eject_on=SLEEP),
                                                 "002": Entry(LOCKED, "ctrl+alt+f6", eject_on=LOCK),
                                                 "003": Entry(KEPT, "ctrl+alt+f7")},
                                             env=tree_environment(MACHINE, log))
            for notice, chosen, key in ((SUSPEND, ASLEEP, "001"), (LOCKING, LOCKED, "002")):
                log.clear()
                answered = notify(s, resident.main, notice)
                ejected = log.wait_for(1)
                requested = log.last_write()
                print(f"notice {notice} answered to eject request: {(requested - answered) * 1000:.0f} ms")
                self.assertEqual([(e.line, e.result) for e in ejected], [(MACHINE.parent_of(chosen), CR_SUCCESS)])
                self.assertLess(requested - answered, NOTICE_TO_REQUEST_LIMIT)
                wait_removal_count(s, key, 1)
                self.assertIsNone(wait_a_moment_for(lambda: len(log.entries()) > 1 or None, 2),
                                  f"only the chosen device: {log.lines_and_results()}")
                self.assertNothingVisible(s)
            self.assertEqual(driver.removal_count(s, "003"), "0")

    def test_a_veto_is_kept_until_the_user_is_back_and_told_with_its_holder(self):
        for leaving, back, retry in ((SUSPEND, RESUME, False), (LOCKING, UNLOCKING, True)):
            with self.subTest(leaving=leaving), self.session("10") as s:
                log = EjectLog(s)
                env = tree_environment(held_by(MACHINE, s.artifacts / "tree", ASLEEP, HOLDER, HOLDER_PID), log)
                resident = driver.start_resident(s, {"001": Entry(ASLEEP, "ctrl+alt+f5", eject_on=SLEEP | LOCK)},
                                                 env=env)
                notify(s, resident.main, leaving)
                self.assertEqual({e.result for e in log.wait_for(1)}, {CR_REMOVE_VETOED})
                self.assertIsNone(wait_a_moment_for(lambda: visible_errors(s), 2), "nobody is there to answer")

                notify(s, resident.main, back)
                told = s.message_box(title=ERROR_CAPTION, timeout=20)[1]
                self.assertEqual(told, veto_message(ASLEEP, HOLDER_FILE, HOLDER_PID))
                if not retry:
                    s.answer("cancel", title=ERROR_CAPTION)
                    s.wait_window_gone(title=ERROR_CAPTION, class_name=DIALOG_CLASS, timeout=5)
                    self.assertEqual(driver.removal_count(s, "001"), "0")
                    continue
                set_free(env)
                log.clear()
                s.answer(str(IDRETRY), title=ERROR_CAPTION)
                self.assertEqual([(e.line, e.result) for e in log.wait_for(1)],
                                 [(MACHINE.parent_of(ASLEEP), CR_SUCCESS)])
                wait_removal_count(s, "001", 1)

    def test_hotkey_dialog_sets_the_moments_in_both_languages(self):
        for lang, caption, picture in ((None, HOTKEY_DIALOG_CAPTION, "hotkey-dialog-moments-ja"),
                                       (ENGLISH, HOTKEY_DIALOG_CAPTION_EN, "hotkey-dialog-moments-en")):
            with self.subTest(lang=lang), self.session("10", desktop=True, lang=lang) as s:
                resident = driver.start_resident(s, {"001": Entry(ASLEEP, "ctrl+alt+f5", eject_on=SLEEP)},
                                                 env=tree_environment(MACHINE, EjectLog(s)))
                sheet = resident.open_sheet()
                page = wait_until(sheet.shown_page, what="a page shown")
                rows = driver.DeviceListPage(s, page.handle)
                wait_until(lambda: ASLEEP in rows.texts(), what="the registered row")
                rows.select(ASLEEP)
                rows.click(1001)  # Set
                dialog = s.wait_window(title=caption, class_name=DIALOG_CLASS, visible=True)
                boxes = s.control_states(dialog)
                self.assertEqual([(boxes[b].check, boxes[b].enabled)
                                  for b in (EJECT_SLEEP_BOX, EJECT_LOCK_BOX, EJECT_DISPLAY_OFF_BOX)],
                                 [("1", True), ("0", True), ("0", True)])
                s.click(dialog, control_id=EJECT_LOCK_BOX)
                wait_until(lambda: s.control_states(dialog)[EJECT_LOCK_BOX].check == "1", what="lock ticked")
                s.screenshot(s.artifacts / f"{picture}.png")
                s.click(dialog, control_id=IDOK)
                s.wait_window_gone(title=caption, class_name=DIALOG_CLASS)
                sheet.close(IDOK)
                wait_until(lambda: s.read_settings().get("EJECT_ON", {}).get("001") == str(SLEEP | LOCK),
                           what="EJECT_ON 001=3")


if __name__ == "__main__":
    unittest.main()
