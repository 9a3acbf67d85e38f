"""The command line for scripts under Wine: "/list" prints the names the removal
accepts, a drive letter removes the device that holds the drive, and the exit status
tells removed (0) from nothing there (1) from refused (2)."""

import unittest

import harness
from harness import QUICK_EXIT, settings_text, wait_until, windows_path
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, EjectLog, ShellLog,
                               removal_outcome, shell_environment, tree_environment)
from command_line_machine import BEHIND_HUB, CARD, CONVERTER, MACHINE, STICK
from driver import dos_devices
from texts import ERROR_CAPTION, REMOVAL_FAILED, STORAGE_VISTA, STORAGE_XP

STORAGE = {"2000": STORAGE_XP, "10": STORAGE_VISTA}


class CommandLine(harness.TestCase):

    def test_list_prints_the_accepted_names_and_ejects_nothing(self):
        for version in ("2000", "10"):
            with self.subTest(version=version), self.session(version) as s:
                log = EjectLog(s)
                env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE[version], E="", C=""), log)
                s.write_settings(settings_text({"STARTUP": 0}))
                # The hub is not named; the storage description comes first.
                expected = [STORAGE[version], STICK, BEHIND_HUB, CONVERTER, CARD]

                listing = s.start_tollevane("/LIST", env=env)
                self.assertEqual(listing.wait(QUICK_EXIT), 0)
                # No console to ask: the code page a console of this Japanese system has.
                self.assertEqual(listing.stdout_bytes.decode("cp932"), "".join(n + "\r\n" for n in expected))
                self.assertEqual(log.entries(), [])
                self.assertNothingVisible(s)

                # Redirected by the Windows shell to a file: the same bytes.
                names = s.prefix / "drive_c" / "names.txt"
                s.run("cmd", "/c", str(s.program), "/list", ">", r"C:\names.txt",
                      timeout=QUICK_EXIT, env=env)
                wait_until(lambda: names.exists() and names.stat().st_size > 0, 10, what="names.txt")
                self.assertEqual(names.read_bytes().decode("cp932").splitlines(), expected)

    def test_list_started_from_a_console_writes_to_that_console(self):
        expected = [STORAGE["10"], STICK, BEHIND_HUB, CONVERTER, CARD]
        # From a command prompt (Wine's hands the program its console handles), and as
        # Windows starts a windowed program from a console, with no handles: then the
        # program attaches to its parent's console.
        starters = {"cmd.exe": ["cmd", "/k", "cd", "/d", "C:\\", "&"],
                    "nohandles.exe": [windows_path(harness.paths().helpers / "nohandles.exe")]}
        for starter, command in starters.items():
            with self.subTest(starter=starter), self.session("10") as s:
                log = EjectLog(s)
                env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"], E="", C=""), log)
                s.write_settings(settings_text({"STARTUP": 0}))
                s.start("wineconsole", *command, str(s.program), "/list", env=env)

                def shown():
                    result = s.helper("consoletext", starter)
                    rows = result.stdout.splitlines() if result.status == 0 else []
                    return rows if all(name in rows for name in expected) else None
                rows = wait_until(shown, 20, interval=0.5, what="the names in the console")
                self.assertEqual([row for row in rows if row in expected], expected)
                self.assertEqual(log.entries(), [])

    def test_drive_letter_removes_the_device_that_holds_it(self):
        with self.session("10") as s:
            s.map_drives("E")
            devices = dos_devices(s)
            print(f"QueryDosDeviceW: C: {devices['C:']}, E: {devices['E:']}")
            absent = next(d + ":" for d in "QRSTUVWXY" if d + ":" not in devices)
            tree = MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"], E=devices["E:"], C=devices["C:"])
            log, shell = EjectLog(s), ShellLog(s)
            env = {**tree_environment(tree, log), **shell_environment(s, ["E:\\photos"], shell)}
            s.write_settings(settings_text({"STARTUP": 0, "CLOSE_EXPLORER": 1, "CLOSE_EXPLORER_SLEEP": 0}))
            stick = [(tree.parent_of(STICK), CR_SUCCESS)]
            # argument -> eject requests, exit status
            cases = [("E:", stick, 0), ("e:\\", stick, 0),
                     ("C:", [], 1),        # a fixed disk: no removable device holds it
                     (absent, [], 1)]      # no such drive
            for argument, ejects, status in cases:
                with self.subTest(argument=argument):
                    self.assertEqual(removal_outcome(s, log, argument, env), (status, ejects))
            # The stick is a USB mass-storage device: its Explorer window closed first.
            self.assertEqual(shell.lines(), ["E:\\photos"])
            self.assertNothingVisible(s)

            # A drive nothing holds is reported under the argument as typed.
            s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 1}))
            removal = s.start_tollevane(absent.lower() + "\\", env=env)
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION),
                             (ERROR_CAPTION, REMOVAL_FAILED.format(absent.lower() + "\\")))
            self.assertEqual(removal.wait(QUICK_EXIT), 1)

    def test_exit_status_tells_refused_from_missing(self):
        with self.session("10") as s:
            log = EjectLog(s)
            env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"], E="", C=""), log)
            s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
            # name -> eject requests, exit status
            cases = [(CONVERTER, [(MACHINE.line_of(CONVERTER), CR_REMOVE_VETOED)], 2),
                     ("存在しないデバイス", [], 1),
                     (CARD, [(MACHINE.line_of(CARD), CR_SUCCESS)], 0)]
            for name, ejects, status in cases:
                with self.subTest(name=name):
                    self.assertEqual(removal_outcome(s, log, name, env), (status, ejects))


if __name__ == "__main__":
    unittest.main()
