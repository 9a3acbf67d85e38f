"""A library dropped beside Tollevane.exe under the help component's name never
runs inside the program. Windows searches a program's own folder first; Wine
loads its builtin libraries first, so the test makes the name native-first for
the program, as Windows would treat it, and reads what Wine really loaded."""

import re
import shutil
import unittest

import harness
from driver import Resident
from harness import settings_text
from simulated_devices import wait_a_moment_for
from texts import ID_HELP



class PlantedHelpLibrary(harness.TestCase):

    def loaded_help_libraries(self, stderr: str) -> list[str]:
        return [m.group(1).replace("\\\\", "\\").lower()
                for m in re.finditer(r'Loaded L"([^"]*hhctrl\.ocx)"', stderr, re.I)]

    def test_help_library_beside_the_program_never_runs(self):
        with self.session("10") as s:
            planted = s.unix_path(s.program.parent / "hhctrl.ocx")
            shutil.copy2(s.config.helpers / "planted.dll", planted)
            marker = planted.with_name(planted.name + ".ran")
            # Wine names a library without the .dll extension by its full file name.
            s.reg_add(r"HKCU\Software\Wine\AppDefaults\Tollevane.exe\DllOverrides", "hhctrl.ocx",
                      "REG_SZ", "native,builtin")
            s.write_settings(settings_text({"STARTUP": 0}, {}))
            env = {"WINEDEBUG": "+loaddll"}
            system_copy = r"c:\windows\system32\hhctrl.ocx"

            # The switches show no help: they need not load the component at all.
            for switch in ("/delete", "/create"):
                with self.subTest(switch=switch):
                    result = s.run_tollevane(switch, env=env)
                    self.assertEqual(result.status, 0, result.stderr[-2000:])
                    self.assertFalse(marker.exists(), f"the planted library ran on {switch}")
                    self.assertEqual(self.loaded_help_libraries(result.stderr), [])

            resident = Resident.start(s, env=env)
            program = resident.process
            loaded = harness.wait_until(lambda: self.loaded_help_libraries(program.stderr), 15,
                                        what="the help component loaded")
            resident.command(ID_HELP)
            self.assertIsNone(wait_a_moment_for(lambda: marker.exists() or None, 3),
                              "the planted library ran in the resident program")
            self.assertEqual(set(self.loaded_help_libraries(program.stderr)), {system_copy}, loaded)
            self.assertTrue(program.running())


if __name__ == "__main__":
    unittest.main()
