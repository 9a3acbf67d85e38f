"""The program as a user and the shell reach it, on top of harness.Session: the
resident program, its settings sheet, the device list page and the hotkey dialog,
and what the desktop shows around them. Tests and tools act through these, so that
a step such as "open the sheet at the device list" is written once."""

from __future__ import annotations

import os
import re
import threading
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional

import texts
from formats import Entry, settings_text
from harness import DEFAULT_TIMEOUT, Control, HarnessError, Session, WineProcess, unescape_field, wait_until
from simulated_devices import stamp, wait_for_output


def write_settings(s: Session, app: Optional[dict] = None, entries: Optional[dict[str, Entry]] = None) -> Path:
    """The settings file with these registrations; STARTUP 0 unless app says
    otherwise, so that the start leaves the Startup folder alone."""
    return s.write_settings(settings_text({"STARTUP": 0, **(app or {})}, entries))


def post(s: Session, window: str, message: int, wparam: int = 0, lparam: Optional[int] = None) -> None:
    args = [window, str(message), str(wparam)] + ([] if lparam is None else [str(lparam)])
    result = s.helper("postmsg", *args)
    if result.status != 0:
        raise HarnessError(f"postmsg {args} failed: {result.stderr.strip()}")


def removal_count(s: Session, key: str) -> Optional[str]:
    """A registration's stored removal count (REJECT_TIMES), as the file holds it."""
    return s.read_settings().get("REJECT_TIMES", {}).get(key)


def wait_removal_count(s: Session, key: str, count: int, timeout: float = 10) -> None:
    """The count is stored after the eject request: once it is there, the removal has
    ended and the next press is not dropped as one during a removal."""
    wait_until(lambda: removal_count(s, key) == str(count), timeout, interval=0.02,
               what=f"REJECT_TIMES {key}={count}")


# ------------------------------------------------------------------ the program

class Resident:
    """Tollevane.exe started resident: its process and its hidden main window, to which
    the tray icon's clicks and the tray menu's commands go."""

    def __init__(self, s: Session, process: WineProcess, main: str):
        self.session = s
        self.process = process
        self.main = main

    @classmethod
    def start(cls, s: Session, *args: str, env: Optional[dict] = None) -> "Resident":
        process = s.start_tollevane(*args, env=env)
        return cls(s, process, wait_main_window(s))

    def command(self, command_id: int) -> None:
        """A tray menu command, as the menu sends it."""
        post(self.session, self.main, texts.WM_COMMAND, command_id, 0)

    def tray(self, mouse_message: int) -> None:
        """What the shell sends when the tray icon is clicked."""
        post(self.session, self.main, texts.WM_TRAYNOTIFY, 0, mouse_message)

    def click_tray(self) -> None:
        """A single left click on the tray icon, press and release."""
        for message in (texts.WM_LBUTTONDOWN, texts.WM_LBUTTONUP):
            self.tray(message)

    def double_click_tray(self) -> None:
        """A double click, as the shell reports it: the second press is the double click."""
        for message in (texts.WM_LBUTTONDOWN, texts.WM_LBUTTONUP, texts.WM_LBUTTONDBLCLK, texts.WM_LBUTTONUP):
            self.tray(message)

    def open_sheet(self, command: int = texts.ID_SETTINGS) -> "Sheet":
        self.command(command)
        return Sheet.wait(self.session)


def wait_main_window(s: Session, timeout: float = DEFAULT_TIMEOUT) -> str:
    return s.wait_window(title=texts.PROGRAM, class_name=texts.PROGRAM, timeout=timeout)


def start_resident(s: Session, entries: Optional[dict[str, Entry]] = None, app: Optional[dict] = None,
                   env: Optional[dict] = None) -> Resident:
    """Writes the settings file, starts the program and waits for its main window and
    for every registration's hotkey."""
    write_settings(s, app, entries)
    resident = Resident.start(s, env=env)
    s.wait_hotkeys_taken([e.hotkey for e in (entries or {}).values()])
    return resident


def start_at_device_list(s: Session, env: dict, entries: Optional[dict[str, Entry]] = None,
                         app: Optional[dict] = None) -> tuple[Resident, "Sheet", "DeviceListPage"]:
    """The program started with the sheet open at the device list, as the tray menu's
    settings command opens it. With entries None there is no settings file yet."""
    if entries is not None:
        write_settings(s, app, entries)
    resident = Resident.start(s, env=env)
    sheet = resident.open_sheet(texts.ID_SETTINGS)
    return resident, sheet, sheet.device_list()


class FolderChanges:
    """Watches a folder's files (names, times, sizes) from a thread of its own, as
    closely as a loop can: when they first and last changed, and `at_first` called at
    the first change. Stops when `settled` seconds pass without one, or at `timeout`."""

    def __init__(self, folder: Path, at_first: Callable[[], None] = lambda: None,
                 settled: float = 2.0, timeout: float = 60.0):
        self.first: Optional[float] = None
        self.last: Optional[float] = None
        self._folder, self._at_first, self._settled, self._timeout = folder, at_first, settled, timeout
        self._state = self._read()
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self._thread.start()

    def _read(self) -> set:
        while True:
            try:
                return {(e.name, e.stat().st_mtime_ns, e.stat().st_size) for e in os.scandir(self._folder)}
            except FileNotFoundError:  # renamed between the listing and its look
                continue

    def _watch(self) -> None:
        deadline = time.monotonic() + self._timeout
        while time.monotonic() < deadline and (self.last is None or time.monotonic() - self.last < self._settled):
            state = self._read()
            if state == self._state:
                continue
            self._state, self.last = state, time.monotonic()
            if self.first is None:
                self.first = self.last
                self._at_first()

    def wait(self) -> None:
        self._thread.join(self._timeout + self._settled + 5)


# ---------------------------------------------------------- sheet and its pages

class Sheet:
    """The settings sheet: four pages behind tabs, OK, Cancel and Help."""

    def __init__(self, s: Session, handle: str):
        self.session = s
        self.handle = handle

    @classmethod
    def wait(cls, s: Session, timeout: float = DEFAULT_TIMEOUT) -> "Sheet":
        return cls(s, s.wait_window(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, visible=True,
                                    timeout=timeout))

    def pages(self) -> list[Control]:
        return [c for c in self.session.controls(self.handle)[1:] if c.class_name == texts.DIALOG_CLASS]

    def shown_page(self) -> Optional[Control]:
        visible = [c for c in self.pages() if c.visible]
        return visible[0] if len(visible) == 1 else None

    def shown_caption(self) -> Optional[str]:
        page = self.shown_page()
        return page.text if page is not None else None

    def select_tab(self, index: int) -> None:
        """What a click on the tab does."""
        post(self.session, self.handle, texts.PSM_SETCURSEL, index)

    def show(self, index: int, captions: list[str] = texts.PAGE_CAPTIONS) -> str:
        """Selects a tab; gives its page's handle once the page shows."""
        self.select_tab(index)
        caption = captions[index]

        def shown():
            page = self.shown_page()
            return page.handle if page is not None and page.text == caption else None

        return wait_until(shown, what=f"page {caption} shown")

    def device_list(self) -> "DeviceListPage":
        caption = texts.PAGE_CAPTIONS[texts.DEVICE_LIST_PAGE]

        def found():
            pages = [c.handle for c in self.pages() if c.text == caption]
            return pages if len(pages) == 1 else None

        return DeviceListPage(self.session, wait_until(found, what="the device list page is shown")[0])

    def click(self, control_id: int) -> None:
        self.session.click(self.handle, control_id=control_id)

    def close(self, button: int = texts.IDCANCEL) -> None:
        self.click(button)
        self.wait_gone()

    def wait_gone(self, timeout: float = DEFAULT_TIMEOUT) -> None:
        self.session.wait_window_gone(title=texts.PROGRAM, class_name=texts.DIALOG_CLASS, timeout=timeout)


@dataclass(frozen=True)
class Row:
    text: str
    hotkey: str
    count: str
    absent: bool  # the row carries the cut mark


class DeviceListPage:
    """The sheet's first page: the list of devices and their hotkeys, and its buttons."""

    BUTTONS = (("update", texts.UPDATE), ("set", texts.SET), ("release", texts.RELEASE), ("delete", texts.DELETE))

    def __init__(self, s: Session, handle: str):
        self.session = s
        self.handle = handle
        self.list = next(c.handle for c in s.controls(handle) if c.control_id == texts.LIST)

    def rows(self) -> list[Row]:
        result = self.session.helper("listview", self.list)
        if result.status != 0:
            raise HarnessError(f"listview failed: {result.stderr.strip()}")
        rows = []
        for line in result.stdout.splitlines():
            _, _, cut, *columns = line.split("\t")
            text, hotkey, count = (unescape_field(c) for c in columns)
            rows.append(Row(text, hotkey, count, cut == "1"))
        return rows

    def texts(self) -> list[str]:
        return [row.text for row in self.rows()]

    def images(self) -> dict[str, int]:
        """Each row's text and the index of its small picture in the list's image list."""
        result = self.session.helper("listview", self.list, "--images")
        if result.status != 0:
            raise HarnessError(f"listview failed: {result.stderr.strip()}")
        rows = (line.split("\t", 1) for line in result.stdout.splitlines())
        return {unescape_field(text): int(image) for image, text in rows}

    def row(self, text: str) -> Row:
        found = [row for row in self.rows() if row.text == text]
        if len(found) != 1:
            raise AssertionError(f"{len(found)} rows {text!r}, not one")
        return found[0]

    def buttons(self) -> dict[str, bool]:
        """Which of the page's buttons are enabled."""
        states = self.session.control_states(self.handle)
        return {name: states[i].enabled for name, i in self.BUTTONS}

    def select(self, text: str) -> None:
        index = self.texts().index(text)
        result = self.session.helper("listview", self.list, "--select", str(index))
        if result.status != 0:
            raise HarnessError(f"select failed: {result.stderr.strip()}")
        wait_until(lambda: self.buttons()["set"], what="Set enabled")

    def click(self, control_id: int) -> None:
        self.session.click(self.handle, control_id=control_id)

    def open_dialog(self, text: str) -> "HotkeyDialog":
        self.select(text)
        self.click(texts.SET)
        return HotkeyDialog.wait(self.session)

    def set_hotkey(self, text: str, combo: str) -> None:
        dialog = self.open_dialog(text)
        dialog.type(combo)
        dialog.wait_gone()


class HotkeyDialog:
    """The dialog in which a row's hotkey is typed."""

    def __init__(self, s: Session, handle: str):
        self.session = s
        self.handle = handle

    @classmethod
    def wait(cls, s: Session) -> "HotkeyDialog":
        return cls(s, s.wait_window(title=texts.HOTKEY_DIALOG_CAPTION, class_name=texts.DIALOG_CLASS, visible=True))

    def winkey_ticked(self) -> bool:
        return self.session.control_states(self.handle)[texts.WINKEY_BOX].check == "1"

    def type(self, combo: str, winkey: bool = False) -> None:
        """Types the combination into the entry control, which has the focus, ticks the
        Windows-key box with Tab and Space if asked, and ends with Enter. All of it by
        keyboard: typed keys arrive in order, where a posted click could overtake them."""
        s = self.session
        s.press(combo)
        if winkey:
            s.press("tab", "space")
            wait_until(self.winkey_ticked, what="Windows key ticked")
        s.press("enter")

    def click(self, control_id: int) -> None:
        self.session.click(self.handle, control_id=control_id)

    def wait_gone(self) -> None:
        self.session.wait_window_gone(title=texts.HOTKEY_DIALOG_CAPTION, class_name=texts.DIALOG_CLASS)

    def cancel(self) -> None:
        self.click(texts.IDCANCEL)
        self.wait_gone()


# ------------------------------------------------------- around the program

def dos_devices(s: Session) -> dict[str, str]:
    """Each drive of the prefix ("E:") and the device name QueryDosDeviceW gives it."""
    lines = s.helper("shellstate", "devices").stdout.splitlines()
    return dict(line.split("\t", 1) for line in lines if "\t" in line)


def foreground(s: Session) -> str:
    """The handle of the window in front."""
    return s.helper("desktopstate").stdout.splitlines()[0].split("\t")[1]


def other_window_in_front(s: Session, title: str) -> str:
    """Another application's window that takes the front, as a user switching would;
    it records its title changes and a cancel (helpers/recordwin.exe)."""
    other = s.start(s.config.helpers / "recordwin.exe", "--title", title, "--timeout", "60000")
    handle = wait_for_output(other, "ready", 15).split("\t")[2].strip()
    wait_until(lambda: foreground(s) == handle, 10, what=f"{title} in front")
    return handle


def watch_window(s: Session, title: str, class_name: str, timeout: float = 60) -> WineProcess:
    """A helper that prints when such a window shows and when it is gone."""
    return s.start(s.config.helpers / "watchwin.exe", "--title", title, "--class", class_name,
                   "--timeout", str(int(timeout * 1000)))


def timed_press(s: Session, combo: str) -> float:
    """Presses a combination; gives the moment it was handed to the system."""
    result = s.helper("timedpress", combo)
    if result.status != 0:
        raise HarnessError(f"timedpress {combo} failed: {result.stderr.strip()}")
    return stamp(result.stdout.strip())


def balloons(s: Session) -> list[str]:
    """Texts of the tray's balloons on the screen."""
    return [w.title for w in s.windows()
            if w.visible and w.class_name == texts.TOOLTIP_CLASS and w.process == "explorer.exe" and w.title]


@dataclass(frozen=True)
class MenuItem:
    text: str
    greyed: bool


# The menu trace (WINEDEBUG=trace+menu) of each item a program appends to a menu.
_MENU_ITEM = re.compile(r'trace:menu:InsertMenuW hMenu (\w+), pos -?\d+, flags (\w+), id \w+, str L"((?:[^"\\]|\\.)*)"')
_DEBUGSTR_ESCAPE = re.compile(r'\\([0-9a-f]{4}|[nrt"\\])')
_MF_GRAYED = 0x1


def _debugstr(text: str) -> str:
    named = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}
    return _DEBUGSTR_ESCAPE.sub(lambda m: named.get(m.group(1)) or chr(int(m.group(1), 16)), text)


def last_menu_items(process: WineProcess) -> list[MenuItem]:
    """The items of the last menu the process built item by item, read from Wine's menu
    trace (WINEDEBUG=trace+menu): Wine lets no other process read a menu's items."""
    found = [(m.group(1), int(m.group(2), 16), _debugstr(m.group(3)))
             for m in _MENU_ITEM.finditer(process.stderr)]
    items: list[MenuItem] = []
    for menu, flags, text in reversed(found):
        if items and menu != last:
            break
        last = menu
        items.insert(0, MenuItem(text, bool(flags & _MF_GRAYED)))
    return items


def wait_menu(s: Session, timeout: float = 10) -> str:
    """The popup menu on the screen."""
    return s.wait_window(class_name=texts.MENU_CLASS, visible=True, timeout=timeout)


def menus_shown(s: Session) -> list:
    return [w for w in s.windows() if w.class_name == texts.MENU_CLASS and w.visible]


@dataclass(frozen=True)
class HelpRequest:
    window: int
    path: str
    topic: int


def help_requests(process: WineProcess) -> list[HelpRequest]:
    """The help topics a process asked for, read from Wine's help component trace
    (WINEDEBUG=trace+htmlhelp): Wine has no HTML engine here, so the window shows nothing."""
    # The trace doubles each backslash of the path.
    return [HelpRequest(int(m.group(1), 16), m.group(2).replace("\\\\", "\\"), int(m.group(3), 16))
            for m in re.finditer(r'HtmlHelpW \((\w+), L"([^"]*)", command=HH_HELP_CONTEXT, data=(\w+)\)',
                                 process.stderr)]
