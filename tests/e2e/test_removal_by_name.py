"""Removal by name under Wine: `Tollevane.exe "<name>"` against simulated device
trees, checked by the eject log (which nodes, in what order, with what result),
the exit status and the failure message."""

import time
import unittest

import harness
from harness import QUICK_EXIT, settings_text
from simulated_devices import (CR_REMOVE_VETOED, CR_SUCCESS, DeviceTreeFile, EjectLog,
                               removal_outcome, tree_environment)
from texts import ERROR_CAPTION, REMOVAL_FAILED, STORAGE_VISTA, STORAGE_XP


MACHINE = DeviceTreeFile("removal_machine.tree")


class RemovalByName(harness.TestCase):

    def test_each_kind_of_device_is_ejected_by_its_listed_name(self):
        m = MACHINE
        # name as the device list offers it -> eject requests (line, result), exit status
        cases = [
            # A flash disk is listed as its disk drive; the mass-storage node above goes.
            ("BUFFALO ClipDrive USB Device", [(m.parent_of("BUFFALO ClipDrive"), CR_SUCCESS)], 0),
            ("buffalo CLIPDRIVE usb device", [(m.parent_of("BUFFALO ClipDrive"), CR_SUCCESS)], 0),
            # The reader's second slot carries a volume of its own, yet is found.
            ("Generic USB SD Reader USB Device", [(m.parent_of("SD Reader"), CR_SUCCESS)], 0),
            ("Generic USB CF Reader USB Device", [(m.parent_of("CF Reader"), CR_SUCCESS)], 0),
            ("SAMSUNG HD502HI USB Device", [(m.parent_of("SAMSUNG"), CR_SUCCESS)], 0),
            # A HID device is listed as its first child; the HID node goes.
            ("HID 準拠マウス", [(m.parent_of("HID 準拠マウス"), CR_SUCCESS)], 0),
            ("RATOC REX-CFU1 CompactFlash PC Card", [(m.line_of("RATOC"), CR_SUCCESS)], 0),
            # Vetoed: tried once, and nothing was removed; 2 tells a refusal from a miss.
            ("USB Serial Converter", [(m.line_of("USB Serial Converter"), CR_REMOVE_VETOED)], 2),
            # Network cards lie outside the command line's default kinds (31).
            ("BUFFALO LPC-CB-CLX CardBus Fast Ethernet Adapter", [], 1),
            ("ＢＵＦＦＡＬＯ ClipDrive USB Device", [], 1),   # full-width letters are other letters
            ("BUFFALO ClipDrive", [], 1),
        ]
        with self.session("xp") as s:
            log = EjectLog(s)
            env = tree_environment(m, log)
            settings = s.write_settings(settings_text({"STARTUP": 0}))
            before = settings.read_bytes()
            for name, ejects, status in cases:
                with self.subTest(name=name):
                    self.assertEqual(removal_outcome(s, log, name, env), (status, ejects))
            self.assertNothingVisible(s)
            self.assertEqual(settings.read_bytes(), before, "the removal by name writes no settings")

            s.write_settings(settings_text({"STARTUP": 0, "DEVICE_KIND": 0x3F}))
            card = "BUFFALO LPC-CB-CLX CardBus Fast Ethernet Adapter"
            self.assertEqual(removal_outcome(s, log, card, env),
                             (0, [(m.line_of("LPC-CB-CLX"), CR_SUCCESS)]))
            self.assertEqual(log.entries()[0].name, card)

    def test_all_storage_description_ejects_every_usb_mass_storage_member(self):
        m = MACHINE
        with self.session("xp") as s:
            log = EjectLog(s)
            s.write_settings(settings_text({"STARTUP": 0}))
            status, ejects = removal_outcome(s, log, STORAGE_XP, tree_environment(m, log))
            self.assertEqual(status, 0)
            # In class order; the disk behind the hub goes through the hub's branch,
            # and is then gone when its own turn comes. The hub itself stays.
            self.assertEqual(ejects, [(m.parent_of("BUFFALO ClipDrive"), CR_SUCCESS),
                                      (m.parent_of("CF Reader"), CR_SUCCESS),
                                      (m.parent_of("SAMSUNG"), CR_SUCCESS)])
            self.assertEqual({e.name for e in log.entries()}, {STORAGE_XP})

    def test_storage_description_follows_the_windows_version(self):
        tree = DeviceTreeFile("removal_storage_descs.tree")
        xp_node = tree.parent_of("XP Era Stick")
        vista_node = tree.parent_of("Vista Era Stick")
        expected = {
            "2000": {STORAGE_XP: (0, [(xp_node, CR_SUCCESS)]), STORAGE_VISTA: (1, [])},
            "xp": {STORAGE_XP: (0, [(xp_node, CR_SUCCESS)]), STORAGE_VISTA: (1, [])},
            "vista": {STORAGE_XP: (1, []), STORAGE_VISTA: (0, [(vista_node, CR_SUCCESS)])},
            "10": {STORAGE_XP: (1, []), STORAGE_VISTA: (0, [(vista_node, CR_SUCCESS)])},
        }
        for version, outcomes in expected.items():
            with self.subTest(version=version), self.session(version) as s:
                log = EjectLog(s)
                s.write_settings(settings_text({"STARTUP": 0}))
                for name, outcome in outcomes.items():
                    self.assertEqual(removal_outcome(s, log, name, tree_environment(tree, log)), outcome, name)

    def test_nothing_removed_is_reported_only_when_asked(self):
        m = MACHINE
        # Format directives in a name are shown as they stand.
        unknown = "存在しない %s %d デバイス"
        vetoed = "USB Serial Converter"
        with self.session("10") as s:
            log = EjectLog(s)
            env = tree_environment(m, log)
            s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 0}))
            started = time.monotonic()
            self.assertEqual(removal_outcome(s, log, unknown, env), (1, []))
            self.assertLess(time.monotonic() - started, 10, "no message box held the removal")
            self.assertNothingVisible(s)

            s.write_settings(settings_text({"STARTUP": 0, "DISP_REJECT_ERR": 1}))
            for name, ejects, status in ((unknown, [], 1),
                                         (vetoed, [(m.line_of(vetoed), CR_REMOVE_VETOED)], 2)):
                with self.subTest(name=name):
                    log.clear()
                    removal = s.start_tollevane(name, env=env)
                    box, _ = s.message_box(title=ERROR_CAPTION)
                    owner = [w for w in s.windows() if w.handle == box]
                    self.assertEqual(owner[0].process, "Tollevane.exe")
                    self.assertTrue(removal.running(), "the removal waits for the answer")
                    self.assertEqual(s.answer("ok", title=ERROR_CAPTION),
                                     (ERROR_CAPTION, REMOVAL_FAILED.format(name)))
                    self.assertEqual(removal.wait(QUICK_EXIT), status)
                    self.assertEqual(log.lines_and_results(), ejects)


if __name__ == "__main__":
    unittest.main()
