"""The settings sheet under Wine, opened the way the tray menu opens it: its tabs,
the display settings, options and version pages as a user sees them, and what
their OK leaves in the settings file and the Startup folder."""

import unittest

import driver
import harness
from driver import Resident
from formats import Entry, read_shortcut, settings_text
from harness import wait_until
from simulated_devices import MACHINES, DeviceTreeFile, EjectLog, tree_environment
from texts import (APPLY_BUTTON, ERROR_CAPTION, HELP_BUTTON, ID_SETTINGS, ID_VERSION, IDCANCEL, IDOK,
                   STARTUP_FAILED)

DISPLAY_TEXTS = {
    1004: "ホットキー入力時、設定したデバイスが見つからなかった場合、エラーメッセージを表示(&E)",
    1017: "デバイスの取り外しに成功した場合のメッセージウィンドウを、自動的に閉じる(&A) - Windows2000のみ",
    1014: "USB(&U)",
    1018: "USB-HID(&D)",
    1009: "USBハブ(&H)",
    1015: "PCMCIA(&P)",
    1019: "ネットワークカード(&N)",
    1016: "IEEE1394(&I)",
    1020: "メモリーカード(&M)",
    1021: "Thunderbolt・eSATA ディスク(&T)",
}
DISPLAY_UNNAMED = ["メッセージ", "デバイス", "デバイス一覧に表示するデバイスの種類を選択してください。"]
DISPLAY_KEYS = ["DISP_REJECT_ERR", "REMOVE_WINDOW", "DEVICE_KIND", "REMOVE_WINDOW_TIME"]

OPTIONS_TEXTS = {
    65535: "起動設定",
    1005: "ログオン時に自動的に Tollevane を起動(&A)",
    1009: "スタートメニューのスタートアップに Tollevane を登録します。",
    1010: "エクスプローラ",
    1007: "リムーバブルディスクを取り外す前に、リムーバブルディスクを開いている\nエクスプローラを閉じる(&E)",
    1013: "除外するドライブ：（複数指定はセミコロンで区切る。）",
    1012: "",
    1008: "メッセージ",
    1006: "切りのよい取り外し回数でメッセージを表示(&M)",
    1030: "表示言語(&L)",
    1031: "自動 (Windows に合わせる)",
    1032: "次に開くウィンドウから有効です。",
}
OPTIONS_KEYS = ["DISP_MESSAGE", "STARTUP", "CLOSE_EXPLORER", "CLOSE_EXPLORER_DRIVE", "CLOSE_EXPLORER_SLEEP"]

# Picture control that survives on each version, and the picture's size in pixels.
VERSION_PICTURES = {"2000": (1013, (265, 72)), "xp": (1012, (265, 72)), "vista": (1014, (339, 81))}


def unnamed_controls(s: harness.Session, page: str) -> list[harness.Control]:
    return [c for c in s.controls(page)[1:] if c.control_id == -1]


def machine_env(s: harness.Session) -> dict:
    return tree_environment(DeviceTreeFile("windows10-ja.tree", MACHINES), EjectLog(s))


class SheetAndTabs(harness.TestCase):

    def test_four_tabs_in_order_from_either_menu_command(self):
        with self.session("10", desktop=True) as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            resident = Resident.start(s, env=machine_env(s))
            sheet = resident.open_sheet(ID_VERSION)
            self.assertEqual(sheet.shown_caption(), "バージョン情報", "the version command starts at its tab")
            buttons = s.control_states(sheet.handle)
            self.assertTrue(buttons[IDOK].enabled and buttons[IDCANCEL].enabled and buttons[HELP_BUTTON].enabled)
            self.assertNotIn(APPLY_BUTTON, [c.control_id for c in s.controls(sheet.handle) if c.visible],
                             "no Apply button")

            sheet_window = [w for w in s.windows() if w.handle == sheet.handle][0]
            centre = (sheet_window.rect[0] + sheet_window.rect[2]) // 2
            self.assertLessEqual(abs(centre - 512), 2, "centred on the screen, not at the main window's corner")

            # Each tab index shows the page with that tab's caption.
            for index in (0, 1, 2, 3):
                sheet.show(index)
                s.screenshot(s.artifacts / f"page-{index}.png")
            sheet.close(IDCANCEL)
            self.assertFalse([w for w in s.windows() if w.handle == resident.main][0].visible)

            # The settings command (and the tray's double click) starts at the device list.
            sheet = resident.open_sheet(ID_SETTINGS)
            wait_until(lambda: sheet.shown_caption() == "ホットキー設定",
                       what="device list tab first")
            sheet.close(IDCANCEL)
            self.assertEqual(s.read_settings(), {"APP": {"STARTUP": "0"}}, "Cancel writes nothing")


class HelpButton(harness.TestCase):

    def test_help_opens_the_active_pages_topic(self):
        # Wine has no HTML engine here, so the help window shows nothing; the help
        # component's trace says which topic the program asked for, and of which window.
        with self.session("10") as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            resident = Resident.start(s, env={**machine_env(s), "WINEDEBUG": "trace+htmlhelp"})
            sheet = resident.open_sheet(ID_VERSION)

            def requests() -> list[driver.HelpRequest]:
                return driver.help_requests(resident.process)

            for index, topic in ((3, 12104), (0, 12100), (1, 12102), (2, 12103)):
                sheet.show(index)
                count = len(requests())
                sheet.click(HELP_BUTTON)
                wait_until(lambda: len(requests()) > count, what=f"help asked on page {index}")
                asked = requests()[-1]
                self.assertEqual((asked.window, asked.topic), (int(sheet.handle, 16), topic), f"page {index}")
                self.assertEqual(asked.path, str(s.program.with_suffix(".chm")))
            sheet.close(IDCANCEL)


class DisplaySettingsPage(harness.TestCase):

    def test_xp_disables_remove_window_and_drops_the_hub_bit(self):
        with self.session("xp", desktop=True) as s:
            s.write_settings(settings_text({"STARTUP": 0, "DEVICE_KIND": 9, "REMOVE_WINDOW": 1,
                                            "REMOVE_WINDOW_TIME": 7}))
            sheet = Resident.start(s).open_sheet(ID_VERSION)
            page = sheet.show(1)

            texts = {c.control_id: c.text for c in s.controls(page)[1:] if c.control_id != -1}
            self.assertEqual(texts, DISPLAY_TEXTS)
            self.assertEqual([c.text for c in unnamed_controls(s, page)], DISPLAY_UNNAMED)

            states = s.control_states(page)
            self.assertEqual({i: (states[i].enabled, states[i].check) for i in DISPLAY_TEXTS}, {
                1004: (True, "0"), 1017: (False, "0"), 1014: (True, "1"), 1018: (True, "0"),
                1009: (False, "0"), 1015: (True, "0"), 1019: (True, "0"), 1016: (True, "0"),
                1020: (True, "0"), 1021: (True, "0")})  # a file of before keeps its kinds
            s.screenshot(s.artifacts / "display-xp.png")

            s.click(page, control_id=1016)
            s.click(page, control_id=1004)
            wait_until(lambda: s.control_states(page)[1004].check == "1", what="boxes ticked")
            sheet.close(IDOK)

            app = s.read_settings()["APP"]
            self.assertEqual({k: app.get(k) for k in DISPLAY_KEYS},
                             {"DISP_REJECT_ERR": "1", "REMOVE_WINDOW": "0", "DEVICE_KIND": "5",
                              "REMOVE_WINDOW_TIME": "7"})
            for key in OPTIONS_KEYS[:1] + OPTIONS_KEYS[2:]:
                self.assertNotIn(key, app, "the options page was never shown")

    def test_windows2000_keeps_remove_window_and_an_empty_filter(self):
        with self.session("2000", desktop=True) as s:
            s.write_settings(settings_text({"STARTUP": 0, "REMOVE_WINDOW": 1, "DEVICE_KIND": 3}))
            sheet = Resident.start(s).open_sheet(ID_VERSION)
            page = sheet.show(1)
            states = s.control_states(page)
            self.assertEqual((states[1017].enabled, states[1017].check), (True, "1"))
            s.screenshot(s.artifacts / "display-2000.png")

            s.click(page, control_id=1014)
            s.click(page, control_id=1015)
            wait_until(lambda: s.control_states(page)[1015].check == "0", what="boxes cleared")
            sheet.close(IDOK)

            app = s.read_settings()["APP"]
            self.assertEqual({k: app.get(k) for k in DISPLAY_KEYS},
                             {"DISP_REJECT_ERR": "0", "REMOVE_WINDOW": "1", "DEVICE_KIND": "0",
                              "REMOVE_WINDOW_TIME": "3"})

    KIND_ENTRIES = {"001": Entry("USB Flash Disk", "ctrl+alt+f5", kind=0x01),
                    "002": Entry("FireWire Disk", "ctrl+alt+f6", kind=0x04)}

    def click_ieee1394_then(self, s: harness.Session, button: int) -> bytes:
        """Returns the settings file as it was before."""
        original = s.write_settings(settings_text({"STARTUP": 0, "DEVICE_KIND": 3}, self.KIND_ENTRIES)).read_bytes()
        resident = Resident.start(s)
        self.assertHotkeysTaken(s, ["ctrl+alt+f5"])
        self.assertFalse(s.hotkey_taken("ctrl+alt+f6"), "IEEE 1394 is outside the filter")
        sheet = resident.open_sheet(ID_VERSION)
        page = sheet.show(1)
        s.click(page, control_id=1016)
        wait_until(lambda: s.control_states(page)[1016].check == "1", what="IEEE1394 ticked")
        sheet.close(button)
        # The version command does not reload the settings record, so the hotkeys
        # registered after the sheet follow the filter the program holds in memory.
        self.assertHotkeysTaken(s, ["ctrl+alt+f5"])
        return original

    def test_cancel_discards_a_clicked_kind_in_memory_too(self):
        with self.session("xp") as s:
            original = self.click_ieee1394_then(s, IDCANCEL)
            self.assertEqual(s.settings_file.read_bytes(), original, "Cancel writes nothing")
            self.assertFalse(s.hotkey_taken("ctrl+alt+f6"), "the IEEE 1394 registration stays unregistered")

    def test_ok_stores_the_clicked_kind_and_registers_its_hotkey(self):
        with self.session("xp") as s:
            self.click_ieee1394_then(s, IDOK)
            self.assertEqual(s.read_settings()["APP"]["DEVICE_KIND"], "7")
            self.assertHotkeysTaken(s, ["ctrl+alt+f6"])


class OptionsPage(harness.TestCase):

    def test_shortcut_box_creates_and_deletes_the_shortcut_and_five_keys_are_stored(self):
        with self.session("vista", desktop=True) as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            resident = Resident.start(s)
            sheet = resident.open_sheet(ID_VERSION)
            page = sheet.show(2)

            texts = {c.control_id: c.text for c in s.controls(page)[1:]}
            self.assertEqual(texts, OPTIONS_TEXTS)
            states = s.control_states(page)
            self.assertEqual({i: states[i].check for i in (1005, 1006, 1007)},
                             {1005: "0", 1006: "1", 1007: "1"})
            self.assertTrue(states[1005].enabled and states[65535].enabled)
            s.screenshot(s.artifacts / "options-vista.png")

            s.click(page, control_id=1005)
            s.click(page, control_id=1006)
            self.assertEqual(s.helper("ctlstate", page, "--set-text", "1012", "E;F").status, 0)
            wait_until(lambda: s.control_states(page)[1006].check == "0", what="boxes clicked")
            sheet.close(IDOK)

            shortcut = read_shortcut(s.shortcut)
            self.assertEqual((shortcut.target, shortcut.working_dir), (str(s.program), str(s.program.parent)))
            app = s.read_settings()["APP"]
            self.assertEqual(list(app), ["STARTUP"] + OPTIONS_KEYS[:1] + OPTIONS_KEYS[2:], "order of writing")
            self.assertEqual({k: app[k] for k in OPTIONS_KEYS},
                             {"DISP_MESSAGE": "0", "STARTUP": "1", "CLOSE_EXPLORER": "1",
                              "CLOSE_EXPLORER_DRIVE": "E;F", "CLOSE_EXPLORER_SLEEP": "500"})

            # The box shows the file: open again, clear it, and the shortcut goes.
            sheet = resident.open_sheet(ID_VERSION)
            page = sheet.show(2)
            self.assertEqual(s.control_states(page)[1005].check, "1")
            s.click(page, control_id=1005)
            wait_until(lambda: s.control_states(page)[1005].check == "0", what="box cleared")
            sheet.close(IDOK)
            self.assertFalse(s.shortcut.exists())
            self.assertEqual(s.read_settings()["APP"]["STARTUP"], "0")

    def test_failed_shortcut_shows_message_113_and_still_stores_the_keys(self):
        with self.session("vista") as s:
            s.write_settings(settings_text({"STARTUP": 0, "CLOSE_EXPLORER_SLEEP": 1200}))
            # A file where the Startup folder should be: no shortcut can be saved in it.
            s.startup_dir.rmdir()
            s.startup_dir.write_bytes(b"")
            sheet = Resident.start(s).open_sheet(ID_VERSION)
            page = sheet.show(2)
            s.click(page, control_id=1005)
            wait_until(lambda: s.control_states(page)[1005].check == "1", what="box ticked")
            sheet.click(IDOK)

            self.assertEqual(s.answer("ok", title=ERROR_CAPTION), (ERROR_CAPTION, STARTUP_FAILED))
            sheet.wait_gone()
            self.assertTrue(s.startup_dir.is_file())
            app = s.read_settings()["APP"]
            self.assertEqual({k: app[k] for k in OPTIONS_KEYS},
                             {"DISP_MESSAGE": "1", "STARTUP": "1", "CLOSE_EXPLORER": "1",
                              "CLOSE_EXPLORER_DRIVE": "", "CLOSE_EXPLORER_SLEEP": "1200"})


class VersionPage(harness.TestCase):

    def check_picture(self, version: str) -> None:
        kept, size = VERSION_PICTURES[version]
        with self.session(version, desktop=True) as s:
            s.write_settings(settings_text({"STARTUP": 0}))
            sheet = Resident.start(s).open_sheet(ID_VERSION)
            page = sheet.shown_page()
            self.assertEqual(page.text, "バージョン情報")
            states = s.control_states(page.handle)
            pictures = sorted(i for i in (1012, 1013, 1014) if i in states)
            self.assertEqual(pictures, [kept])
            self.assertEqual(states[kept].size, size, "the picture at its own size")
            # An icon's static reads back the resource number (0xFFFF, n), not a text.
            texts = [c.text for c in s.controls(page.handle)[1:] if c.class_name == "Static" and c.text
                     and not c.text.startswith("\uffff")]
            self.assertEqual(texts[:2], ["Tollevane", "Version 1.4.0"])
            self.assertEqual(len(texts), 4, texts)
            s.screenshot(s.artifacts / f"version-{version}.png")
            sheet.close(IDOK)
            self.assertEqual(s.read_settings(), {"APP": {"STARTUP": "0"}}, "the version page stores nothing")

    def test_windows2000_shows_picture_129(self):
        self.check_picture("2000")

    def test_xp_shows_picture_130(self):
        self.check_picture("xp")

    def test_vista_shows_picture_136(self):
        self.check_picture("vista")


if __name__ == "__main__":
    unittest.main()
