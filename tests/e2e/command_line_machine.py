"""The machine of the command-line tests (trees/command_line.tree): the names "/list"
prints for it after the storage description, in listing order."""

from simulated_devices import DeviceTreeFile

MACHINE = DeviceTreeFile("command_line.tree")
STICK = "Command Stick USB Device"
BEHIND_HUB = "ハブの先のディスク USB Device"
CONVERTER = "USB Serial Converter"
CARD = "RATOC REX-CFU1 CompactFlash PC Card"
LISTED = [STICK, BEHIND_HUB, CONVERTER, CARD]
