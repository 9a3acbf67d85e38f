"""Explorer windows closed before a USB mass-storage eject, end to end: the
program's own shell code against the ShellWindows stand-in, which serves the
folder windows a test lists and logs every Quit, on drives that Wine reports as
removable (its floppy type)."""

import unittest

import driver
import harness
from driver import timed_press, wait_removal_count
from harness import Entry, settings_text
from simulated_devices import (CR_SUCCESS, DeviceTreeFile, EjectLog, ShellLog, plug_in_again,
                               shell_environment, tree_environment)

DEVICES = DeviceTreeFile("explorer_closing.tree")
STICK = "Closing Stick USB Device"
CARD = "RATOC REX-CFU1 CompactFlash PC Card"

MY_COMPUTER = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"
# Two removable drives, a fixed one, a page, a virtual folder and a share.
OPEN_WINDOWS = ["F:\\music", "E:\\photos", "C:\\windows", "web https://example.org/", MY_COMPUTER,
                "\\\\server\\share"]
REMOVABLE_DRIVES = "EF"

DRIVE_REMOVABLE = 2
DRIVE_FIXED = 3

# Long enough to tell a pause from none in the eject's timing, and short of the
# 2.5 s after which the wait dialog would show.
PAUSE = 2.0


def nth_eject(log, n):
    """(line, result) of the n-th eject request, once the log has it."""
    entry = log.wait_for(n)[n - 1]
    return entry.line, entry.result


class ExplorerClosing(harness.TestCase):

    def prepare(self, s):
        """Removable drives E: and F: on host folders and the listed windows;
        gives the program's environment and the two logs."""
        s.map_drives(REMOVABLE_DRIVES)

        drives = dict(line.split("\t") for line in s.helper("shellstate", "drives").stdout.splitlines())
        self.assertEqual({d: drives.get(d + ":\\") for d in "CEF"},
                         {"C": str(DRIVE_FIXED), "E": str(DRIVE_REMOVABLE), "F": str(DRIVE_REMOVABLE)})

        eject_log, shell_log = EjectLog(s), ShellLog(s)
        env = {**tree_environment(DEVICES, eject_log), **shell_environment(s, OPEN_WINDOWS, shell_log)}
        served = s.run(s.config.helpers / "shellstate.exe", "windows", env=env)
        self.assertEqual(served.status, 0, served.stderr)
        self.assertTrue(served.stdout.splitlines()[0].lower().endswith("\\shellwindows_stand_in.dll"),
                        "CoCreateInstance loads the stand-in: " + served.stdout)
        return env, eject_log, shell_log

    def test_hotkey_removal_closes_windows_on_removable_drives_not_excluded(self):
        with self.session("xp") as s:
            env, ejects, shell = self.prepare(s)
            driver.start_resident(
                s, {"001": Entry(STICK, "ctrl+alt+f5", kind=0x01), "002": Entry(CARD, "ctrl+alt+f6", kind=0x02)},
                {"CLOSE_EXPLORER": 1, "CLOSE_EXPLORER_DRIVE": "F;", "CLOSE_EXPLORER_SLEEP": int(PAUSE * 1000)},
                env=env)

            # A card's eject is not prepared.
            s.press("ctrl+alt+f6")
            self.assertEqual(nth_eject(ejects, 1), (DEVICES.line_of(CARD), CR_SUCCESS))
            self.assertEqual(shell.lines(), [])

            # The stick's is: only the window on E: goes (F: is excluded; C: is fixed;
            # the page, My Computer and the share are on no drive), then the pause.
            s.press("ctrl+alt+f5")
            stick = (DEVICES.parent_of(STICK), CR_SUCCESS)
            self.assertEqual(nth_eject(ejects, 2), stick)
            self.assertEqual(shell.lines(), ["E:\\photos"])
            paused = ejects.last_write() - shell.last_write()
            self.assertGreater(paused, PAUSE - 0.1, "the eject waits for CLOSE_EXPLORER_SLEEP")

            # The window stays closed: the stick plugged in again and ejected once more
            # closes nothing, and does not pause. (The next press waits for the end of
            # this removal, which stores the count.)
            wait_removal_count(s, "001", 1)
            plug_in_again(env)
            pressed = timed_press(s, "ctrl+alt+f5")
            self.assertEqual(nth_eject(ejects, 3), stick)
            self.assertEqual(shell.lines(), ["E:\\photos"])
            self.assertLess(ejects.last_write() - pressed, PAUSE - 1.0, "no pause without a close")
            print(f"pause after the close: {paused:.3f} s; eject without a close "
                  f"{ejects.last_write() - pressed:.3f} s after the press")

    def test_removal_by_name_closes_window_by_window_and_nothing_when_off(self):
        with self.session("xp") as s:
            env, ejects, shell = self.prepare(s)
            s.write_settings(settings_text({"STARTUP": 0, "CLOSE_EXPLORER": 1, "CLOSE_EXPLORER_SLEEP": 0}))
            stick = [(DEVICES.parent_of(STICK), CR_SUCCESS)]
            # The collection drops a closed window at once, and the walk does not
            # step back: E:\photos moves into the closed window's place unseen, and
            # is closed at the next eject.
            for closed in (["F:\\music"], ["F:\\music", "E:\\photos"], ["F:\\music", "E:\\photos"]):
                with self.subTest(closed=closed):
                    plug_in_again(env)
                    ejects.clear()
                    self.assertEqual(s.run_tollevane(STICK, env=env).status, 0)
                    self.assertEqual(ejects.lines_and_results(), stick)
                    self.assertEqual(shell.lines(), closed)

            # Every window open again, and the setting off: the eject closes nothing.
            shell.clear()
            ejects.clear()
            plug_in_again(env)
            s.write_settings(settings_text({"STARTUP": 0, "CLOSE_EXPLORER": 0}))
            self.assertEqual(s.run_tollevane(STICK, env=env).status, 0)
            self.assertEqual(ejects.lines_and_results(), stick)
            self.assertEqual(shell.lines(), [])


    def test_stand_in_gives_the_documented_answers(self):
        with self.session("10") as s:
            shell = ShellLog(s)
            env = shell_environment(s, ["E:\\a", "web x"], shell)
            answers = s.run(s.config.helpers / "shellstate.exe", "answers", env=env)
            failed = [line for line in answers.stdout.splitlines() if not line.endswith("\tok")]
            self.assertEqual((answers.status, failed), (0, []), answers.stdout + answers.stderr)
            self.assertEqual(shell.lines(), ["E:\\a"], "two Quit calls, one line")
            # A window told to quit stays closed for the collections of later processes.
            later = s.run(s.config.helpers / "shellstate.exe", "windows", env=env)
            self.assertEqual(later.stdout.splitlines()[1:], ["0\t(no folder view)"])


if __name__ == "__main__":
    unittest.main()
