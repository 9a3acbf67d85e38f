"""The layer check reports an include that crosses a layer and lets the allowed ones
pass, on a copy of the sources with one include planted at a time."""
import runpy
import shutil
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# The script's name holds a hyphen, so it is run as a file rather than imported.
violations = runpy.run_path(str(ROOT / "scripts" / "check-layers.py"))["violations"]

# (file that gets the include, included file, reported)
PLANTED = [
    ("app/StartupMode.cpp", "ui/DeviceListModel.h", True),
    ("pnp/DeviceNames.cpp", "resident/EjectMenu.h", True),
    ("settings/SettingsFile.cpp", "pnp/DeviceTree.h", True),
    ("pnp/DeviceNames.cpp", "pnp/win32/SetupApi.h", True),
    ("ui/win32/DialogWait.cpp", "app/win32/TollevaneApp.h", True),
    ("ui/win32/DialogWait.cpp", "resident/win32/MainWnd.h", True),
    ("resident/win32/TrayIcon.cpp", "app/win32/TollevaneApp.h", True),
    ("common/TextFormat.cpp", "settings/SettingsFile.h", True),
    ("resident/win32/TrayIcon.cpp", "ui/win32/DialogWait.h", False),
    ("app/win32/Folders.cpp", "ui/win32/MainPropSheet.h", False),
    ("settings/SettingsFile.cpp", "resources/resource.h", False),
    ("companion/win32/ConsoleCompanion.cpp", "pnp/DeviceTree.h", True),
    ("app/win32/Folders.cpp", "companion/win32/ConsoleCompanion.cpp", True),
    # The tree, the drives, the removal and the command line, each resting on the last.
    ("pnp/DeviceNodes.cpp", "drives/Drives.h", True),
    ("drives/CardSlots.cpp", "devices/DeviceRemoval.h", True),
    ("devices/DeviceRemoval.cpp", "commandline/CommandLineRemoval.h", True),
    ("commandline/win32/RemovalRequestMode.cpp", "app/StartupMode.h", True),
    ("commandline/WhatIfLines.cpp", "pnp/DeviceNodes.h", False),
    ("app/StartupMode.cpp", "commandline/CommandLineRequest.h", False),
]


class LayerCheck(unittest.TestCase):
    def test_planted_includes(self):
        with tempfile.TemporaryDirectory() as folder:
            src = Path(folder) / "src"
            shutil.copytree(ROOT / "src", src)
            before = set(violations(src))
            for host, target, reported in PLANTED:
                with self.subTest(host=host, target=target):
                    path = src / host
                    original = path.read_text(encoding="utf-8")
                    path.write_text(original + f'#include "{target}"\n', encoding="utf-8")
                    try:
                        new = set(violations(src)) - before
                    finally:
                        path.write_text(original, encoding="utf-8")
                    self.assertEqual(any(target in line and line.startswith(host)
                                         for line in new), reported, new)


if __name__ == "__main__":
    unittest.main()
