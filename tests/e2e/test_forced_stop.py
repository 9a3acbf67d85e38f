"""A removal the user stopped from the wait dialog: the eject request under way runs to
its end, and nothing further is asked of the system (no eject request, no Explorer window
closed); the program ends at once even while such a request still runs."""

import time
import unittest
from pathlib import Path

import harness
import texts
from driver import balloons, start_resident
from harness import Entry
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog, ShellLog, shell_environment,
                               system_log, tree_environment, tree_file, wait_a_moment_for)

STUCK = "Stuck Reader"
SLOW = "Slow Reader"
REFUSED = "Refused Reader"

DEVICES = DeviceTreeFile("forced_stop.tree")
# Long enough for a second eject and its Explorer closing, had the worker gone on.
AFTER_THE_STOP = 4.0


class ForcedStop(harness.TestCase):

    def start_resident(self, s, entries, open_windows):
        """The resident program with removable drive E: and folder windows on it; gives
        the program, the eject log, the Quit log and the window list file."""
        s.map_drives("E")
        ejects, shell = EjectLog(s), ShellLog(s)
        env = self.env = {**tree_environment(DEVICES, ejects), **shell_environment(s, open_windows, shell)}
        program = start_resident(s, entries, {"CLOSE_EXPLORER": 1, "CLOSE_EXPLORER_SLEEP": 0}, env)
        # The stand-in reads the list anew for every collection: a file of the host (Z:).
        listed = Path(env["TOLLEVANE_SHELL_WINDOWS"][2:].replace("\\", "/"))
        return program, ejects, shell, listed

    def stop_from_the_wait_dialog(self, s):
        s.wait_window(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, visible=True, timeout=15)
        s.press("esc")
        self.assertEqual(s.answer("yes", title=texts.CONFIRM_CAPTION),
                         (texts.CONFIRM_CAPTION, texts.FORCE_STOP_QUESTION))

    def test_stopped_removal_makes_no_further_eject_request_and_closes_no_window(self):
        entries = {"STORAGE": Entry(texts.STORAGE_XP, "ctrl+alt+f5", kind=0x01)}
        with self.session("xp") as s:
            program, ejects, shell, listed = self.start_resident(s, entries, ["E:\\photos"])
            s.press("ctrl+alt+f5")
            # The first stick's window goes before its eject request, which then takes long.
            harness.wait_until(lambda: shell.lines() == ["E:\\photos"], 10, what="the first closing")
            self.stop_from_the_wait_dialog(s)

            # A folder opened after the stop, which a further preparation would close.
            with open(listed, "a", encoding="utf-8") as windows:
                windows.write("E:\\later\n")
            first = ejects.wait_for(1, timeout=20)
            self.assertEqual([(e.line, e.result) for e in first],
                             [(DEVICES.parent_of("First Stick USB Device"), CR_SUCCESS)])
            self.assertIsNone(wait_a_moment_for(lambda: len(ejects.entries()) > 1 or None, AFTER_THE_STOP),
                              f"eject requests after the stop: {ejects.lines_and_results()}")
            self.assertEqual(shell.lines(), ["E:\\photos"], "no Explorer window closed after the stop")
            self.assertTrue(program.process.running())

    def test_same_key_during_a_stopped_request_asks_nothing_and_says_why(self):
        with self.session("xp", desktop=True) as s:
            _, ejects, _, _ = self.start_resident(s, {"001": Entry(SLOW, "ctrl+alt+f6", kind=0x01)}, [])
            s.press("ctrl+alt+f6")
            self.stop_from_the_wait_dialog(s)
            s.wait_window_gone(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, timeout=5)
            s.press("ctrl+alt+f6")
            self.assertEqual(harness.wait_until(lambda: balloons(s), 10, what="the balloon"),
                             [texts.STILL_REMOVING.format(SLOW)])
            s.screenshot(s.artifacts / "still-removing.png")
            self.assertEqual([(e.line, e.result) for e in ejects.wait_for(1, timeout=20)],
                             [(DEVICES.line_of(SLOW), CR_SUCCESS)])
            # A second request, made at the press, would take as long again.
            self.assertIsNone(wait_a_moment_for(lambda: len(ejects.entries()) > 1 or None, 8),
                              f"a second request: {ejects.lines_and_results()}")

    def test_wait_dialog_gives_way_to_the_veto_and_a_stop_while_the_holder_is_sought_ends_it(self):
        for stop in (False, True):
            with self.subTest(stop=stop), self.session("10") as s:
                _, ejects, _, _ = self.start_resident(s, {"001": Entry(REFUSED, "ctrl+alt+f7", kind=0x01)}, [])
                system_log(tree_file(self.env)).touch()  # readable, and never naming the reader
                s.press("ctrl+alt+f7")
                if stop:
                    self.stop_from_the_wait_dialog(s)  # the helper's answer outlasts the request
                    answered = time.time()
                else:
                    s.wait_window(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, visible=True, timeout=15)
                    s.message_box(title=texts.ERROR_CAPTION, timeout=10)
                self.assertEqual([e.result for e in ejects.wait_for(1, timeout=10)], [CR_REMOVE_VETOED])
                s.wait_window_gone(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, timeout=2)
                if stop:
                    self.assertGreater(answered, ejects.last_write(), "stopped while the holder was sought")
                    self.assertIsNone(wait_a_moment_for(lambda: [w for w in s.windows() if w.visible and
                                                                 w.title == texts.ERROR_CAPTION], 4))

    def test_exit_ends_the_program_while_a_stopped_request_still_runs(self):
        entries = {"001": Entry(STUCK, "ctrl+alt+f6", kind=0x01)}
        with self.session("xp") as s:
            program, ejects, _, _ = self.start_resident(s, entries, [])
            s.press("ctrl+alt+f6")
            self.stop_from_the_wait_dialog(s)

            program.command(texts.ID_EXIT)
            self.assertEqual(s.answer("yes", title=texts.CONFIRM_CAPTION),
                             (texts.CONFIRM_CAPTION, texts.EXIT_QUESTION))
            # The request takes two minutes; the process does not wait for it, and nothing
            # it reads is torn down under it (no crash, status 0).
            self.assertEqual(program.process.wait(15), 0, program.process.stderr[-2000:])
            self.assertEqual(ejects.entries(), [])
            self.assertNotIn("Unhandled exception", program.process.stderr)
            self.assertEqual([w for w in s.windows() if w.process.lower() in ("tollevane.exe", "winedbg.exe")], [])


if __name__ == "__main__":
    unittest.main()
