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


# Wine's process start now and then loses a child that dies while it starts: its
# NtCreateUserProcess then answers STATUS_INTERNAL_ERROR, which the companion reports
# as ERROR_INTERNAL_ERROR in the prefix's words, with status 255. Tollevane.exe never
# ran, so nothing was asked of any device.
WINE_LOST_THE_START = "Tollevane.exe: 内部エラーです。"


def lost_by_wine(status: int, err: str) -> bool:
    """Whether the companion could not start the program because Wine lost its start."""
    return status == 255 and WINE_LOST_THE_START in err
