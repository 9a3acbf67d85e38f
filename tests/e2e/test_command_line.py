"""The command line for scripts under Wine: "/list" prints the names the removal
accepts ("/list /json" the devices, for a JSON parser), and the exit status tells removed (0) from nothing there (1) from refused (2).
Drive letters: test_drive_letters.py."""

import json
import unittest

import harness
from harness import QUICK_EXIT, settings_text, wait_until, windows_path
from simulated_devices import CR_REMOVE_VETOED, CR_SUCCESS, EjectLog, removal_outcome, tree_environment
from command_line_machine import BEHIND_HUB, CARD, CONVERTER, LISTED, MACHINE, STICK
from texts import STORAGE_VISTA, STORAGE_XP

STORAGE = {"2000": STORAGE_XP, "10": STORAGE_VISTA}


class CommandLine(harness.TestCase):

    def test_list_prints_the_accepted_names_and_ejects_nothing(self):
        for version in ("2000", "10"):
            with self.subTest(version=version), self.session(version) as s:
                log = EjectLog(s)
                env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE[version]), log)
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

    def test_list_json_gives_each_device_with_the_sticks_letter_and_label(self):
        with self.session("10") as s:
            (s.map_drives("E")["E"] / ".windows-label").write_text("写真", encoding="utf-8")
            log = EjectLog(s)
            env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"]), log)
            s.write_settings(settings_text({"STARTUP": 0}))
            # Piped: ASCII with escapes, whatever the reader's code page. To a file with
            # /utf8: UTF-8 as it is.
            listing = s.start_tollevane("/list", "/json", env=env)
            self.assertEqual(listing.wait(QUICK_EXIT), 0)
            piped = json.loads(listing.stdout_bytes.decode("ascii"))
            saved = s.prefix / "drive_c" / "devices.json"
            s.run("cmd", "/c", str(s.program), "/list", "/json", "/utf8", ">", r"C:\devices.json",
                  timeout=QUICK_EXIT, env=env)
            wait_until(lambda: saved.exists() and saved.stat().st_size > 0, 10, what="devices.json")
            for devices in (piped, json.loads(saved.read_bytes().decode("utf-8"))):
                self.assertEqual([(d["name"], d["present"]) for d in devices],
                                 [(STORAGE["10"], True)] + [(name, True) for name in LISTED])
                self.assertEqual([d["kind"] for d in devices], ["all-storage", "usb", "usb", "usb", "pcmcia"])
                stick = devices[1]
                self.assertEqual((stick["drives"], stick["labels"]), (["E:"], {"E:": "写真"}))
                self.assertEqual([d["drives"] for d in devices[2:]], [[], [], []])
                ids = [d["instanceId"] for d in devices]
                self.assertIsNone(ids[0])
                self.assertEqual(len(set(ids[1:])), len(LISTED), ids)
            self.assertEqual(log.entries(), [])

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
                env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"]), log)
                s.write_settings(settings_text({"STARTUP": 0}))
                s.start("wineconsole", *command, str(s.program), "/list", env=env)

                def shown():
                    result = s.helper("consoletext", starter)
                    rows = result.stdout.splitlines() if result.status == 0 else []
                    return rows if all(name in rows for name in expected) else None
                rows = wait_until(shown, 20, interval=0.5, what="the names in the console")
                self.assertEqual([row for row in rows if row in expected], expected)
                self.assertEqual(log.entries(), [])

    def test_exit_status_tells_refused_from_missing(self):
        with self.session("10") as s:
            log = EjectLog(s)
            env = tree_environment(MACHINE.filled(s.artifacts / "tree", STORAGE=STORAGE["10"]), log)
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
