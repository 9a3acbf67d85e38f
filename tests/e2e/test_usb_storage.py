"""USB mass storage on the machine files of Windows 10 (Japanese and English) and XP:
the all-storage hotkey and a UAS drive's hotkey eject what a user means by them on a
system of either language, and the English device list offers the disks, not the
nodes, hubs and volumes around them."""

import unittest

import driver
import harness
import texts
from driver import DeviceListPage
from formats import Entry
from harness import wait_until
from simulated_devices import CR_SUCCESS, MACHINES, WINDOWS_10, WINDOWS_XP, DeviceTreeFile, EjectLog, tree_environment
from texts import ALL_STORAGE_VISTA, ALL_STORAGE_XP, IDOK, PAGE_CAPTIONS_EN

UAS_SSD = "SanDisk Extreme SSD SCSI Disk Device"
TWO_STICKS = DeviceTreeFile("two_sticks.tree")
BUFFALO, IODATA = "BUFFALO ClipDrive USB Device", "I-O DATA TB-BH2 USB Device"

STORAGE_10 = ["stick", "hard disk", "UAS SSD", "card reader", "stick behind the hub", "composite's storage"]
KEPT_10 = ["phone", "mouse", "hub", "root hub"]

# Windows setting, machine file, its devices, all-storage row, what that row's hotkey
# ejects and what it leaves, the UAS drive's name (None: the machine has none).
MACHINE_RUNS = [
    ("10", "windows10-ja.tree", WINDOWS_10, ALL_STORAGE_VISTA, STORAGE_10, KEPT_10, UAS_SSD),
    ("10", "windows10-en.tree", WINDOWS_10, ALL_STORAGE_VISTA, STORAGE_10, KEPT_10, UAS_SSD),
    ("xp", "windows-xp-ja.tree", WINDOWS_XP, ALL_STORAGE_XP, ["stick", "hard disk", "card reader"],
     ["mouse", "root hub"], None),
]


class UsbStorage(harness.TestCase):

    def test_hotkeys_eject_usb_storage_on_each_machine(self):
        for version, machine_file, devices, all_storage, ejected, kept, uas in MACHINE_RUNS:
            with self.subTest(machine=machine_file, version=version), self.session(version) as s:
                machine = DeviceTreeFile(machine_file, MACHINES)
                log = EjectLog(s)
                entries = {"STORAGE": Entry(all_storage, "ctrl+alt+f5")}
                if uas:
                    entries["001"] = Entry(uas, "ctrl+alt+f6")
                driver.start_resident(s, entries, env=tree_environment(machine, log))
                if uas:
                    s.press("ctrl+alt+f6")
                    driver.wait_removal_count(s, "001", 1)
                    self.assertEqual(log.lines_and_results(),
                                     [(machine.line_of(devices["UAS SSD"]), CR_SUCCESS)])
                    log.clear()
                s.press("ctrl+alt+f5")
                # What the UAS hotkey took is gone: the rest of the storage is counted.
                left = [d for d in ejected if not (uas and d == "UAS SSD")]
                driver.wait_removal_count(s, "STORAGE", len(left))
                succeeded = {line for line, result in log.lines_and_results() if result == CR_SUCCESS}
                self.assertEqual(succeeded, {machine.line_of(devices[d]) for d in left})
                requested = {e.line for e in log.entries()}
                for device in kept:
                    self.assertNotIn(machine.line_of(devices[device]), requested, device)

    def test_the_english_list_offers_disks_and_the_uas_drive(self):
        with self.session("10") as s:
            env = tree_environment(DeviceTreeFile("windows10-en.tree", MACHINES), EjectLog(s))
            _, _, page = driver.start_at_device_list(s, env)
            self.assertEqual(page.texts(), [
                ALL_STORAGE_VISTA,
                "SanDisk Ultra USB Device",
                "WD Elements 25A2 USB Device",
                "Generic- SD/MMC USB Device",
                "Generic- Compact Flash USB Device",
                "Generic- SM/xD-Picture USB Device",
                "Generic- MS/MS-Pro USB Device",
                "Samsung Flash Drive FIT USB Device",
                "MBED VFS USB Device",
                "mbed Serial Port (COM3)",
                "USB Input Device",
                "Galaxy S10",
                UAS_SSD,
                "HGST HMS5C4040BLE640",  # on the eSATA port, removable itself: a hot-plug disk
            ])

    def test_all_storage_key_passes_over_the_kept_stick_which_its_own_key_removes(self):
        with self.session("10", desktop=True) as s:
            log = EjectLog(s)
            entries = {"STORAGE": Entry(ALL_STORAGE_VISTA, "ctrl+alt+f5"), "001": Entry(BUFFALO, "ctrl+alt+b")}
            _, sheet, page = driver.start_at_device_list(s, tree_environment(TWO_STICKS, log), entries)
            page.select(BUFFALO)
            s.press("shift+f10")
            driver.wait_menu(s)
            s.screenshot(s.artifacts / "context-menu-ja.png")
            s.press("k")
            wait_until(lambda: BUFFALO + "（すべてから除外）" in page.texts(), what="row marked kept")
            sheet.close(IDOK)
            wait_until(lambda: s.read_settings().get("KEEP") == {"001": BUFFALO}, what="KEEP written")
            s.wait_hotkeys_taken(["ctrl+alt+f5", "ctrl+alt+b"])
            for key, entry, stick in (("ctrl+alt+f5", "STORAGE", IODATA), ("ctrl+alt+b", "001", BUFFALO)):
                log.clear()
                s.press(key)
                driver.wait_removal_count(s, entry, 1)
                self.assertEqual(log.lines_and_results(), [(TWO_STICKS.parent_of(stick), CR_SUCCESS)])

    def test_english_menu_checks_a_kept_stick(self):
        with self.session("10", desktop=True, lang="C.UTF-8") as s:
            s.write_settings(driver.settings_text({"STARTUP": 0}) + f"[KEEP]\n001={BUFFALO}\n")
            sheet = driver.Resident.start(s, env=tree_environment(TWO_STICKS, EjectLog(s))).open_sheet()
            caption = PAGE_CAPTIONS_EN[texts.DEVICE_LIST_PAGE]
            DeviceListPage(s, wait_until(lambda: next((c.handle for c in sheet.pages() if c.text == caption), None),
                                         what="the English list")).select(BUFFALO + " (kept out of all)")
            s.press("shift+f10")
            driver.wait_menu(s)
            s.screenshot(s.artifacts / "context-menu-en.png")


if __name__ == "__main__":
    unittest.main()
