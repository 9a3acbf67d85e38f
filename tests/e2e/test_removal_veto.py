"""A removal that a program vetoes under Wine: the stand-in's vetoer holds a disk open
and writes the System log's event 225, which the program reads to name the holder; the
hotkey road shows Retry and Cancel, the command line tells standard error and exits 2."""

import unittest
from pathlib import Path

import driver
import harness
from driver import removal_count, timed_press, wait_removal_count, watch_window
from harness import Entry, QUICK_EXIT, wait_until
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog, held_by, set_free,
                               stamped_events, tree_environment, wait_a_moment_for, wait_for_output)
from texts import (ALL_STORAGE_VISTA, DIALOG_CLASS, ERROR_CAPTION, ERROR_CAPTION_EN, IDRETRY, VETO_DEVICE,
                   VETO_HELD_BY_PROGRAM, veto_message)

MACHINES = Path(__file__).resolve().parent.parent / "machines"
WINDOWS_10 = DeviceTreeFile("windows10-ja.tree", MACHINES)
WINDOWS_XP = DeviceTreeFile("windows-xp-ja.tree", MACHINES)
STICK_10 = "SanDisk Ultra USB Device"
STICK_XP = "SanDisk U3 Cruzer Micro USB Device"
# Its CD-ROM unit carries the same name: the disk is the one held.
STICK_XP_DISK = r'id="USBSTOR\\Disk&Ven_SanDisk&Prod_U3'
HOLDER = r"\Device\HarddiskVolume3\Windows\System32\notepad.exe"
HOLDER_FILE = "notepad.exe"
HOLDER_PID = 4242
# The veto message's third button: the holder is asked to close, then the removal retried.
CLOSE_AND_RETRY = 100


class HeldDevice(harness.TestCase):

    def start_held(self, s, machine, stick, entries, app=None, holder=(HOLDER, HOLDER_PID), env=None, live=False):
        """The program resident on the machine whose stick's disk a program holds."""
        log = EjectLog(s)
        held = held_by(machine, s.artifacts / "tree", stick, *holder, live=live)
        self.env = {**tree_environment(held, log), **(env or {})}
        self.held_line = machine.parent_of(stick)
        resident = driver.start_resident(s, entries, app, env=self.env)
        return resident, log

    def press_until_told(self, s, log):
        """Presses the hotkey; gives the seconds from the press and from the veto to the message."""
        box_watch = watch_window(s, ERROR_CAPTION, DIALOG_CLASS)
        pressed = timed_press(s, "ctrl+alt+f5")
        shown = stamped_events(wait_for_output(box_watch, "shown", 20))[0][1]
        vetoes = log.wait_for(1)
        self.assertTrue(vetoes and all(e.result == CR_REMOVE_VETOED for e in vetoes))
        vetoed_at = log.last_write()
        print(f"veto to message: {shown - vetoed_at:.3f} s; press to message: {shown - pressed:.3f} s")
        box_watch.kill()
        return shown - pressed, shown - vetoed_at

    def test_hotkey_removal_names_the_holder_and_retry_ejects_once_it_lets_go(self):
        with self.session("10") as s:
            resident, log = self.start_held(s, WINDOWS_10, STICK_10, {"001": Entry(STICK_10, "ctrl+alt+f5")},
                                            {"DISP_REJECT_ERR": 0})
            _, veto_to_message = self.press_until_told(s, log)
            self.assertLess(veto_to_message, 2.5, "the event is read at once, not after the whole look")
            _, text = s.message_box(title=ERROR_CAPTION)
            self.assertEqual(text, veto_message(STICK_10, HOLDER_FILE, HOLDER_PID))

            set_free(self.env)
            log.clear()
            s.answer(str(IDRETRY), title=ERROR_CAPTION)
            ejected = log.wait_for(1)
            self.assertEqual((ejected[0].line, ejected[0].result), (self.held_line, CR_SUCCESS))
            wait_removal_count(s, "001", 1)
            self.assertTrue(resident.process.running())

    def test_close_and_retry_asks_the_holders_window_to_close_and_ejects_once_it_has_ended(self):
        for lang, caption, button in ((None, ERROR_CAPTION, "notepad.exe を閉じて再試行"),
                                      ("C.UTF-8", ERROR_CAPTION_EN, "Close notepad.exe and retry")):
            with self.subTest(lang=lang), self.session("10", lang=lang) as s:
                notepad = s.start("notepad")
                window = wait_until(lambda: next((w for w in s.windows()
                                                  if w.visible and w.process.lower() == "notepad.exe"), None),
                                    30, what="Notepad's window")
                _, log = self.start_held(s, WINDOWS_10, STICK_10, {"001": Entry(STICK_10, "ctrl+alt+f5")},
                                         holder=(r"\Device\HarddiskVolume3\Windows\notepad.exe", window.pid),
                                         live=True)
                s.press("ctrl+alt+f5")
                box, _ = s.message_box(title=caption, timeout=20)
                self.assertIn((CLOSE_AND_RETRY, button), [(c.control_id, c.text) for c in s.controls(box)])
                s.screenshot(s.artifacts / f"close-and-retry-{lang or 'ja'}.png")
                log.clear()
                s.answer(str(CLOSE_AND_RETRY), title=caption)
                notepad.wait(20)
                ejected = log.wait_for(1)
                self.assertEqual((ejected[0].line, ejected[0].result), (self.held_line, CR_SUCCESS))
                wait_removal_count(s, "001", 1)

    def test_a_device_the_system_holds_is_told_as_soon_as_its_event_is_read(self):
        with self.session("10") as s:
            _, log = self.start_held(s, WINDOWS_10, STICK_10, {"001": Entry(STICK_10, "ctrl+alt+f5")},
                                     holder=("System", 4))
            press_to_message, _ = self.press_until_told(s, log)
            self.assertLess(press_to_message, 1.0, "the event names the system: nothing more to wait for")
            self.assertEqual(s.message_box(title=ERROR_CAPTION)[1], veto_message(STICK_10))

    def test_an_event_log_that_does_not_answer_costs_the_look_and_no_more(self):
        with self.session("10") as s:
            resident, log = self.start_held(s, WINDOWS_10, STICK_10, {"001": Entry(STICK_10, "ctrl+alt+f5")},
                                            env={"TOLLEVANE_EVENT_QUERY_MS": "60000"})
            press_to_message, _ = self.press_until_told(s, log)
            self.assertLess(press_to_message, 4.0, "two seconds of looking, however long the query would take")
            self.assertEqual(s.message_box(title=ERROR_CAPTION)[1], veto_message(STICK_10))
            self.assertTrue(resident.process.running())

    def test_cancel_ejects_nothing_and_counts_nothing(self):
        with self.session("10") as s:
            resident, log = self.start_held(s, WINDOWS_10, STICK_10, {"001": Entry(STICK_10, "ctrl+alt+f5")})
            s.press("ctrl+alt+f5")
            box, _ = s.message_box(title=ERROR_CAPTION, timeout=20)
            self.assertNotIn(CLOSE_AND_RETRY, [c.control_id for c in s.controls(box)], "no window to close")
            self.assertEqual(s.answer("cancel", title=ERROR_CAPTION, timeout=20)[1],
                             veto_message(STICK_10, HOLDER_FILE, HOLDER_PID))
            s.wait_window_gone(title=ERROR_CAPTION, class_name=DIALOG_CLASS, timeout=5)
            self.assertTrue(log.entries())
            self.assertEqual({e.result for e in log.entries()}, {CR_REMOVE_VETOED})
            self.assertEqual(removal_count(s, "001"), "0")

    def test_xp_shows_the_veto_without_a_name_whatever_the_failure_setting(self):
        for disp_reject_err in (0, 1):
            with self.subTest(DISP_REJECT_ERR=disp_reject_err), self.session("xp") as s:
                resident, log = self.start_held(s, WINDOWS_XP, STICK_XP_DISK, {"001": Entry(STICK_XP, "ctrl+alt+f5")},
                                                {"DISP_REJECT_ERR": disp_reject_err})
                s.press("ctrl+alt+f5")
                self.assertEqual(s.answer("cancel", title=ERROR_CAPTION, timeout=20),
                                 (ERROR_CAPTION, veto_message(STICK_XP)))
                self.assertEqual({e.result for e in log.entries()}, {CR_REMOVE_VETOED})
                self.assertIsNone(wait_a_moment_for(
                    lambda: [w for w in s.windows() if w.visible and w.title == ERROR_CAPTION], 2),
                    "no message 110 after it")

    def test_all_storage_removal_ejects_the_free_sticks_and_reports_the_held_one(self):
        with self.session("10") as s:
            resident, log = self.start_held(s, WINDOWS_10, STICK_10,
                                            {"STORAGE": Entry(ALL_STORAGE_VISTA, "ctrl+alt+f5")})
            s.press("ctrl+alt+f5")
            self.assertEqual(s.answer("cancel", title=ERROR_CAPTION, timeout=30)[1],
                             veto_message(STICK_10, HOLDER_FILE, HOLDER_PID))
            results = {}
            for entry in log.entries():
                results.setdefault(entry.line, set()).add(entry.result)
            self.assertEqual(results.pop(self.held_line), {CR_REMOVE_VETOED})
            self.assertTrue(results, "the other sticks were asked for")
            self.assertIn(CR_SUCCESS, set().union(*results.values()))
            self.assertEqual(removal_count(s, "STORAGE"), str(sum(e.result == CR_SUCCESS for e in log.entries())))

    def test_command_line_removal_of_a_held_device_exits_2_and_tells_standard_error(self):
        with self.session("10") as s:
            log = EjectLog(s)
            env = tree_environment(held_by(WINDOWS_10, s.artifacts / "tree", STICK_10, HOLDER, HOLDER_PID), log)
            s.write_settings(harness.settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
            removal = s.start_tollevane(STICK_10, env=env)
            self.assertEqual(removal.wait(QUICK_EXIT + 5), 2)
            told = removal.stderr_bytes.decode("cp932", errors="replace").replace("\r\n", "\n")
            self.assertIn(veto_message(STICK_10, HOLDER_FILE, HOLDER_PID), told)
            self.assertEqual({e.result for e in log.entries()}, {CR_REMOVE_VETOED})
            self.assertNothingVisible(s)

    def test_command_line_removal_started_from_a_console_tells_that_console(self):
        with self.session("10") as s:
            log = EjectLog(s)
            env = tree_environment(held_by(WINDOWS_10, s.artifacts / "tree", STICK_10, HOLDER, HOLDER_PID), log)
            s.write_settings(harness.settings_text({"STARTUP": 0}))
            s.start("wineconsole", "cmd", "/k", "cd", "/d", "C:\\", "&", str(s.program), STICK_10, env=env)
            holder_row = VETO_HELD_BY_PROGRAM.format(HOLDER_FILE, HOLDER_PID).split("\n")[1]

            def told():
                result = s.helper("consoletext", "cmd.exe")
                rows = [row.strip() for row in result.stdout.splitlines()] if result.status == 0 else []
                return rows if holder_row in rows else None
            rows = wait_until(told, 30, interval=0.5, what="the veto in the console")
            self.assertIn(VETO_DEVICE.format(STICK_10).split("\n")[0], rows)
            self.assertEqual({e.result for e in log.entries()}, {CR_REMOVE_VETOED})
            self.assertFalse([w for w in s.windows() if w.visible and w.title == ERROR_CAPTION])


if __name__ == "__main__":
    unittest.main()
