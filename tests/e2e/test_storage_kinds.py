"""Cards and hot-plug disks under Wine, through the real storage calls. Wine answers
FSCTL_LOCK_VOLUME on its drives but refuses FSCTL_DISMOUNT_VOLUME (and the media-removal
and eject requests after it) with ERROR_NOT_SUPPORTED: a card's ejection ends as a
refusal (status 2), and what these tests hold is that no device was asked to eject, so
the reader stays. The sequence and each of its failures are held by the unit tests."""

import unittest

import harness
from harness import settings_text
from simulated_devices import CR_SUCCESS, MACHINES, DeviceTreeFile, EjectLog, removal_outcome, tree_environment
from driver import dos_devices

LAPTOP = "windows11-laptop-en.tree"
THUNDERBOLT_PORT = r'id="PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\5&'
DVD_DRIVE = r'id="USB\\VID_0930&PID_0B09\\'
USB_READER = r'id="USB\\VID_05E3&PID_0747\\'


class StorageKinds(harness.TestCase):

    def run_cases(self, s, machine, cases):
        log = EjectLog(s)
        env = tree_environment(machine, log)
        s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
        for argument, status, ejected in cases:
            with self.subTest(argument=argument):
                ejects = [(machine.line_of(node), CR_SUCCESS) for node in ejected]
                self.assertEqual(removal_outcome(s, log, argument, env), (status, ejects))
        return env

    def test_a_card_leaves_its_reader_and_a_hot_plug_disk_goes_by_letter_and_name(self):
        with self.session("10") as s:
            machine = DeviceTreeFile(LAPTOP, MACHINES)
            s.map_drives("DEF")
            # The machine's disk numbers hold only if Wine numbered the drives so.
            self.assertEqual({d: dos_devices(s).get(d + ":") for d in "DEF"},
                             {d: f"\\Device\\Harddisk{n}" for n, d in enumerate("DEF", 1)})
            env = self.run_cases(s, machine, [
                (("/card", "D:"), 2, []),  # the reader inside the case
                ("D:", 2, []),             # no removable device holds it: its card
                ("E:", 0, [THUNDERBOLT_PORT]),
                ("NVMe Samsung SSD 950", 0, [THUNDERBOLT_PORT]),
                (("/card",), 1, []),
            ])
            names = s.run_tollevane("/list", env=env).stdout.splitlines()
            self.assertIn("SDXC Card", names)
            self.assertIn("NVMe Samsung SSD 950", names)
            self.assertNotIn("NVMe KXG8AZNV512G", names, "the disk Windows runs from")
            self.assertNotIn("DataTraveler 2.0", names, "a volume's WPD twin")
            self.assertNothingVisible(s)

        with self.session("10") as s:
            machine = DeviceTreeFile("windows10-ja.tree", MACHINES)
            s.map_drives("EFGH")
            self.run_cases(s, machine, [
                (("/card", "h:"), 2, []),  # one slot of the four-slot USB reader
                ("H:", 0, [USB_READER]),   # its letter alone takes the reader, as ever
            ])

    def test_a_usb_dvd_drive_goes_by_its_letter_and_its_name(self):
        with self.session("10") as s:
            machine = DeviceTreeFile(LAPTOP, MACHINES)
            s.map_drives("G", kind="cdrom")
            self.assertEqual(dos_devices(s).get("G:"), "\\Device\\CdRom0")
            self.run_cases(s, machine, [
                ("G:", 0, [DVD_DRIVE]),
                ("TOSHIBA DVD/HD  X807616 USB Device", 0, [DVD_DRIVE]),
            ])


if __name__ == "__main__":
    unittest.main()
