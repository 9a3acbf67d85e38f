"""Libraries come from the system folder: a DLL planted beside Tollevane.exe under
the name of one the program uses is never loaded, even where Wine (like an older
Windows without it among its known DLLs) would search the program's folder first."""

import shutil
import unittest
from pathlib import PureWindowsPath

import harness
from driver import Resident
from harness import settings_text
from simulated_devices import CR_SUCCESS, DeviceTreeFile, EjectLog, tree_environment

DEVICES = DeviceTreeFile("explorer_closing.tree")
CARD = "RATOC REX-CFU1 CompactFlash PC Card"

# Native first for Tollevane.exe: the load order under which a planted copy would win.
OVERRIDES = r"HKCU\Software\Wine\AppDefaults\Tollevane.exe\DllOverrides"


class PlantedLibraries(harness.TestCase):

    def test_planted_setupapi_beside_the_program_is_never_loaded(self):
        with self.session("xp") as s:
            s.reg_add(OVERRIDES, "setupapi", "REG_SZ", "native,builtin")
            folder = s.unix_path(PureWindowsPath(harness.PROGRAM_DIR))
            planted = folder / "setupapi.dll"
            shutil.copyfile(s.config.helpers / "planted.dll", planted)
            marker = planted.with_name(planted.name + ".ran")

            log = EjectLog(s)
            s.write_settings(settings_text({"STARTUP": 0}))
            result = s.run_tollevane(CARD, env=tree_environment(DEVICES, log))
            # The system folder's setupapi (the stand-in there) answered the removal.
            self.assertEqual((result.status, log.lines_and_results()),
                             (0, [(DEVICES.line_of("RATOC"), CR_SUCCESS)]), result.stderr)
            self.assertFalse(marker.exists(), "the planted setupapi.dll ran")

            # The resident start loads it no more than the command line does.
            Resident.start(s)
            self.assertFalse(marker.exists(), "the planted setupapi.dll ran at the resident start")


if __name__ == "__main__":
    unittest.main()
