"""The machine of the command-line tests (trees/command_line.tree): the names "/list"
prints for it after the storage description, in listing order; and the console companion
beside the program."""

import shutil

import harness
from simulated_devices import DeviceTreeFile

MACHINE = DeviceTreeFile("command_line.tree")
STICK = "Command Stick USB Device"
BEHIND_HUB = "ハブの先のディスク USB Device"
CONVERTER = "USB Serial Converter"
CARD = "RATOC REX-CFU1 CompactFlash PC Card"
LISTED = [STICK, BEHIND_HUB, CONVERTER, CARD]


def install_companion(s):
    """Tollevane.com beside the program, as the release archive has it; its path."""
    built = s.config.exe.with_suffix(".com")
    if not built.exists():
        raise harness.HarnessError(f"{built} is not built")
    companion = s.program.with_suffix(".com")
    shutil.copy2(built, s.unix_path(companion))
    return companion
