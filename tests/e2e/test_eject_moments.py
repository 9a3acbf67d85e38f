"""Removal when the user walks away: the main window takes Windows' suspend and lock notices, answers
at once, removes only what chose that moment and keeps its messages for the return; the hotkey
dialog sets the moments, stored in section EJECT_ON."""

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
SLEEP, LOCK, NOTICE_TO_REQUEST_LIMIT = 1, 2, 1.5  # Windows allows about 2 s for a suspend notice
# WM_POWERBROADCAST with PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC; WM_WTSSESSION_CHANGE with WTS_SESSION_(UN)LOCK.
SUSPEND, RESUME, LOCKING, UNLOCKING = (0x218, 0x4), (0x218, 0x12), (0x2B1, 0x7), (0x2B1, 0x8)
EJECT_SLEEP_BOX, EJECT_LOCK_BOX, EJECT_DISPLAY_OFF_BOX = 1041, 1042, 1043
ENGLISH = "C.UTF-8"


def notify(s, window: str, notice: tuple[int, int]) -> float:
    """Sends the notice as the system sends it; gives the moment the window answered."""
    result = s.helper("postmsg", "--send", window, *map(str, notice))
    if result.status != 0:
        raise HarnessError(f"postmsg --send {notice} failed: {result.stderr.strip()}")
    return stamp(result.stdout.strip())


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
                self.assertEqual([(e.line, e.result) for e in log.wait_for(1)],
                                 [(MACHINE.parent_of(chosen), CR_SUCCESS)])
                requested = log.last_write()
                print(f"notice {notice} answered to eject request: {(requested - answered) * 1000:.0f} ms")
                self.assertLess(requested - answered, NOTICE_TO_REQUEST_LIMIT)
                wait_removal_count(s, key, 1)
                self.assertIsNone(wait_a_moment_for(lambda: len(log.entries()) > 1 or None, 2), "only it")
                self.assertNothingVisible(s)

    def test_a_veto_is_kept_until_the_user_is_back_and_told_with_its_holder(self):
        for leaving, back in ((SUSPEND, RESUME), (LOCKING, UNLOCKING)):
            with self.subTest(leaving=leaving), self.session("10") as s:
                log = EjectLog(s)
                env = tree_environment(held_by(MACHINE, s.artifacts / "tree", ASLEEP, HOLDER, HOLDER_PID), log)
                resident = driver.start_resident(s, {"001": Entry(ASLEEP, "ctrl+alt+f5", eject_on=SLEEP | LOCK)},
                                                 env=env)
                notify(s, resident.main, leaving)
                self.assertEqual({e.result for e in log.wait_for(1)}, {CR_REMOVE_VETOED})
                self.assertIsNone(wait_a_moment_for(lambda: [w for w in s.windows() if w.visible
                                                             and w.title == ERROR_CAPTION] or None, 2))

                notify(s, resident.main, back)
                self.assertEqual(s.message_box(title=ERROR_CAPTION, timeout=20)[1],
                                 veto_message(ASLEEP, HOLDER_FILE, HOLDER_PID))
                set_free(env)
                log.clear()
                s.answer(str(IDRETRY), title=ERROR_CAPTION)
                self.assertEqual([(e.line, e.result) for e in log.wait_for(1)],
                                 [(MACHINE.parent_of(ASLEEP), CR_SUCCESS)])
                wait_removal_count(s, "001", 1)

    def test_hotkey_dialog_sets_the_moments_in_japanese_on_xp_without_the_display(self):
        self.set_moments_in_the_dialog("xp", None, HOTKEY_DIALOG_CAPTION, "hotkey-dialog-moments-ja-xp")

    def test_hotkey_dialog_sets_the_moments_in_english(self):
        self.set_moments_in_the_dialog("10", ENGLISH, HOTKEY_DIALOG_CAPTION_EN, "hotkey-dialog-moments-en")

    def set_moments_in_the_dialog(self, version, lang, caption, picture):
        """Ticks the lock beside the stored sleep; the display's state is offered from Windows 8 on."""
        with self.session(version, desktop=True, lang=lang) as s:
            resident = driver.start_resident(s, {"001": Entry(ASLEEP, "ctrl+alt+f5", eject_on=SLEEP)},
                                             env=tree_environment(MACHINE, EjectLog(s)))
            sheet = resident.open_sheet()
            rows = driver.DeviceListPage(s, wait_until(sheet.shown_page, what="a page shown").handle)
            wait_until(lambda: ASLEEP in rows.texts(), what="the registered row")
            rows.select(ASLEEP)
            rows.click(1001)  # Set
            dialog = s.wait_window(title=caption, class_name=DIALOG_CLASS, visible=True)
            boxes = s.control_states(dialog)
            self.assertEqual([(boxes[b].check, boxes[b].enabled)
                              for b in (EJECT_SLEEP_BOX, EJECT_LOCK_BOX, EJECT_DISPLAY_OFF_BOX)],
                             [("1", True), ("0", True), ("0", version == "10")])
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
