"""Opening the settings sheet from the tray under Wine: the double click shows the four
tabs in order, a second request while it is open brings that sheet to the front
instead of opening another, and the hotkey dialog's Help asks for its own topic."""

import re
import time
import unittest
from pathlib import Path

import harness
from formats import Entry, settings_text
from harness import wait_until

WM_COMMAND = 0x0111
WM_TRAYNOTIFY = 0x8001  # WM_APP + 1, the tray icon's callback message
WM_LBUTTONDBLCLK = 0x0203
PSM_SETCURSEL = 0x0465
ID_SETTINGS = 32775
IDCANCEL = 2
HELP_BUTTON = 9
LIST, SET = 1000, 1001

CAPTIONS = ["ホットキー設定", "表示設定", "オプション", "バージョン情報"]
DIALOG_CAPTION = "ホットキーの設定"
HOTKEY_TOPIC = 12101
TREES = Path(__file__).resolve().parent / "trees"


def sheets(s: harness.Session) -> list[str]:
    return [w.handle for w in s.windows()
            if w.visible and w.class_name == "#32770" and w.title == "Tollevane" and w.process == "Tollevane.exe"]


def pages(s: harness.Session, sheet: str) -> list[harness.Control]:
    return [c for c in s.controls(sheet)[1:] if c.class_name == "#32770"]


def shown_page(s: harness.Session, sheet: str):
    visible = [c for c in pages(s, sheet) if c.visible]
    return visible[0].text if len(visible) == 1 else None


def foreground(s: harness.Session) -> str:
    return s.helper("desktopstate").stdout.splitlines()[0].split("\t")[1]


def double_click_tray(s: harness.Session, main: str) -> None:
    """What the shell sends when the tray icon is double-clicked."""
    if s.helper("postmsg", main, str(WM_TRAYNOTIFY), "0", str(WM_LBUTTONDBLCLK)).status != 0:
        raise harness.HarnessError("postmsg failed")


def start(s: harness.Session, entries=None, env=None) -> tuple[harness.WineProcess, str]:
    """Starts the program; returns it and its main window."""
    s.write_settings(settings_text({"STARTUP": 0}, entries or {}))
    program = s.start_tollevane(env=env)
    return program, s.wait_window(title="Tollevane", class_name="Tollevane")


def other_window_in_front(s: harness.Session, title: str) -> str:
    """Another application's window that takes the front, as a user switching would."""
    other = s.start(s.config.helpers / "recordwin.exe", "--title", title, "--timeout", "60000")
    ready = wait_until(lambda: [l for l in other.stdout.splitlines() if l.startswith("ready")], 15,
                       what=f"{title} ready")
    handle = ready[0].split("\t")[2].strip()
    wait_until(lambda: foreground(s) == handle, 10, what=f"{title} in front")
    return handle


class SheetOpening(harness.TestCase):

    def test_double_click_shows_four_tabs_in_order_and_a_second_request_reuses_the_sheet(self):
        with self.session("10", desktop=True) as s:
            _, main = start(s)
            double_click_tray(s, main)
            sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
            wait_until(lambda: shown_page(s, sheet) == CAPTIONS[0], what="device list tab first")
            wait_until(lambda: foreground(s) == sheet, 10, what="new sheet in front")

            for index, caption in enumerate(CAPTIONS):
                s.helper("postmsg", sheet, str(PSM_SETCURSEL), str(index))
                wait_until(lambda: shown_page(s, sheet) == caption, what=f"tab {index} shows {caption}")
            # A fifth tab does not exist: asking for it leaves the last page shown.
            s.helper("postmsg", sheet, str(PSM_SETCURSEL), "4")
            time.sleep(0.5)
            self.assertEqual(shown_page(s, sheet), CAPTIONS[3])
            self.assertEqual(sorted(p.text for p in pages(s, sheet)), sorted(CAPTIONS), "four pages, no more")

            # With the sheet behind another application, each further request (the
            # double click, then the menu command) brings the same sheet back.
            for request, title in (("double click", "メモ帳"), ("settings command", "電卓")):
                other = other_window_in_front(s, title)
                self.assertNotEqual(other, sheet)
                if request == "double click":
                    double_click_tray(s, main)
                else:
                    s.helper("postmsg", main, str(WM_COMMAND), str(ID_SETTINGS))
                wait_until(lambda: foreground(s) == sheet, 10, what=f"sheet in front after the {request}")
                time.sleep(0.5)  # a second sheet would have appeared by now
                self.assertEqual(sheets(s), [sheet], f"one sheet after the {request}")
                self.assertEqual(shown_page(s, sheet), CAPTIONS[3], "the open sheet keeps its page")

            s.click(sheet, control_id=IDCANCEL)
            s.wait_window_gone(title="Tollevane", class_name="#32770")
            self.assertEqual(s.read_settings(), {"APP": {"STARTUP": "0"}}, "Cancel writes nothing")

    def test_second_start_brings_the_open_sheet_not_another_window_of_the_same_title(self):
        # An Explorer window on the unpacked folder bears the program's name too.
        with self.session("xp", desktop=True) as s:
            program, main = start(s)
            double_click_tray(s, main)
            sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
            folder = other_window_in_front(s, "Tollevane")
            self.assertNotEqual(folder, sheet)

            second = s.run_tollevane(timeout=15)
            self.assertEqual(second.status, 0)
            wait_until(lambda: foreground(s) == sheet, 10, what="the sheet in front after a second start")
            self.assertEqual(sheets(s), [sheet])
            self.assertTrue(program.running())


class HotkeyDialogHelp(harness.TestCase):

    def test_help_button_asks_for_the_hotkey_topic(self):
        # Wine has no HTML engine here; the help component's trace says which topic
        # was asked for, of which file and by which window.
        with self.session("vista") as s:
            tree = s.prefix / "drive_c" / "devices.tree"
            tree.write_text((TREES / "demo.tree").read_text("utf-8"), "utf-8")
            program_env = {"TOLLEVANE_DEVICE_TREE": r"C:\devices.tree", "WINEDEBUG": "trace+htmlhelp"}
            process, main = start(s, {"001": Entry("SanDisk Cruzer USB Device", "ctrl+alt+f5")}, env=program_env)
            double_click_tray(s, main)
            sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
            page = wait_until(lambda: next((c.handle for c in pages(s, sheet)
                                            if c.visible and c.text == CAPTIONS[0]), None), what="device list")
            list_view = next(c.handle for c in s.controls(page) if c.control_id == LIST)
            self.assertEqual(s.helper("listview", list_view, "--select", "0").status, 0)
            s.click(page, control_id=SET)
            dialog = s.wait_window(title=DIALOG_CAPTION, class_name="#32770", visible=True)

            def requests() -> list[tuple[int, str, int]]:
                return [(int(m.group(1), 16), m.group(2).replace("\\\\", "\\"), int(m.group(3), 16))
                        for m in re.finditer(r'HtmlHelpW \((\w+), L"([^"]*)", command=HH_HELP_CONTEXT, '
                                             r'data=(\w+)\)', process.stderr)]

            self.assertEqual(requests(), [], "no help asked for before the button")
            s.click(dialog, control_id=HELP_BUTTON)
            asked = wait_until(requests, what="help asked from the hotkey dialog")
            self.assertEqual(asked, [(int(dialog, 16), str(s.program.with_suffix(".chm")), HOTKEY_TOPIC)])
            self.assertIn(dialog, [w.handle for w in s.windows() if w.visible], "the dialog stays open")

            s.click(dialog, control_id=IDCANCEL)
            s.wait_window_gone(title=DIALOG_CAPTION, class_name="#32770")
            s.click(sheet, control_id=IDCANCEL)
            s.wait_window_gone(title="Tollevane", class_name="#32770")


if __name__ == "__main__":
    unittest.main()
