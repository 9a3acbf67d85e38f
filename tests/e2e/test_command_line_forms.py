"""The removal command line typed at Wine's cmd, through Tollevane.com: the usage, a
one-line reason on the error stream, a volume's label, a name pattern, "/whatif" that
asks nothing, and "/wait:" that asks again until the stick's holder lets go."""

import unittest
from pathlib import Path

import harness
from command_line_machine import MACHINE, STICK, install_companion, lost_by_wine
from driver import write_settings
from harness import QUICK_EXIT, wait_until
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog, ShellLog, held_by,
                               plug_in_again, set_free, shell_environment, tree_environment)
from texts import (CR_GONE, MISSING_VALUE, NO_DEVICE, STORAGE_VISTA, UNKNOWN_SWITCH, USAGE_FIRST_LINE, VETO_DEVICE,
                   WOULD_REMOVE)

CODE_PAGE = "cp932"  # what a Japanese console's reader decodes with


class CommandLineForms(harness.TestCase):

    def prompt(self, s, tree, **more):
        install_companion(s)
        self.log = EjectLog(s)
        write_settings(s, {"DISP_REJECT_ERR": 0})
        return {**tree_environment(tree, self.log), "WINEPATH": str(s.program.parent), **more}

    def typed(self, s, env, command, wait=True):
        """Run by cmd from a batch file, which keeps quotes as typed: status, output, error.
        Typed once more when Wine lost the program's start (the host's failure, told)."""
        (s.prefix / "drive_c" / "typed.bat").write_bytes(
            f"@echo off\r\n{command}\r\nexit /b %errorlevel%\r\n".encode(CODE_PAGE))
        for attempt in range(2):
            process = s.start("cmd", "/c", "C:\\typed.bat", env=env)
            if not wait:
                return process
            status = process.wait(QUICK_EXIT)
            out, err = (b.decode(CODE_PAGE, errors="replace").replace("\r\n", "\n")
                        for b in (process.stdout_bytes, process.stderr_bytes))
            if attempt == 0 and lost_by_wine(status, err):
                print(f"Wine lost the start of {command!r}; typed again")
                continue
            return status, out, err

    def test_usage_and_one_line_reasons_eject_nothing(self):
        with self.session("10") as s:
            env = self.prompt(s, MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE_VISTA))
            status, out, _ = self.typed(s, env, "Tollevane /?")
            self.assertEqual((status, out.splitlines()[0]), (0, USAGE_FIRST_LINE))
            for command, reason in {"Tollevane 存在しないデバイス": NO_DEVICE.format("存在しないデバイス"),
                                    "Tollevane /bogus": UNKNOWN_SWITCH.format("/bogus"),
                                    "Tollevane E: /wait:": MISSING_VALUE.format("/wait:")}.items():
                status, out, err = self.typed(s, env, command)
                self.assertEqual((status, out), (1, ""), command)
                self.assertIn(reason + "\n", err)
            self.assertEqual(self.log.entries(), [])
            self.assertNothingVisible(s)

    def test_a_stick_unplugged_mid_walk_ends_with_a_documented_status_and_reason(self):
        """The stick leaves after some of the program's calls: before the walk, during it or
        after it. Each run asks for the stick's own device at most, ends with 0, 1 or 2, and
        a failure says why on the error stream."""
        with self.session("10") as s:
            env = self.prompt(s, MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE_VISTA))
            member = MACHINE.parent_of(STICK)
            reasons = {1: [NO_DEVICE.format(STICK)], 2: [CR_GONE.format(n) for n in (STICK, STORAGE_VISTA)]}
            seen = set()
            for calls in (0, 8, 20, 40, 80, 100000):
                plug_in_again(env)
                self.log.clear()
                status, _, err = self.typed(s, {**env, "TOLLEVANE_VANISH": f"{calls}:{member}"}, f'Tollevane "{STICK}"')
                seen.add(status)
                self.assertIn(status, (0, 1, 2), (calls, err[-500:]))
                self.assertEqual({line for line, _ in self.log.lines_and_results()} - {member}, set(), calls)
                if status != 0:
                    self.assertTrue(any(r + "\n" in err for r in reasons[status]), (calls, err[-500:]))
            self.assertTrue({0, 1} <= seen, seen)

    def test_label_pattern_and_whatif_find_the_stick_of_drive_e(self):
        with self.session("10") as s:
            (s.map_drives("E")["E"] / ".windows-label").write_text("BACKUP\n")
            env = self.prompt(s, MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE_VISTA),
                              **shell_environment(s, [], ShellLog(s)))
            status, out, err = self.typed(s, env, "Tollevane /label:backup /whatif")
            self.assertEqual((status, out.splitlines()), (0, [WOULD_REMOVE.format(f"{STICK} (E:)")]), err[-500:])
            self.assertEqual(self.log.entries(), [], "/whatif asks nothing")
            for command in ("Tollevane /label:Backup", 'Tollevane "command st*"'):
                plug_in_again(env)
                self.log.clear()
                status, _, err = self.typed(s, env, command)
                self.assertEqual((status, self.log.lines_and_results()),
                                 (0, [(MACHINE.parent_of(STICK), CR_SUCCESS)]), err[-500:])

    def test_wait_asks_again_until_the_holder_lets_go(self):
        machine = DeviceTreeFile("windows10-ja.tree", Path(__file__).resolve().parent.parent / "machines")
        stick = "SanDisk Ultra USB Device"
        with self.session("10") as s:
            env = self.prompt(s, held_by(machine, s.artifacts / "tree", stick, r"\Device\X\notepad.exe", 4242))
            waiting = self.typed(s, env, f'Tollevane "{stick}" /wait:30', wait=False)
            self.log.wait_for(1, timeout=20)
            first = self.log.last_write()
            # Asked again a second later, and told nobody a second time.
            wait_until(lambda: self.log.last_write() - first >= 0.9, 20, interval=0.05, what="a request a second later")
            set_free(env)
            self.assertEqual(waiting.wait(20), 0, waiting.stderr[-500:])
            results = [e.result for e in self.log.entries()]
            self.assertEqual((set(results[:-1]), results[-1]), ({CR_REMOVE_VETOED}, CR_SUCCESS))
            told = waiting.stderr_bytes.decode(CODE_PAGE, errors="replace")
            self.assertEqual(told.count(VETO_DEVICE.format(stick).split("\n")[0]), 1)


if __name__ == "__main__":
    unittest.main()
