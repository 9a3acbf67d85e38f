"""Tollevane.com, the console companion, at a command prompt and in batch files under
Wine's cmd: a bare "Tollevane" runs it, cmd waits for it and gets the exit status of the
same command line run through Tollevane.exe; the names "/list" gives back, in the
console's code page, remove their devices when a loop feeds them back; a drive root
quoted as "E:\\" names the drive; output sent to NUL stays off the console; a listing
that cannot be written says so in its status."""

import unittest

import harness
from command_line_machine import BEHIND_HUB, CARD, CONVERTER, LISTED, MACHINE, STICK, install_companion
from driver import dos_devices, wait_main_window, write_settings
from harness import QUICK_EXIT, wait_until
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, EjectLog, ShellLog, plug_in_again,
                               shell_environment, tree_environment)
from texts import STORAGE_VISTA

STORAGE = STORAGE_VISTA
NAMES = [STORAGE, *LISTED]
# The console code page of a Japanese system, which cmd and PowerShell decode with.
CONSOLE_CODE_PAGE = "cp932"
NOT_STARTED = 255


class CompanionCase(harness.TestCase):

    def machine(self, s, app=None):
        """The command line's machine and settings; gives the environment for a prompt
        whose path holds the program's folder, and the eject log."""
        self.companion = install_companion(s)
        log = EjectLog(s)
        env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE), log)
        env["WINEPATH"] = str(s.program.parent)
        write_settings(s, {"DISP_REJECT_ERR": 0, **(app or {})})
        return env, log

    def batch(self, s, name, *lines):
        """A batch file in C:\\, as a user saves it with Notepad in the console's code page."""
        path = s.prefix / "drive_c" / name
        path.write_bytes(("\r\n".join(["@echo off", *lines]) + "\r\n").encode(CONSOLE_CODE_PAGE))
        return "C:\\" + name


class AtThePrompt(CompanionCase):

    def test_prompt_waits_for_the_companion_and_gets_the_exit_status(self):
        with self.session("10") as s:
            env, log = self.machine(s)
            absent = next(d + ":" for d in "QRSTUVWXY" if d + ":" not in dos_devices(s))
            # Delayed expansion reads the status after the command ran, as a user's
            # second command would.
            typed = s.run("cmd", "/v:on", "/c", f"Tollevane {absent} & echo status !errorlevel!",
                          env=env, timeout=QUICK_EXIT)
            self.assertIn("status 1", typed.stdout.splitlines(), typed.stdout + typed.stderr[-1000:])

            # name -> eject requests, status: run directly, the companion relays it.
            cases = [(CARD, [(MACHINE.line_of(CARD), CR_SUCCESS)], 0),
                     (CONVERTER, [(MACHINE.line_of(CONVERTER), CR_REMOVE_VETOED)], 2),
                     ("存在しないデバイス", [], 1)]
            for name, ejects, status in cases:
                with self.subTest(name=name):
                    plug_in_again(env)
                    log.clear()
                    result = s.run(self.companion, name, env=env, timeout=QUICK_EXIT)
                    self.assertEqual((result.status, log.lines_and_results()), (status, ejects))
            self.assertNothingVisible(s)

    def test_list_through_the_companion_prints_the_names(self):
        with self.session("10") as s:
            env, log = self.machine(s)
            # arguments -> how the bytes are to be read
            for arguments, encoding in ((["/list"], CONSOLE_CODE_PAGE), (["/LIST", "/UTF8"], "utf-8")):
                with self.subTest(arguments=arguments):
                    listing = s.start(self.companion, *arguments, env=env)
                    self.assertEqual(listing.wait(QUICK_EXIT), 0, listing.stderr[-1000:])
                    self.assertEqual(listing.stdout_bytes.decode(encoding), "".join(n + "\r\n" for n in NAMES))
            self.assertEqual(log.entries(), [])

    def test_resident_start_through_the_companion_returns_at_once(self):
        with self.session("10") as s:
            env, _ = self.machine(s)
            started = s.run(self.companion, env=env, timeout=QUICK_EXIT)
            self.assertEqual(started.status, 0, started.stderr[-1000:])
            wait_main_window(s)
            self.assertIn("Tollevane.exe", [w.process for w in s.windows()], "still resident")

    def test_companion_without_its_program_says_why(self):
        with self.session("10") as s:
            env, _ = self.machine(s)
            s.unix_path(s.program).unlink()
            result = s.run(self.companion, "/list", env=env, timeout=QUICK_EXIT)
            self.assertEqual(result.status, NOT_STARTED)
            self.assertIn("Tollevane.exe: ", result.stderr, "the missing program is named")


class NamesForScripts(CompanionCase):

    def test_names_redirected_by_cmd_and_read_back_remove_their_devices(self):
        # What "for /f" and PowerShell do on a Japanese system: read the redirected bytes
        # in the console's code page and pass each line back. Wine's own cmd cannot stand
        # in for that reader (its "for /f" garbles Japanese lines of any file), so the
        # test reads the file as they do and types each name back at the prompt.
        with self.session("10") as s:
            env, log = self.machine(s)
            script = self.batch(s, "names.bat", "Tollevane /list > C:\\names.txt")
            self.assertEqual(s.run("cmd", "/c", script, env=env, timeout=QUICK_EXIT).status, 0)
            names = (s.prefix / "drive_c" / "names.txt").read_bytes().decode(CONSOLE_CODE_PAGE).splitlines()
            self.assertEqual(names, NAMES)
            for name in names:
                with self.subTest(name=name):
                    typed = s.run("cmd", "/c", "Tollevane", name, env=env, timeout=QUICK_EXIT)
                    self.assertIn(typed.status, (0, 1, 2), typed.stderr[-1000:])
            # The storage description takes both sticks; their own names then find nothing
            # left; the converter refuses; the card goes.
            expected = [(MACHINE.parent_of(STICK), CR_SUCCESS), (MACHINE.parent_of(BEHIND_HUB), CR_SUCCESS),
                        (MACHINE.line_of(CONVERTER), CR_REMOVE_VETOED), (MACHINE.line_of(CARD), CR_SUCCESS)]
            self.assertEqual(log.lines_and_results(), expected)

    def test_quoted_drive_root_as_cmd_passes_it_names_the_drive(self):
        with self.session("10") as s:
            s.map_drives("E")
            env, log = self.machine(s)
            env.update(shell_environment(s, [], ShellLog(s)))
            script = self.batch(s, "drive.bat", 'Tollevane "E:\\"', "echo status %errorlevel%")
            result = s.run("cmd", "/c", script, env=env, timeout=QUICK_EXIT)
            self.assertIn("status 0", result.stdout.splitlines(), result.stdout + result.stderr[-1000:])
            self.assertEqual(log.lines_and_results(), [(MACHINE.parent_of(STICK), CR_SUCCESS)])

    def test_listing_sent_to_nul_stays_off_the_console(self):
        with self.session("10") as s:
            env, log = self.machine(s)
            # cmd waits for the companion, so the marker sits between the two listings.
            s.start("wineconsole", "cmd", "/k", "cd", "/d", "C:\\", "&", "Tollevane", "/list", ">", "NUL",
                    "&", "echo", "sent-to-nul", "&", "Tollevane", "/list", env=env)

            def shown():
                result = s.helper("consoletext", "cmd.exe")
                rows = result.stdout.splitlines() if result.status == 0 else []
                return rows if "sent-to-nul" in rows and all(n in rows for n in NAMES) else None
            rows = wait_until(shown, 30, interval=0.5, what="the marker and the names in the console")
            self.assertEqual([r for r in rows if r in NAMES or r == "sent-to-nul"], ["sent-to-nul", *NAMES])
            self.assertEqual(log.entries(), [])

    def test_listing_that_cannot_be_written_ends_with_status_one(self):
        with self.session("10") as s:
            env, _ = self.machine(s)
            # A device that refuses every write with "no space left".
            full = s.run("cmd", "/c", "Tollevane /list > Z:\\dev\\full", env=env, timeout=QUICK_EXIT)
            self.assertEqual(full.status, 1, full.stdout + full.stderr[-1000:])
            written = s.run("cmd", "/c", "Tollevane /list > C:\\names.txt", env=env, timeout=QUICK_EXIT)
            self.assertEqual(written.status, 0, written.stderr[-1000:])
            names = (s.prefix / "drive_c" / "names.txt").read_bytes().decode(CONSOLE_CODE_PAGE)
            self.assertEqual(names.splitlines(), NAMES)


if __name__ == "__main__":
    unittest.main()
