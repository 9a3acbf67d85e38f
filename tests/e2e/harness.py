"""Runs the real Tollevane.exe under Wine for the end-to-end tests.

One template prefix per build (created once, under a lock, so parallel tests wait
for it); per test a fresh prefix that shares the template's bulk through hard
links, with its own wineserver and its own Xvfb display. Everything a session
starts is ended by process id when it closes, and the prefix is deleted. Child
processes die with the test process even when CTest kills it (PR_SET_PDEATHSIG),
and prefixes left behind by killed tests are swept at the next start.
"""

from __future__ import annotations

import atexit
import os
import re
import shutil
import subprocess
import time
import unittest
import uuid
import zipfile
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath
from typing import Iterable, Optional

from formats import Entry, Shortcut, hotkey_entry, read_ini, read_shortcut, settings_text
from prefixes import KNOWN_VERSIONS, VERSIONS, clone_prefix, read_registry_strings, sweep_stale_prefixes, template
from wine_host import (ARCH, SCREEN, HarnessError, WineServer, Xvfb, die_with_parent, end_process,
                       kill_prefix_processes, wine_command, wine_environment)

# The tests' one import: the file formats are offered here as well.
__all__ = [
    "DEFAULT_TIMEOUT", "PROGRAM_DIR", "Control", "Entry", "HarnessError", "Result", "Session", "Shortcut",
    "TestCase", "Window", "WineProcess", "hotkey_entry", "paths", "read_ini", "read_shortcut",
    "settings_text", "tree", "unescape_field", "wait_until", "windows_path",
]

HERE = Path(__file__).resolve().parent

# Program's folder inside each prefix: a path with a blank, as users have it.
PROGRAM_DIR = r"C:\Program Files\Tollevane"

DEFAULT_TIMEOUT = 20.0

# A run of the program that shows nothing (a switch, a second start, a removal)
# ends well within this; one that shows a message box waits for an answer and
# overruns it.
QUICK_EXIT = 15.0


# --------------------------------------------------------------------------- paths

@dataclass(frozen=True)
class Paths:
    exe: Path       # build/win32/Tollevane.exe
    helpers: Path   # folder of press.exe, waitwin.exe, ...
    work: Path      # build/win32/e2e: template, prefixes, artifacts
    source: Path    # the source tree
    archive: Optional[Path]  # build/win32/Tollevane-<version>-win32.zip, as CMake names it


def paths() -> Paths:
    source = Path(os.environ.get("TOLLEVANE_SOURCE", HERE.parent.parent)).resolve()
    build = source / "build" / ARCH
    return Paths(
        exe=Path(os.environ.get("TOLLEVANE_EXE", build / "Tollevane.exe")).resolve(),
        helpers=Path(os.environ.get("TOLLEVANE_E2E_HELPERS", build / "tests" / "e2e" / "helpers")).resolve(),
        work=Path(os.environ.get("TOLLEVANE_E2E_WORK", build / "e2e")).resolve(),
        source=source,
        archive=Path(os.environ["TOLLEVANE_ARCHIVE"]).resolve() if os.environ.get("TOLLEVANE_ARCHIVE") else None,
    )


# ------------------------------------------------------------------------ sessions

@dataclass
class Result:
    status: int
    stdout: str
    stderr: str


@dataclass
class Window:
    handle: str
    pid: int
    process: str
    class_name: str
    title: str
    visible: bool
    rect: tuple[int, int, int, int]

    @property
    def width(self) -> int:
        return self.rect[2] - self.rect[0]

    @property
    def height(self) -> int:
        return self.rect[3] - self.rect[1]


@dataclass
class Control:
    handle: str
    class_name: str
    control_id: int
    visible: bool
    text: str


@dataclass
class ControlState:
    handle: str
    control_id: int
    class_name: str
    enabled: bool
    check: str
    rect: tuple[int, int, int, int]

    @property
    def size(self) -> tuple[int, int]:
        return self.rect[2] - self.rect[0], self.rect[3] - self.rect[1]


def unescape_field(text: str) -> str:
    r"""A field of a helper's output line, in which the helper escaped \, tab, CR and LF."""
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


class WineProcess:
    """A Windows process started in a session; ended by id when the session closes."""

    def __init__(self, popen: subprocess.Popen, name: str, out: Path, err: Path):
        self.popen = popen
        self.name = name
        self._out = out
        self._err = err

    @property
    def pid(self) -> int:
        return self.popen.pid

    def running(self) -> bool:
        return self.popen.poll() is None

    def wait(self, timeout: float = DEFAULT_TIMEOUT) -> int:
        """The Windows exit status; raises TimeoutError (process left running)."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.name} still running after {timeout} s") from None

    def kill(self) -> None:
        end_process(self.popen)

    @property
    def stdout(self) -> str:
        return self._out.read_text(encoding="utf-8", errors="replace")

    @property
    def stdout_bytes(self) -> bytes:
        """What the process wrote, line ends and all."""
        return self._out.read_bytes()

    @property
    def stderr(self) -> str:
        return self._err.read_text(encoding="utf-8", errors="replace")

    @property
    def stderr_bytes(self) -> bytes:
        return self._err.read_bytes()


_open_sessions: list["Session"] = []


@atexit.register
def _close_open_sessions() -> None:
    for session in list(_open_sessions):
        session.close()


class Session:
    """A fresh Wine prefix with its own Xvfb and wineserver.

    version: "2000", "xp", "vista" or "10". lang: the Unix locale instead of Japanese
    ("C.UTF-8" makes an English Windows). desktop: run every process on a
    uniquely named virtual desktop with a taskbar and tray (for screenshots).
    """

    _counter = 0

    def __init__(self, name: str, version: str = "10", desktop: bool = False, lang: Optional[str] = None):
        if version not in KNOWN_VERSIONS:
            raise ValueError(f"unknown Windows version {version!r}")
        if version not in VERSIONS:
            raise unittest.SkipTest(f"Windows {version} has no {ARCH} edition")
        self.config = paths()
        self.name = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        self.version = version
        self.desktop = desktop
        self.desktop_name: Optional[str] = None
        self._processes: list[WineProcess] = []
        self._xvfb: Optional[Xvfb] = None
        self._server: Optional[WineServer] = None
        self.timings: dict[str, float] = {}
        Session._counter += 1
        # The random part keeps a new process from meeting the prefix of an
        # earlier, killed one that had the same process id.
        self.unique = f"{self.name}-{os.getpid()}-{Session._counter}-{uuid.uuid4().hex[:6]}"
        prefixes = self.config.work / "prefixes"
        self.prefix = prefixes / self.unique
        self.artifacts = self.config.work / "artifacts" / self.name
        self._closed = False
        self._opened = time.monotonic()

        _open_sessions.append(self)
        try:
            sweep_stale_prefixes(prefixes)
            shutil.rmtree(self.artifacts, ignore_errors=True)
            self.artifacts.mkdir(parents=True)
            self.logs = self.artifacts / "logs"
            self.logs.mkdir()

            started = time.monotonic()
            with template(self.config.work) as template_folder:
                self.timings["template"] = time.monotonic() - started
                started = time.monotonic()
                self.prefix.mkdir(parents=True)
                (self.prefix / "owner.pid").write_text(str(os.getpid()))
                clone_prefix(template_folder, version, self.prefix)
            self._read_user_folders()
            self.program = self._install_program()
            self.timings["prefix"] = time.monotonic() - started

            started = time.monotonic()
            self._xvfb = Xvfb(self.logs / "xvfb.log")
            self.env = wine_environment(self.prefix, self._xvfb.display)
            if lang:  # the Unix locale Wine takes the user's UI language from
                self.env["LANG"] = lang
            self._server = WineServer(self.prefix, self.env, self.logs / "wineserver.log")
            if desktop:
                self.desktop_name = "tollevane-" + self.unique
                explorer = r"HKCU\Software\Wine\Explorer"
                self.reg_add(explorer, "Desktop", "REG_SZ", self.desktop_name)
                self.reg_add(explorer + r"\Desktops", self.desktop_name, "REG_SZ", SCREEN)
                # The taskbar with its notification area.
                self.reg_add(explorer + r"\Desktops" + "\\" + self.desktop_name, "EnableShell", "REG_DWORD", "1")
            self.timings["start"] = time.monotonic() - started
        except BaseException:
            self.close()
            raise

    # -- lifetime

    def __enter__(self) -> "Session":
        return self

    def __exit__(self, kind, value, trace) -> None:
        if kind is not None:
            self.keep_evidence()
        self.close()

    def close(self) -> None:
        if self._closed:
            return
        self._closed = True
        try:
            for process in self._processes:
                process.kill()
            if self._server:
                self._server.stop()
            kill_prefix_processes(self.prefix)  # none, unless the server failed to end them
            if self._xvfb:
                self._xvfb.stop()
        finally:
            if os.environ.get("TOLLEVANE_E2E_KEEP") != "1":
                shutil.rmtree(self.prefix, ignore_errors=True)
            if self in _open_sessions:
                _open_sessions.remove(self)
            self.timings["total"] = time.monotonic() - self._opened
            print("session " + ", ".join(f"{k} {v:.2f} s" for k, v in self.timings.items()), flush=True)

    def keep_evidence(self) -> None:
        """Screenshot and window list next to the logs, for a failed test."""
        try:
            self.screenshot(self.artifacts / "failure.png")
            (self.artifacts / "windows.txt").write_text(
                "\n".join(str(w) for w in self.windows()), encoding="utf-8")
        except Exception as error:  # evidence is best effort; the failure itself matters
            (self.artifacts / "evidence-error.txt").write_text(repr(error))

    # -- prefix layout

    def _read_user_folders(self) -> None:
        users = self.prefix / "drive_c" / "users"
        profiles = [p for p in users.iterdir() if p.is_dir() and p.name != "Public"]
        if len(profiles) != 1:
            raise HarnessError(f"expected one user profile in {users}, found {profiles}")
        self.user_profile = "C:\\users\\" + profiles[0].name
        key = r"Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
        self._shell_folders = read_registry_strings(self.prefix / "user.reg", key)

    def shell_folder(self, name: str) -> PureWindowsPath:
        """A folder of the user as Windows sees it ("AppData", "StartUp", ...)."""
        value = self._shell_folders[name.lower()]
        return PureWindowsPath(re.sub("%USERPROFILE%", lambda _: self.user_profile, value, flags=re.I))

    def set_shell_folder(self, name: str, windows_path: str) -> None:
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer"
        self.reg_add(key + r"\User Shell Folders", name, "REG_EXPAND_SZ", windows_path)
        self.reg_add(key + r"\Shell Folders", name, "REG_SZ", windows_path)
        self._shell_folders[name.lower()] = windows_path

    def unix_path(self, windows_path) -> Path:
        path = PureWindowsPath(windows_path)
        drive = path.drive.lower()
        if drive == "c:":
            base = self.prefix / "drive_c"
        elif drive == "z:":
            base = Path("/")
        else:
            raise HarnessError(f"no drive mapping for {windows_path}")
        return base.joinpath(*path.parts[1:])

    @property
    def appdata(self) -> Path:
        return self.unix_path(self.shell_folder("AppData"))

    @property
    def settings_dir(self) -> Path:
        return self.appdata / "Tollevane"

    @property
    def settings_file(self) -> Path:
        return self.settings_dir / "Tollevane.ini"

    @property
    def startup_dir(self) -> Path:
        return self.unix_path(self.shell_folder("StartUp"))

    @property
    def shortcut(self) -> Path:
        return self.startup_dir / "Tollevane.LNK"

    def _install_program(self) -> PureWindowsPath:
        exe = self.config.exe
        if not exe.exists():
            raise HarnessError(f"{exe} is not built")
        windows_path = PureWindowsPath(PROGRAM_DIR) / "Tollevane.exe"
        target = self.unix_path(windows_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(exe, target)
        return windows_path

    def install_archive(self, archive: Path, folder: str) -> list[str]:
        """Unpacks a release archive into a folder of the prefix, as a user would, and
        makes its Tollevane.exe the program that start_tollevane() and run_tollevane()
        run; the build's own copy is removed so that nothing runs it by mistake.
        Returns the entry names in archive order."""
        target = self.unix_path(folder)
        target.mkdir(parents=True, exist_ok=True)
        with zipfile.ZipFile(archive) as unpacked:
            names = unpacked.namelist()
            unpacked.extractall(target)
        self.unix_path(self.program).unlink()
        self.program = PureWindowsPath(folder) / "Tollevane.exe"
        return names

    def write_settings(self, text: str) -> Path:
        """Writes the settings file (UTF-16LE with a byte-order mark, CRLF), as the
        program itself creates it."""
        self.settings_dir.mkdir(parents=True, exist_ok=True)
        body = "\r\n".join(text.strip("\n").splitlines()) + "\r\n"
        self.settings_file.write_bytes(b"\xff\xfe" + body.encode("utf-16-le"))
        return self.settings_file

    def read_settings(self) -> dict[str, dict[str, str]]:
        return read_ini(self.settings_file)

    def restart_wine(self) -> None:
        """Ends every process of the prefix and starts its wineserver anew: Wine's
        services read some settings (the drives' types, say) only when they start."""
        for process in self._processes:
            process.kill()
        if self._server:
            self._server.stop()
        self._server = WineServer(self.prefix, self.env, self.logs / "wineserver.log")

    # -- registry

    def map_drives(self, letters: str, kind: str = "floppy") -> dict[str, Path]:
        """Drives of the prefix on host folders of the session, with Wine's drive
        type (floppy: removable, hd: fixed); gives each letter's folder. Restarts Wine,
        whose mount manager reads the types when it starts."""
        folders = {}
        for letter in letters.lower():
            folder = self.artifacts / f"drive_{letter}"
            folder.mkdir(exist_ok=True)
            link = self.prefix / "dosdevices" / f"{letter}:"
            link.unlink(missing_ok=True)
            os.symlink(folder, link)
            self.reg_add(r"HKLM\Software\Wine\Drives", f"{letter}:", "REG_SZ", kind)
            folders[letter.upper()] = folder
        self.restart_wine()
        return folders

    def reg_add(self, key: str, name: str, kind: str, data: str) -> None:
        self.run("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f", check=True)

    # -- processes

    def start(self, program, *args: str, env: Optional[dict] = None) -> WineProcess:
        """Starts a Windows program (a path in the prefix, a Unix path, or a name
        Wine finds such as "reg") in the background."""
        Session._counter += 1
        stem = f"{Path(str(program)).stem or 'wine'}-{Session._counter}"
        out, err = self.logs / f"{stem}.out", self.logs / f"{stem}.err"
        with open(out, "wb") as out_file, open(err, "wb") as err_file:
            popen = subprocess.Popen(
                [*wine_command(), str(program), *args], env={**self.env, **(env or {})}, cwd=self.prefix,
                stdin=subprocess.DEVNULL, stdout=out_file, stderr=err_file, preexec_fn=die_with_parent,
            )
        process = WineProcess(popen, stem, out, err)
        self._processes.append(process)
        return process

    def run(self, program, *args: str, timeout: float = DEFAULT_TIMEOUT, check: bool = False,
            env: Optional[dict] = None) -> Result:
        process = self.start(program, *args, env=env)
        try:
            status = process.wait(timeout)
        except TimeoutError:
            process.kill()
            raise
        result = Result(status, process.stdout, process.stderr)
        if check and status != 0:
            raise HarnessError(f"{program} {' '.join(args)} exited {status}: {result.stderr[-500:]}")
        return result

    def start_tollevane(self, *args: str, env: Optional[dict] = None) -> WineProcess:
        return self.start(self.program, *args, env=env)

    # Wine's own words when it could not lay out a new process's memory: the program never
    # ran (seen in 64-bit prefixes on loaded machines), so it is started once more.
    WINE_START_FAILED = "failed to map the shared user data"

    def run_tollevane(self, *args: str, timeout: float = DEFAULT_TIMEOUT, env: Optional[dict] = None) -> Result:
        result = self.run(self.program, *args, timeout=timeout, env=env)
        if result.status != 0 and self.WINE_START_FAILED in result.stderr:
            print(f"Wine could not start Tollevane.exe {' '.join(args)}; running it again")
            result = self.run(self.program, *args, timeout=timeout, env=env)
        return result

    def helper(self, name: str, *args: str, timeout: float = DEFAULT_TIMEOUT) -> Result:
        """Runs a helper to its end. Every helper that ends with a non-zero status says
        why; one that ends non-zero having said nothing never ran its own code (Wine
        failed to start it: seen a few times in thousands of runs on loaded machines,
        always in 64-bit prefixes), so it is run once more."""
        exe = self.config.helpers / f"{name}.exe"
        if not exe.exists():
            raise HarnessError(f"helper {exe} is not built")
        result = self.run(exe, *args, timeout=timeout)
        if result.status != 0 and not result.stdout and not result.stderr:
            print(f"{name} ended with status {result.status} and said nothing; running it again")
            result = self.run(exe, *args, timeout=timeout)
        return result

    # -- what a user sees and does

    def windows(self) -> list[Window]:
        result = self.helper("listwin")
        windows = []
        for line in result.stdout.splitlines():
            fields = line.split("\t")
            if len(fields) != 7:
                continue
            rect = tuple(int(n) for n in fields[6].split(","))
            windows.append(Window(fields[0], int(fields[1]), unescape_field(fields[2]),
                                  unescape_field(fields[3]), unescape_field(fields[4]),
                                  fields[5] == "1", rect))
        return windows

    def _waitwin(self, args: list[str], timeout: float) -> Result:
        result = self.helper("waitwin", *args, timeout=timeout + 10)
        if result.status not in (0, 1):
            raise HarnessError(f"waitwin {' '.join(args)} exited {result.status}: {result.stderr[-300:]}")
        return result

    def wait_window(self, title: Optional[str] = None, class_name: Optional[str] = None,
                    timeout: float = DEFAULT_TIMEOUT, visible: bool = False) -> str:
        """The handle of a top-level window; raises TimeoutError."""
        result = self._waitwin(_window_args(title, class_name, timeout, visible), timeout)
        if result.status != 0:
            raise TimeoutError(f"no window title={title!r} class={class_name!r} after {timeout} s")
        return result.stdout.strip()

    def wait_window_gone(self, title: Optional[str] = None, class_name: Optional[str] = None,
                         timeout: float = DEFAULT_TIMEOUT) -> None:
        args = _window_args(title, class_name, timeout, False) + ["--gone"]
        if self._waitwin(args, timeout).status != 0:
            raise TimeoutError(f"window title={title!r} class={class_name!r} still there after {timeout} s")

    def controls(self, handle: str) -> list[Control]:
        """The window itself, then its descendants."""
        result = self.helper("wintext", handle)
        controls = []
        for line in result.stdout.splitlines():
            fields = line.split("\t")
            if len(fields) == 5:
                controls.append(Control(fields[0], unescape_field(fields[1]), int(fields[2]),
                                        fields[3] == "1", unescape_field(fields[4])))
        return controls

    def control_states(self, window: str) -> dict[int, ControlState]:
        """Enabled flag, check state and client rectangle of the window's controls, by id;
        controls without an id of their own (or sharing one) are left out."""
        result = self.helper("ctlstate", window)
        if result.status != 0:
            raise HarnessError(f"ctlstate failed: {result.stderr.strip()}")
        found: dict[int, list[ControlState]] = {}
        for line in result.stdout.splitlines():
            handle, control_id, class_name, enabled, check, rect = line.split("\t")
            state = ControlState(handle, int(control_id), class_name, enabled == "1", check,
                                 tuple(int(n) for n in rect.split(",")))
            found.setdefault(state.control_id, []).append(state)
        return {i: states[0] for i, states in found.items() if i != -1 and len(states) == 1}

    def message_box(self, title: Optional[str] = None, timeout: float = DEFAULT_TIMEOUT) -> tuple[str, str]:
        """Waits for a visible message box; returns its handle and its text."""
        handle = self.wait_window(title=title, class_name="#32770", timeout=timeout, visible=True)
        text = "".join(c.text for c in self.controls(handle)[1:] if c.class_name == "Static")
        return handle, text

    def answer(self, answer: str, title: Optional[str] = None, timeout: float = DEFAULT_TIMEOUT) -> tuple[str, str]:
        """Answers a message box ("ok", "yes", "no", "cancel"); returns its caption and text."""
        args = ["--timeout", str(int(timeout * 1000)), answer]
        if title is not None:
            args = ["--title", title] + args
        result = self.helper("answer", *args, timeout=timeout + 10)
        if result.status != 0:
            raise TimeoutError(f"no message box to answer: {result.stderr.strip()}")
        _, caption, text = result.stdout.rstrip("\n").split("\t")
        return unescape_field(caption), unescape_field(text)

    def click(self, handle: str, control_id: Optional[int] = None, text: Optional[str] = None) -> None:
        args = [handle]
        if control_id is not None:
            args += ["--id", str(control_id)]
        if text is not None:
            args += ["--text", text]
        result = self.helper("click", *args)
        if result.status != 0:
            raise HarnessError(f"click {args} failed: {result.stderr.strip()}")

    def post_close(self, handle: str) -> None:
        self.helper("postmsg", handle, "close")

    def press(self, *combos: str) -> None:
        result = self.helper("press", *combos)
        if result.status != 0:
            raise HarnessError(f"press {combos} failed: {result.stderr.strip()}")

    def hotkey_taken(self, combo: str) -> bool:
        """Whether another application's RegisterHotKey of that combination fails."""
        result = self.helper("hotkey", combo)
        if result.status not in (0, 1):
            raise HarnessError(f"hotkey probe failed: {result.stderr.strip()}")
        return result.status == 1

    def wait_hotkeys_taken(self, combos: Iterable[str], timeout: float = DEFAULT_TIMEOUT) -> None:
        """Waits until every combination is taken: the program registers them while it starts."""
        for combo in combos:
            wait_until(lambda: self.hotkey_taken(combo), timeout, interval=0.2, what=f"{combo} taken")

    def hold_hotkey(self, combo: str, seconds: float = 60) -> WineProcess:
        """Another application that holds a global hotkey (ended with the session)."""
        process = self.start(self.config.helpers / "hotkey.exe", "--hold", str(int(seconds * 1000)), combo)
        wait_until(lambda: "held" in process.stdout or not process.running(), 15, what="hotkey held")
        if "held" not in process.stdout:
            raise HarnessError(f"could not hold {combo}: {process.stdout.strip()}")
        return process

    def screenshot(self, path: Path) -> Path:
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", str(path)],
                       check=True, timeout=30, capture_output=True)
        return path


def _window_args(title, class_name, timeout, visible) -> list[str]:
    args = ["--timeout", str(int(timeout * 1000))]
    if title is not None:
        args += ["--title", title]
    if class_name is not None:
        args += ["--class", class_name]
    if visible:
        args.append("--visible")
    return args


def wait_until(condition, timeout: float = DEFAULT_TIMEOUT, interval: float = 0.1, what: str = "condition"):
    """Polls condition() until it returns something true; raises TimeoutError."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"{what} not met after {timeout} s")
        time.sleep(interval)


def windows_path(host_path: Path) -> str:
    """How a program under Wine names a host file (drive Z: is the root), e.g. for
    TOLLEVANE_DEVICE_TREE."""
    return "Z:" + str(Path(host_path).resolve()).replace("/", "\\")


def tree(root: Path) -> list[str]:
    """Relative paths below root, for assertions on what a run left on disk."""
    return sorted(str(p.relative_to(root)) for p in root.rglob("*"))


# ------------------------------------------------------------------- test cases

# Wine's stand-in for the taskbar's notification area when there is no virtual
# desktop: it holds the program's tray icon and is not a window of the program.
WINE_TRAY_CLASS = "__winex11_standalone_tray"


class TestCase(unittest.TestCase):
    """Base of the end-to-end tests: sessions named after the test."""

    def session(self, version: str = "10", desktop: bool = False, lang: Optional[str] = None) -> Session:
        return Session(self.id().rsplit(".", 1)[-1], version, desktop, lang)

    def assertNothingVisible(self, session: Session) -> None:
        """No visible window but Wine's own shell (taskbar, tray)."""
        visible = [w for w in session.windows()
                   if w.visible and w.class_name != WINE_TRAY_CLASS and w.process.lower() != "explorer.exe"]
        self.assertEqual(visible, [], "no window should be visible")

    def assertHotkeysTaken(self, session: Session, combos: Iterable[str], timeout: float = DEFAULT_TIMEOUT) -> None:
        session.wait_hotkeys_taken(combos, timeout)
