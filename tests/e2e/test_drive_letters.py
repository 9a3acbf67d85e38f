"""A drive letter on the command line under Wine, through the real storage calls: the
program asks the kernel which disk holds the drive (IOCTL_STORAGE_GET_DEVICE_NUMBER),
finds that disk among the device interfaces of the machine's tree and ejects its
nearest removable ancestor. Wine's floppy-type drives are disks 1, 2, ... in letter
order (\\Device\\HarddiskN, \\\\.\\PhysicalDriveN); the machines number their USB disks
the same way."""

import re
import unittest

import harness
from harness import QUICK_EXIT, settings_text
from simulated_devices import (CR_SUCCESS, MACHINES, WINDOWS_10, WINDOWS_XP, DeviceTreeFile, EjectLog, ShellLog,
                               removal_outcome, shell_environment, tree_environment)
from driver import dos_devices
from texts import ERROR_CAPTION, REMOVAL_FAILED

# The node each letter ejects.
LETTERS_10 = {"E": WINDOWS_10["stick"], "F": WINDOWS_10["hard disk"], "G": WINDOWS_10["UAS SSD"],
              "H": WINDOWS_10["card reader"]}
LETTERS_XP = {"E": WINDOWS_XP["stick"], "F": WINDOWS_XP["hard disk"], "G": WINDOWS_XP["card reader"]}
# The disk on the CardBus 1394 card's port goes alone; the card and its socket stay.
LETTERS_XP_LAPTOP = {"F": r'id="1394\\DOTOP&1394_USB_COMBO\\'}

# Windows setting, machine file, letter -> the node it ejects.
MACHINE_RUNS = [("10", "windows10-ja.tree", LETTERS_10),
                ("10", "windows10-en.tree", LETTERS_10),
                ("xp", "windows-xp-ja.tree", LETTERS_XP),
                ("xp", "windows-xp-laptop-en.tree", LETTERS_XP_LAPTOP)]


def attributes(line: str) -> dict:
    """A tree-file line's quoted attributes, unescaped, and its numbers (disk=N)."""
    found = {name: re.sub(r"\\(.)", r"\1", value)
             for name, value in re.findall(r'(\w+)="((?:[^"\\]|\\.)*)"', line)}
    found.update(re.findall(r"\b(disk|cdrom)=(\d+)", line))
    return found


class DriveLetters(harness.TestCase):

    def test_each_letter_ejects_the_device_that_holds_its_disk(self):
        for version, machine_file, letters in MACHINE_RUNS:
            with self.subTest(machine=machine_file, version=version), self.session(version) as s:
                machine = DeviceTreeFile(machine_file, MACHINES)
                s.map_drives("".join(letters))
                devices = dos_devices(s)
                # The machine's disk numbers hold only if Wine numbered the drives so.
                self.assertEqual({d: devices.get(d + ":") for d in letters},
                                 {d: f"\\Device\\Harddisk{n}" for n, d in enumerate(letters, 1)})
                absent = next(d + ":" for d in "QRSTUVWXY" if d + ":" not in devices)
                log = EjectLog(s)
                env = tree_environment(machine, log)
                s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
                # argument -> eject requests, exit status
                cases = [(d + ":", [(machine.line_of(node), CR_SUCCESS)], 0) for d, node in letters.items()]
                cases += [("C:", [], 1),     # the internal disk: nothing removable holds it
                          (absent, [], 1)]   # no such drive
                for argument, ejects, status in cases:
                    with self.subTest(argument=argument):
                        self.assertEqual(removal_outcome(s, log, argument, env), (status, ejects))
                self.assertNothingVisible(s)

    def test_a_stick_closes_its_explorer_windows_and_c_is_reported(self):
        with self.session("10") as s:
            machine = DeviceTreeFile("windows10-ja.tree", MACHINES)
            s.map_drives("E")
            log, shell = EjectLog(s), ShellLog(s)
            env = {**tree_environment(machine, log), **shell_environment(s, ["E:\\photos"], shell)}
            s.write_settings(settings_text({"STARTUP": 0, "CLOSE_EXPLORER": 1, "CLOSE_EXPLORER_SLEEP": 0}))
            self.assertEqual(removal_outcome(s, log, "e:\\", env),
                             (0, [(machine.line_of(WINDOWS_10["stick"]), CR_SUCCESS)]))
            # The stick is a USB mass-storage device: its Explorer window closed first.
            self.assertEqual(shell.lines(), ["E:\\photos"])

            s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 1}))
            log.clear()
            removal = s.start_tollevane("c:", env=env)
            self.assertEqual(s.answer("ok", title=ERROR_CAPTION),
                             (ERROR_CAPTION, REMOVAL_FAILED.format("c:")))
            self.assertEqual(removal.wait(QUICK_EXIT), 1)
            self.assertEqual(log.entries(), [])

    def test_the_stand_in_answers_as_the_configuration_manager(self):
        """What a program that loads setupapi.dll learns of the machine: instance IDs,
        services, ID lists, relations and disk interfaces, as the tree file gives them;
        instance IDs upper case, as CM_Get_Device_ID hands them out; the status, capabilities,
        removal policy and enumerator that Windows gives a started node."""
        machine = DeviceTreeFile("windows10-ja.tree", MACHINES)
        lines = machine.path.read_text(encoding="utf-8").splitlines()
        stick_disk = attributes(lines[machine.line_of(r'friendly="SanDisk Ultra USB Device"') - 1])
        reader = attributes(lines[machine.line_of(WINDOWS_10["card reader"]) - 1])
        disks = [attributes(line) for line in lines if " disk=" in line and not line.startswith("#")]
        with self.session("10") as s:
            env = tree_environment(machine, EjectLog(s))

            def query(argument):
                result = s.run(harness.paths().helpers / "devquery.exe", argument, env=env)
                self.assertEqual(result.status, 0, result.stderr)
                return result.stdout.splitlines()

            # Looked up in another case: IDs compare without regard to it.
            fields = dict(line.split("\t", 1) for line in query(stick_disk["id"].lower()))
            self.assertEqual(fields, {
                "id": stick_disk["id"].upper(), "service": stick_disk["service"],
                "hwids": stick_disk["hwids"] + "\tmulti", "removes": stick_disk["removes"],
                "children": "", "small": "26",  # CR_BUFFER_SMALL
                # Started, not removable itself, below a USB device: expects surprise removal.
                "status": "0180000A", "caps": "00000000", "policy": "3", "enumerator": "USBSTOR",
                "address": "-"})
            fields = dict(line.split("\t", 1) for line in query(reader["id"]))
            self.assertEqual(len(fields["children"].split(";")), 4, "one disk per slot")
            self.assertEqual((fields["status"], fields["caps"], fields["policy"], fields["enumerator"]),
                             ("0180600A", "00000004", "3", "USB"))
            self.assertEqual(query("interfaces"),
                             [f"disk\t\\\\.\\PhysicalDrive{d['disk']}\t{d['id'].upper()}" for d in disks])


if __name__ == "__main__":
    unittest.main()
