"""Cards and hot-plug disks under Wine, through the real storage calls. Wine answers
FSCTL_LOCK_VOLUME but refuses FSCTL_DISMOUNT_VOLUME with ERROR_NOT_SUPPORTED, so a card's
ejection ends as a refusal (status 2): what is held here is that no device is asked to
eject. The unit tests hold the sequence and each of its failures."""

import harness
from harness import settings_text
from simulated_devices import CR_SUCCESS, MACHINES, DeviceTreeFile, EjectLog, plug_in_again, removal_outcome, tree_environment
from driver import dos_devices

THUNDERBOLT = r'id="PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\4&'
DVD_DRIVE = r'id="USB\\VID_0930&PID_0B09\\'
ENCLOSURE_STICK = r'id="USB\\VID_0781&PID_5583\\'
DOCK_READER = r'id="USB\\VID_0BDA&PID_0316\\'
# machine, Wine drives (letters, type, their DOS devices), (argument, status, ejected nodes)
RUNS = [("windows11-laptop-en.tree", "DEFH", "floppy", [f"\\Device\\Harddisk{n}" for n in range(1, 5)],
         [(("/card", "D:"), 2, []), ("D:", 2, []),  # the reader inside the case stays
          (("/card", "D:", "/whatif"), 0, []),  # the same walk, no medium touched
          ("E:", 0, [THUNDERBOLT]), ("NVMe Samsung SSD 950", 0, [THUNDERBOLT]), (("/card",), 1, []),
          ("H:", 0, [ENCLOSURE_STICK])]),  # on the enclosure's own USB port: the stick alone
        ("windows11-dock-en.tree", "DE", "floppy", ["\\Device\\Harddisk1", "\\Device\\Harddisk2"],
         [(("/card", "D:"), 2, []),  # the inbox SD host's slot stays
          ("E:", 0, [DOCK_READER]), ("Generic- SD/MMC USB Device", 0, [DOCK_READER])]),
        ("windows10-ja.tree", "EFGH", "floppy", [f"\\Device\\Harddisk{n}" for n in range(1, 5)],
         [(("/card", "h:"), 2, []),  # one slot of the four-slot USB reader
          ("Generic- SD/MMC*", 2, []),  # a pattern takes the slot's card as its name does
          ("H:", 0, [r'id="USB\\VID_05E3&PID_0747\\'])]),
        ("windows11-laptop-en.tree", "G", "cdrom", ["\\Device\\CdRom0"],
         [("G:", 0, [DVD_DRIVE]), ("TOSHIBA DVD/HD  X807616 USB Device", 0, [DVD_DRIVE])])]


class StorageKinds(harness.TestCase):

    def test_cards_leave_their_readers_and_hot_plug_disks_and_dvd_drives_go(self):
        for machine_file, letters, kind, dos_names, cases in RUNS:
            with self.subTest(machine=machine_file, drives=kind), self.session("10") as s:
                machine = DeviceTreeFile(machine_file, MACHINES)
                s.map_drives(letters, kind=kind)
                # The machine's device numbers hold only if Wine numbered the drives so.
                self.assertEqual([dos_devices(s).get(d + ":") for d in letters], dos_names)
                log = EjectLog(s)
                env = tree_environment(machine, log)
                s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
                for argument, status, ejected in cases:
                    ejects = [(machine.line_of(node), CR_SUCCESS) for node in ejected]
                    self.assertEqual(removal_outcome(s, log, argument, env), (status, ejects), argument)
                if letters == "EFGH":
                    # A card that stays is told with the system's own words, never as "no device".
                    plug_in_again(env)
                    told = s.run_tollevane("/card", "h:", env=env).stderr
                    self.assertIn("Generic- SD/MMC USB Device (H:): ", told)
                    self.assertNotIn("H:: ", told)
                if letters == "DEFH":
                    names = s.run_tollevane("/list", env=env).stdout.splitlines()
                    self.assertTrue({"SDXC Card", "NVMe Samsung SSD 950"} <= set(names))
                    self.assertFalse({"NVMe KXG8AZNV512G", "KINGSTON"} & set(names),
                                     "the disk Windows runs from, a volume's WPD twin")
