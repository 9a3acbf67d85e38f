"""The removal command line as a person types it at Wine's cmd and a backup script runs
it, through Tollevane.com: the usage, a reason on the error stream for what went wrong,
a volume's label, a pattern for the name, "/whatif" that ejects nothing, and "/wait:"
that asks again until the program holding the stick lets go."""

import unittest
from pathlib import Path

import harness
from command_line_machine import MACHINE, STICK, install_companion
from driver import write_settings
from harness import QUICK_EXIT, wait_until
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog, ShellLog, held_by,
                               plug_in_again, set_free, shell_environment, tree_environment)
from texts import (MISSING_VALUE, NO_DEVICE, STORAGE_VISTA, UNKNOWN_SWITCH, USAGE_FIRST_LINE, VETO_DEVICE,
                   WOULD_REMOVE)

MACHINES = Path(__file__).resolve().parent.parent / "machines"
CONSOLE_CODE_PAGE = "cp932"


def told(result) -> str:
    """What a stream carried, as the reader of a Japanese console decodes it."""
    return result.decode(CONSOLE_CODE_PAGE, errors="replace").replace("\r\n", "\n")


class CommandLineForms(harness.TestCase):

    def prompt(self, s, tree, **more):
        """The environment of a prompt whose path holds the program, and the eject log."""
        install_companion(s)
        log = EjectLog(s)
        env = tree_environment(tree, log)
        env["WINEPATH"] = str(s.program.parent)
        env.update(more)
        write_settings(s, {"DISP_REJECT_ERR": 0})
        return env, log

    def typed(self, s, env, command, wait=True):
        """The command run by cmd from a batch file, which keeps its quotes as typed; its
        status and what it wrote (or the process, when not waited for)."""
        (s.prefix / "drive_c" / "typed.bat").write_bytes(
            f"@echo off\r\n{command}\r\nexit /b %errorlevel%\r\n".encode(CONSOLE_CODE_PAGE))
        process = s.start("cmd", "/c", "C:\\typed.bat", env=env)
        if not wait:
            return process
        return process.wait(QUICK_EXIT), told(process.stdout_bytes), told(process.stderr_bytes)

    def test_usage_and_one_line_reasons_eject_nothing(self):
        with self.session("10") as s:
            env, log = self.prompt(s, MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE_VISTA))
            status, out, _ = self.typed(s, env, "Tollevane /?")
            self.assertEqual(status, 0)
            self.assertEqual(out.splitlines()[0], USAGE_FIRST_LINE)
            self.assertIn("/wait:", out)
            # command -> the reason on the error stream; each ends with status 1
            cases = {"Tollevane 存在しないデバイス": NO_DEVICE.format("存在しないデバイス"),
                     "Tollevane /bogus": UNKNOWN_SWITCH.format("/bogus"),
                     "Tollevane E: /wait:": MISSING_VALUE.format("/wait:")}
            for command, reason in cases.items():
                with self.subTest(command=command):
                    status, out, err = self.typed(s, env, command)
                    self.assertEqual((status, out), (1, ""))
                    self.assertIn(reason + "\n", err)
            self.assertEqual(log.entries(), [])
            self.assertNothingVisible(s)

    def test_label_pattern_and_whatif_find_the_stick_of_drive_e(self):
        with self.session("10") as s:
            drive = s.map_drives("E")["E"]
            (drive / ".windows-label").write_text("BACKUP\n")
            env, log = self.prompt(s, MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE_VISTA),
                                   **shell_environment(s, [], ShellLog(s)))
            stick = [(MACHINE.parent_of(STICK), CR_SUCCESS)]

            status, out, err = self.typed(s, env, "Tollevane /label:backup /whatif")
            self.assertEqual((status, out.splitlines()), (0, [WOULD_REMOVE.format(f"{STICK} (E:)")]), err[-500:])
            self.assertEqual(log.entries(), [], "/whatif asks nothing")

            for command in ("Tollevane /label:Backup", 'Tollevane "command st*"'):
                with self.subTest(command=command):
                    plug_in_again(env)
                    log.clear()
                    status, _, err = self.typed(s, env, command)
                    self.assertEqual((status, log.lines_and_results()), (0, stick), err[-500:])

    def test_wait_asks_again_until_the_holder_lets_go(self):
        machine, stick = DeviceTreeFile("windows10-ja.tree", MACHINES), "SanDisk Ultra USB Device"
        with self.session("10") as s:
            held = held_by(machine, s.artifacts / "tree", stick, r"\Device\HarddiskVolume3\notepad.exe", 4242)
            env, log = self.prompt(s, held)
            waiting = self.typed(s, env, f'Tollevane "{stick}" /wait:30', wait=False)
            log.wait_for(1, timeout=20)
            first = log.last_write()
            # Asked again a second later, and told nobody a second time.
            wait_until(lambda: log.last_write() - first >= 0.9, 20, interval=0.05, what="a request a second later")
            set_free(env)
            self.assertEqual(waiting.wait(20), 0, waiting.stderr[-500:])
            results = [e.result for e in log.entries()]
            self.assertEqual(results[-1], CR_SUCCESS)
            self.assertEqual(set(results[:-1]), {CR_REMOVE_VETOED})
            self.assertEqual(told(waiting.stderr_bytes).count(VETO_DEVICE.format(stick).split("\n")[0]), 1)


if __name__ == "__main__":
    unittest.main()
