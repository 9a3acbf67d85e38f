"""The libraries the program loads itself are asked for by their full path in the system
folder. Where the system has default DLL directories (Wine has, as Windows 7 with its
update and later have), the program sets them and they govern those libraries' imports:
the loader is asked with no altered search order. The altered order, for older systems,
cannot run under Wine."""

import re
import unittest

import harness
from driver import wait_main_window, write_settings
from simulated_devices import CR_SUCCESS, DeviceTreeFile, EjectLog, tree_environment

DEVICES = DeviceTreeFile("explorer_closing.tree")
CARD = "RATOC REX-CFU1 CompactFlash PC Card"
SYSTEM = r"c:\windows\system32"


def library_loads(stderr: str) -> dict[str, int]:
    """Each call of LoadLibraryExW for setupapi.dll or hhctrl.ocx that Wine relayed:
    path -> flags."""
    loads = {}
    for m in re.finditer(r'Call KERNEL32\.LoadLibraryExW\(\w+ L"([^"]*)",\w+,(\w+)\)', stderr):
        path = m.group(1).replace("\\\\", "\\").lower()
        if path.endswith(("setupapi.dll", "hhctrl.ocx")):
            loads[path] = int(m.group(2), 16)
    return loads


class LibraryLoading(harness.TestCase):

    def test_system_libraries_are_asked_for_by_full_path_without_altered_search(self):
        with self.session("10") as s:
            log = EjectLog(s)
            write_settings(s)
            # Wine relays the program's calls of that function alone.
            s.reg_add(r"HKCU\Software\Wine\Debug", "RelayInclude", "REG_SZ", "kernel32.LoadLibraryExW")
            env = {**tree_environment(DEVICES, log), "WINEDEBUG": "+relay"}

            removal = s.run_tollevane(CARD, env=env)
            self.assertEqual((removal.status, log.lines_and_results()),
                             (0, [(DEVICES.line_of("RATOC"), CR_SUCCESS)]), removal.stderr[-2000:])
            self.assertEqual(library_loads(removal.stderr), {SYSTEM + r"\setupapi.dll": 0})

            program = s.start_tollevane(env=env)
            wait_main_window(s)
            loads = harness.wait_until(lambda: library_loads(program.stderr), 15, what="the help component loaded")
            self.assertEqual(loads, {SYSTEM + r"\hhctrl.ocx": 0})


if __name__ == "__main__":
    unittest.main()
