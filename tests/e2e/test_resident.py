"""The resident program under Wine: hotkey removals against a simulated device
tree (eject log, stored counts, the wait dialog and its forced stop, the
milestone balloon, the failure message), the tray icon's menu, the exit command
and the closer of Windows 2000's removal message window."""

import time
import unittest

import driver
import harness
from driver import (balloons, foreground, other_window_in_front, removal_count, timed_press, wait_removal_count,
                    watch_window)
from harness import Entry
from simulated_devices import (CR_FAILURE, CR_SUCCESS, DeviceTreeFile, EjectLog, menu_layout, most_common,
                               plug_in_again, screen_region, stamp, stamped_events, tree_environment, wait_a_moment_for,
                               wait_for_output)
from texts import (CONFIRM_CAPTION, CONGRATULATION, DIALOG_CLASS, ERROR_CAPTION, EXIT_QUESTION, FORCE_STOP_QUESTION,
                   ID_EXIT, MENU_CLASS, PROGRAM, REMOVAL_FAILED, REMOVING, WAIT_DEVICE_NAME, WM_ENDSESSION,
                   WM_RBUTTONDOWN)

REMOVAL_WINDOW_TEXT = "ハードウェアの取り外し"

DEVICES = DeviceTreeFile("resident_devices.tree")
QUICK = "Quick Stick USB Device"      # delay 1500
SLOW = "Slow Disk USB Device"         # delay 6000
LONG = "Long Disk USB Device"         # delay 20000
STUCK = "Stuck Disk USB Device"       # delay 120000
CARD = "RATOC REX-CFU1 CompactFlash PC Card"
SCSI_CARD = "I-O DATA CBSC2 SCSI Card"
BROKEN = "Broken Modem Card"          # eject=fail

# Wine's tray shows a balloon two seconds after it is asked for.
BALLOON_DELAY = 2.0


class ResidentCase(harness.TestCase):

    def start_resident(self, s, entries, app=None):
        """The program running resident on the device tree, its hotkeys held;
        gives the program, its main window and the eject log."""
        log = EjectLog(s)
        self.devices = tree_environment(DEVICES, log)
        self.resident = driver.start_resident(s, entries, app, env=self.devices)
        return self.resident.process, self.resident.main, log


class HotkeyRemoval(ResidentCase):

    def test_quick_removals_eject_the_registered_device_count_and_show_nothing(self):
        entries = {
            "001": Entry(QUICK, "ctrl+alt+f5", kind=0x01, times=4),
            "002": Entry(SCSI_CARD, "ctrl+alt+f6", kind=0x02),
            "003": Entry(CARD, "ctrl+shift+f7", kind=0x02, times=41),
        }
        with self.session("10") as s:
            program, main, log = self.start_resident(s, entries)
            # Neither the wait dialog nor the main window may show at any moment.
            watchers = [watch_window(s, PROGRAM, DIALOG_CLASS), watch_window(s, PROGRAM, PROGRAM)]

            s.press("ctrl+alt+f6")
            self.assertEqual([(e.line, e.result) for e in log.wait_for(1)],
                             [(DEVICES.line_of(SCSI_CARD), CR_SUCCESS)])
            wait_removal_count(s, "002", 1)

            # Takes 1.5 s: still within the silent wait.
            s.press("ctrl+alt+f5")
            ejects = log.wait_for(2)
            self.assertEqual((ejects[1].line, ejects[1].result), (DEVICES.parent_of(QUICK), CR_SUCCESS))
            wait_removal_count(s, "001", 5)
            self.assertEqual(removal_count(s, "003"), "41")

            for watcher in watchers:
                self.assertTrue(watcher.running(), "watched all along")
                self.assertEqual(watcher.stdout, "", "nothing shown")
                watcher.kill()
            self.assertNothingVisible(s)
            self.assertTrue(program.running())

    def test_slow_removal_shows_the_wait_dialog_until_the_eject_ends(self):
        with self.session("xp", desktop=True) as s:
            program, main, log = self.start_resident(s, {"001": Entry(SLOW, "ctrl+alt+f5")})
            watcher = watch_window(s, PROGRAM, DIALOG_CLASS)
            pressed = timed_press(s, "ctrl+alt+f5")

            shown = stamped_events(wait_for_output(watcher, "shown", 15))[0]
            self.assertGreater(shown[1] - pressed, 2.3, "the dialog waits out the silent 2.5 s")
            self.assertLess(shown[1] - pressed, 5.0)
            texts = {c.control_id: c.text for c in s.controls(shown[2])}
            self.assertEqual(texts[WAIT_DEVICE_NAME], SLOW)
            self.assertIn(REMOVING, texts.values())
            mine = {w.handle: w for w in s.windows() if w.process == "Tollevane.exe"}
            self.assertTrue(mine[main].visible, "the main window gives a taskbar button meanwhile")

            # A second press is dropped, not queued; Enter does not close the dialog.
            s.press("ctrl+alt+f5")
            s.press("enter")

            self.assertEqual(watcher.wait(20), 0, watcher.stdout)
            gone = stamped_events(watcher.stdout)[1][1]
            ejected = log.last_write()
            self.assertGreater(gone - ejected, -0.05, "the dialog stays until the eject has ended")
            self.assertLess(gone - ejected, 1.0, "the dialog closes at its next 250 ms poll")
            print(f"wait dialog: shown {shown[1] - pressed:.3f} s after the press, "
                  f"gone {gone - ejected:.3f} s after the eject's end")

            # A queued second removal would show the dialog again after its silent wait.
            again = watch_window(s, PROGRAM, DIALOG_CLASS, timeout=4)
            self.assertEqual(again.wait(15), 1, again.stdout)
            self.assertEqual(log.lines_and_results(), [(DEVICES.parent_of(SLOW), CR_SUCCESS)])
            self.assertEqual(removal_count(s, "001"), "1")
            self.assertFalse({w.handle: w for w in s.windows()}[main].visible)

    def test_forced_stop_abandons_the_worker_and_discards_its_outcome(self):
        entries = {"001": Entry(LONG, "ctrl+alt+f5", times=9),
                   "002": Entry(QUICK, "ctrl+alt+f6", times=4)}
        with self.session("xp", desktop=True) as s:
            # The abandoned removal ends as the tenth: a count and a balloon it must not give.
            program, main, log = self.start_resident(s, entries, {"DISP_MESSAGE": 1})
            s.press("ctrl+alt+f5")
            dialog = s.wait_window(title=PROGRAM, class_name=DIALOG_CLASS, visible=True, timeout=15)

            # Another application comes to the front; the tray icon brings the
            # dialog back instead of opening its menu.
            other_window_in_front(s, "メモ帳")
            self.resident.tray(WM_RBUTTONDOWN)
            harness.wait_until(lambda: foreground(s) == dialog, 10, what="wait dialog in front")
            self.assertIsNone(wait_a_moment_for(
                lambda: [w for w in s.windows() if w.class_name == MENU_CLASS and w.visible], 1.5))

            # Esc asks; Enter takes the default answer, No, and the removal goes on.
            s.press("esc")
            box, text = s.message_box(title=CONFIRM_CAPTION, timeout=10)
            self.assertEqual(text, FORCE_STOP_QUESTION)
            self.assertEqual([w.process for w in s.windows() if w.handle == box], ["Tollevane.exe"])
            s.press("enter")
            s.wait_window_gone(title=CONFIRM_CAPTION, class_name=DIALOG_CLASS, timeout=10)
            time.sleep(0.6)  # more than two polls of the dialog
            self.assertIn(dialog, [w.handle for w in s.windows() if w.visible])

            # Yes abandons the worker: the dialog closes at once and the program is idle.
            s.press("esc")
            question = watch_window(s, CONFIRM_CAPTION, DIALOG_CLASS, timeout=20)
            waiting = watch_window(s, PROGRAM, DIALOG_CLASS, timeout=20)
            wait_for_output(question, "shown")
            wait_for_output(waiting, "shown")
            self.assertEqual(s.answer("yes", title=CONFIRM_CAPTION), (CONFIRM_CAPTION, FORCE_STOP_QUESTION))
            self.assertEqual(waiting.wait(15), 0, waiting.stdout)
            self.assertEqual(question.wait(15), 0, question.stdout)
            answered = stamped_events(question.stdout)[1][1]
            closed = stamped_events(waiting.stdout)[1][1]
            self.assertLess(closed - answered, 1.0, "closed at once")
            self.assertEqual(log.entries(), [], "the abandoned request is still running")
            print(f"wait dialog gone {closed - answered:.3f} s after the forced stop")

            # The next press starts a removal at once, beside the abandoned one.
            s.press("ctrl+alt+f6")
            self.assertEqual(log.wait_for(1)[0].line, DEVICES.parent_of(QUICK))
            wait_removal_count(s, "002", 5)

            # The abandoned worker runs to its end; what it did is not reported.
            ejects = log.wait_for(2, timeout=30)
            self.assertEqual((ejects[1].line, ejects[1].result), (DEVICES.parent_of(LONG), CR_SUCCESS))
            self.assertIsNone(wait_a_moment_for(lambda: balloons(s), BALLOON_DELAY + 2),
                              "no balloon for an abandoned removal")
            self.assertEqual(removal_count(s, "001"), "9", "no count for an abandoned removal")
            self.assertEqual([w for w in s.windows() if w.visible and w.process == "Tollevane.exe"], [])
            self.assertTrue(program.running())

    def test_absent_device_is_reported_at_once_without_the_wait_dialog(self):
        # The box the worker shows disables its owner, which sends messages to the
        # waiting main window: the wait must take them.
        with self.session("xp") as s:
            program, main, log = self.start_resident(s, {"001": Entry("Missing Card", "ctrl+alt+f6", kind=0x02)},
                                                     {"DISP_REJECT_ERR": 1})
            box_watch = watch_window(s, ERROR_CAPTION, DIALOG_CLASS)
            dialog_watch = watch_window(s, PROGRAM, DIALOG_CLASS)
            pressed = timed_press(s, "ctrl+alt+f6")
            shown = stamped_events(wait_for_output(box_watch, "shown", 15))[0][1]
            print(f"message 110 shown {shown - pressed:.3f} s after the press")
            self.assertLess(shown - pressed, 1.0, "shown at once")
            # The silent wait would have ended 2.5 s after the press.
            time.sleep(max(0.0, pressed + 3.5 - time.time()))
            self.assertEqual(dialog_watch.stdout, "", "no wait dialog")
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION),
                             (ERROR_CAPTION, REMOVAL_FAILED.format("Missing Card")))
            self.assertEqual(log.entries(), [])
            dialog_watch.kill()
            self.assertTrue(program.running())

    def test_presses_during_a_removal_start_nothing_after_it(self):
        with self.session("10") as s:
            program, main, log = self.start_resident(s, {"001": Entry(QUICK, "ctrl+alt+f5", times=2)})
            result = s.helper("timedpress", "--gap", "300", "ctrl+alt+f5", "ctrl+alt+f5", "ctrl+alt+f5")
            self.assertEqual(result.status, 0, result.stderr)
            presses = [stamp(line) for line in result.stdout.split()]
            self.assertLess(presses[-1] - presses[0], 1.4, "all three within the first removal")
            log.wait_for(1)
            wait_removal_count(s, "001", 3)
            # Queued presses would each start another 1.5 s removal.
            wait_a_moment_for(lambda: len(log.entries()) > 2 or None, 5)
            print(f"eject requests for three presses 0.3 s apart: {len(log.entries())}")
            self.assertEqual(len(log.entries()), 1)
            self.assertEqual(removal_count(s, "001"), "3")
            # The program is idle again: the next press removes the device plugged in again.
            plug_in_again(self.devices)
            s.press("ctrl+alt+f5")
            log.wait_for(2)
            wait_removal_count(s, "001", 4)

    def test_close_and_end_of_session_wait_for_a_running_removal(self):
        with self.session("xp", desktop=True) as s:
            program, main, log = self.start_resident(s, {"001": Entry(SLOW, "ctrl+alt+f5", times=1)})
            s.press("ctrl+alt+f5")
            dialog = s.wait_window(title=PROGRAM, class_name=DIALOG_CLASS, visible=True, timeout=15)
            # The taskbar button's close, or another program's.
            self.assertEqual(s.helper("postmsg", main, "close").status, 0)
            time.sleep(0.6)  # more than two polls of the wait dialog
            mine = {w.handle for w in s.windows() if w.process == "Tollevane.exe"}
            self.assertIn(main, mine, "the main window stays while the removal runs")
            self.assertIn(dialog, mine)
            log.wait_for(1, timeout=15)
            wait_removal_count(s, "001", 2)
            s.wait_window_gone(title=PROGRAM, class_name=DIALOG_CLASS, timeout=5)
            self.assertTrue(program.running())

            # The session ends during a removal: once the window has answered, the
            # system may end the process at any moment, so the count must be stored by then.
            plug_in_again(self.devices)
            s.press("ctrl+alt+f5")
            s.wait_window(title=PROGRAM, class_name=DIALOG_CLASS, visible=True, timeout=15)
            ended = s.helper("postmsg", "--send", main, str(WM_ENDSESSION), "1", "0", timeout=60)
            self.assertEqual(ended.status, 0, ended.stderr)
            program.kill()
            self.assertEqual(removal_count(s, "001"), "3", "stored before WM_ENDSESSION returned")

            # Outside a removal a close ends the program as before.
            program, main, log = self.start_resident(s, {"001": Entry(SLOW, "ctrl+alt+f5")})
            self.assertEqual(s.helper("postmsg", main, "close").status, 0)
            self.assertEqual(program.wait(15), 0)

    def test_milestone_balloon_at_the_tenth_removal_only(self):
        entries = {
            "001": Entry(CARD, "ctrl+alt+f5", kind=0x02, times=10),
            "002": Entry(SCSI_CARD, "ctrl+alt+f6", kind=0x02, times=9),
        }
        with self.session("xp", desktop=True) as s:
            program, main, log = self.start_resident(s, entries, {"DISP_MESSAGE": 1})
            s.press("ctrl+alt+f5")
            log.wait_for(1)
            wait_removal_count(s, "001", 11)
            self.assertIsNone(wait_a_moment_for(lambda: balloons(s), BALLOON_DELAY + 2),
                              "no balloon at the 11th removal")

            s.press("ctrl+alt+f6")
            log.wait_for(2)
            wait_removal_count(s, "002", 10)
            shown = harness.wait_until(lambda: balloons(s), BALLOON_DELAY + 8, what="the balloon")
            s.screenshot(s.artifacts / "balloon.png")
            self.assertEqual(shown, [CONGRATULATION.format(SCSI_CARD, 10)])
            self.assertEqual(log.lines_and_results(), [(DEVICES.line_of(CARD), CR_SUCCESS),
                                                       (DEVICES.line_of(SCSI_CARD), CR_SUCCESS)])

    def test_count_is_stored_without_a_balloon_when_messages_are_off(self):
        with self.session("xp", desktop=True) as s:
            program, main, log = self.start_resident(
                s, {"001": Entry(CARD, "ctrl+alt+f5", kind=0x02, times=9)}, {"DISP_MESSAGE": 0})
            s.press("ctrl+alt+f5")
            self.assertEqual([(e.line, e.result) for e in log.wait_for(1)], [(DEVICES.line_of(CARD), CR_SUCCESS)])
            wait_removal_count(s, "001", 10)
            self.assertIsNone(wait_a_moment_for(lambda: balloons(s), BALLOON_DELAY + 2))
            self.assertNothingVisible(s)

    def test_failed_removal_is_reported_only_when_asked(self):
        entries = {
            "001": Entry(BROKEN, "ctrl+alt+f5", kind=0x02, times=2),
            "002": Entry("Missing Card", "ctrl+alt+f6", kind=0x02),
        }
        failed = [(DEVICES.line_of(BROKEN), CR_FAILURE)]
        with self.session("xp") as s:
            program, main, log = self.start_resident(s, entries, {"DISP_REJECT_ERR": 1})
            for combo, name, ejects in (("ctrl+alt+f5", BROKEN, failed), ("ctrl+alt+f6", "Missing Card", [])):
                with self.subTest(name=name):
                    log.clear()
                    s.press(combo)
                    box, _ = s.message_box(title=ERROR_CAPTION, timeout=15)
                    self.assertEqual([w.process for w in s.windows() if w.handle == box], ["Tollevane.exe"])
                    self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, REMOVAL_FAILED.format(name)))
                    self.assertEqual(log.lines_and_results(), ejects)
                    s.wait_window_gone(title=PROGRAM, class_name=DIALOG_CLASS, timeout=5)
            self.assertEqual(removal_count(s, "001"), "2")
            self.assertEqual(removal_count(s, "002"), "0")

        with self.session("xp") as s:
            program, main, log = self.start_resident(s, entries, {"DISP_REJECT_ERR": 0})
            s.press("ctrl+alt+f5")
            log.wait_for(1)
            s.press("ctrl+alt+f6")
            self.assertIsNone(wait_a_moment_for(
                lambda: [w for w in s.windows() if w.visible and w.process == "Tollevane.exe"], 4))
            self.assertEqual(log.lines_and_results(), failed)
            self.assertEqual(removal_count(s, "001"), "2")


class TrayAndExit(ResidentCase):

    def test_tray_menu_opens_at_the_cursor(self):
        with self.session("xp", desktop=True) as s:
            program, main, _ = self.start_resident(s, {})
            self.assertEqual(s.helper("desktopstate", "--move", "300,200").status, 0)
            self.resident.tray(WM_RBUTTONDOWN)
            s.wait_window(class_name=MENU_CLASS, visible=True, timeout=10)
            menus = [w for w in s.windows() if w.class_name == MENU_CLASS and w.visible]
            self.assertEqual([w.process for w in menus], ["Tollevane.exe"])
            self.assertEqual(menus[0].rect[:2], (300, 200), "top-left corner at the cursor")

            # Wine lets no other process read a menu's items; its picture shows them:
            # four entries, separators after the first and the third.
            shot = s.screenshot(s.artifacts / "tray-menu.png")
            left, top, right, bottom = menus[0].rect
            rows = screen_region(shot, left, top, right - left, bottom - top)
            self.assertEqual(menu_layout(rows), ["text", "separator", "text", "text", "separator", "text"])

            # The last entry, 終了(&X), is the exit command.
            s.press("x")
            self.assertEqual(s.answer("no", title=CONFIRM_CAPTION), (CONFIRM_CAPTION, EXIT_QUESTION))
            s.wait_window_gone(class_name=MENU_CLASS, timeout=5)
            self.assertTrue(program.running())

    def tray_icon_shown(self, s):
        # The notification area is the right end of the taskbar at the bottom.
        shot = s.screenshot(s.artifacts / "tray.png")
        rows = screen_region(shot, 1024 - 48, 768 - 18, 48, 16)
        pixels = [p for row in rows for p in row]
        background = most_common(pixels)
        return sum(p != background for p in pixels) > 20

    def test_exit_command_asks_then_releases_everything(self):
        entries = {
            "001": Entry(QUICK, "ctrl+alt+f5", kind=0x01),
            "002": Entry(CARD, "ctrl+shift+f6", kind=0x02),
            "STORAGE": Entry("USB 大容量記憶装置デバイス", "alt+f9", kind=0x01),
        }
        combos = [e.hotkey for e in entries.values()]
        with self.session("xp", desktop=True) as s:
            program, main, _ = self.start_resident(s, entries)
            harness.wait_until(lambda: self.tray_icon_shown(s), 10, what="the tray icon")

            self.resident.command(ID_EXIT)
            self.assertEqual(s.answer("no", title=CONFIRM_CAPTION), (CONFIRM_CAPTION, EXIT_QUESTION))
            time.sleep(0.5)
            self.assertTrue(program.running())
            self.assertTrue(all(s.hotkey_taken(c) for c in combos), "No keeps every hotkey")
            self.assertTrue(self.tray_icon_shown(s))

            self.resident.command(ID_EXIT)
            self.assertEqual(s.answer("yes", title=CONFIRM_CAPTION), (CONFIRM_CAPTION, EXIT_QUESTION))
            self.assertEqual(program.wait(15), 0)
            self.assertEqual([c for c in combos if s.hotkey_taken(c)], [], "every hotkey released")
            self.assertEqual([w for w in s.windows() if w.process == "Tollevane.exe"], [])
            self.assertFalse(self.tray_icon_shown(s), "the icon is gone")


class RemovalWindowCloser(ResidentCase):

    def test_removal_window_counted_down_and_closed_on_windows2000(self):
        titles = [REMOVAL_WINDOW_TEXT, "USB デバイス - " + REMOVAL_WINDOW_TEXT + " (完了)"]
        # The virtual desktop: closing a window under bare Xvfb waits for a window
        # manager that is not there, and would stretch the passes.
        with self.session("2000", desktop=True) as s:
            self.start_resident(s, {}, {"REMOVE_WINDOW": 1})
            windows = [s.start(s.config.helpers / "recordwin.exe", "--title", t, "--timeout", "30000")
                       for t in titles]
            spans = []
            for title, window in zip(titles, windows):
                self.assertEqual(window.wait(40), 0, f"{title!r} was not closed: {window.stdout}")
                events = stamped_events(window.stdout)
                self.assertEqual([(what, detail) for what, _, detail in events[1:]],
                                 [("title", f"{title} - 2"), ("title", f"{title} - 1"),
                                  ("title", f"{title} - 0"), ("cancel", "")])
                steps = [b[1] - a[1] for a, b in zip(events[1:], events[2:])]
                for step in steps:
                    self.assertGreater(step, 0.8)
                    self.assertLess(step, 2.0)
                spans.append((events[1][1], events[-1][1]))
                print(f"{title!r}: steps {', '.join(f'{x:.3f}' for x in steps)} s")
            # One window per pass: the two countdowns never overlap.
            first, second = sorted(spans)
            self.assertGreater(second[0], first[1])

    def test_removal_window_left_alone_on_xp_and_when_switched_off(self):
        for version, remove_window in (("xp", 1), ("2000", 0)):
            with self.subTest(version=version, remove_window=remove_window), \
                    self.session(version, desktop=True) as s:
                self.start_resident(s, {}, {"REMOVE_WINDOW": remove_window})
                window = s.start(s.config.helpers / "recordwin.exe", "--title", REMOVAL_WINDOW_TEXT,
                                 "--timeout", "6000")
                self.assertEqual(window.wait(20), 1, "still open at its time-out")
                self.assertEqual([e[0] for e in stamped_events(window.stdout)], ["ready"])


if __name__ == "__main__":
    unittest.main()
