"""Wine and X plumbing for the end-to-end tests: the environment Wine runs in,
a private Xvfb display, a prefix's own wineserver, and child processes that die
with the test process even when CTest kills it (PR_SET_PDEATHSIG)."""

from __future__ import annotations

import ctypes
import glob
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path
from typing import Optional

SCREEN = "1024x768"

# The architecture of the program under test and of its prefixes: "win32" (the
# 32-bit build in a 32-bit prefix) or "win64" (the 64-bit build in a 64-bit prefix).
ARCH = os.environ.get("TOLLEVANE_E2E_ARCH", "win32")
if ARCH not in ("win32", "win64"):
    raise RuntimeError(f"TOLLEVANE_E2E_ARCH must be win32 or win64, not {ARCH!r}")

# Debian's /usr/bin/wine always prefers the 32-bit loader once it is installed,
# so a 64-bit prefix is started through the 64-bit loader itself.
_LOADER = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
# The loader's other half, without which it starts and then fails to load anything.
_WINE_NTDLL = {"win32": "i386-unix/ntdll.so", "win64": "x86_64-unix/ntdll.so"}


class HarnessError(RuntimeError):
    pass


_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def die_with_parent() -> None:
    # Runs in the child between fork and exec: a test killed by CTest's time-out
    # takes its Xvfb, wineserver and Wine processes with it.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def alive(pid: int) -> bool:
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def prefix_processes(prefix: Path) -> list[int]:
    """Ids of the processes that run in a prefix. Wine's services outlive a
    wineserver that was killed, so they are found by their environment."""
    wanted = b"WINEPREFIX=" + os.fsencode(str(prefix))
    found = []
    for entry in os.scandir("/proc"):
        if not entry.name.isdigit():
            continue
        try:
            with open(f"/proc/{entry.name}/environ", "rb") as environ:
                if wanted in environ.read().split(b"\0"):
                    found.append(int(entry.name))
        except OSError:
            continue  # ended meanwhile, or not ours to read
    return found


def kill_prefix_processes(prefix: Path) -> None:
    for pid in prefix_processes(prefix):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def _wineserver_binary() -> str:
    # Debian's /usr/bin/wineserver wrapper forces -p0; start the real server so
    # that -p (stay until killed) holds.
    if os.environ.get("WINESERVER"):
        return os.environ["WINESERVER"]
    for candidate in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32"):
        if os.access(candidate, os.X_OK):
            return candidate
    found = shutil.which("wineserver")
    if not found:
        raise HarnessError("wineserver not found; run scripts/setup.sh")
    return found


def wine_command() -> list[str]:
    """The command that starts a Windows program in a prefix of ARCH."""
    loader = _LOADER[ARCH]
    if ARCH == "win32" or not os.access(loader, os.X_OK):
        return ["wine"]
    return [loader]


def host_runs_arch(arch: str = "") -> Optional[str]:
    """None when this host can run Wine for ARCH (or arch), else why not. Some hosts
    (and sandboxes) cannot execute 32-bit Linux programs at all, which 32-bit Wine is;
    on others a mirror caught mid-sync kept 32-bit Wine from being installed."""
    arch = arch or ARCH
    loader = _LOADER[arch]
    if not os.access(loader, os.X_OK):
        return f"{loader} is not installed; run scripts/setup.sh"
    if not glob.glob(f"/usr/lib/*/wine/{_WINE_NTDLL[arch]}"):
        return f"Wine's {_WINE_NTDLL[arch]} is not installed (scripts/setup.sh says why)"
    try:
        subprocess.run([loader, "--version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30, check=False)
    except OSError as error:
        return f"this host cannot execute {loader} ({error.strerror})"
    return None


def wine_environment(prefix: Path, display: str) -> dict:
    env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "LC_"))}
    if ARCH == "win64":
        env["WINELOADER"] = wine_command()[0]
    env.update(
        WINEPREFIX=str(prefix),
        WINEARCH=ARCH,
        WINEDEBUG="-all",
        # No Mono/Gecko installer dialogs, and no menu entries written into the
        # host's home for the shortcuts the program creates.
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
        WINESERVER=_wineserver_binary(),
        LANG="ja_JP.UTF-8",
        DISPLAY=display,
    )
    return env


class Xvfb:
    """A private X display; its number is chosen by the server (-displayfd)."""

    def __init__(self, log: Path):
        read_end, write_end = os.pipe()
        with open(log, "ab") as log_file:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", SCREEN + "x24"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log_file, stderr=log_file,
                preexec_fn=die_with_parent,
            )
        os.close(write_end)
        try:
            number = b""
            deadline = time.monotonic() + 15
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                    raise HarnessError("Xvfb did not report a display in time")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise HarnessError("Xvfb ended at start; see " + str(log))
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def stop(self) -> None:
        end_process(self.process, signal.SIGTERM)


def end_process(process: subprocess.Popen, first_signal: int = signal.SIGKILL, grace: float = 5.0) -> None:
    if process.poll() is not None:
        return
    try:
        process.send_signal(first_signal)
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(grace)


class WineServer:
    """The prefix's own wineserver, persistent until stopped, in the foreground so
    that its process id is ours to end."""

    def __init__(self, prefix: Path, env: dict, log: Path):
        self.prefix = prefix
        self.env = env
        with open(log, "ab") as log_file:
            self.process = subprocess.Popen(
                [env["WINESERVER"], "-f", "-p"], env=env, stdin=subprocess.DEVNULL,
                stdout=log_file, stderr=log_file, preexec_fn=die_with_parent,
            )
        try:
            self._wait_ready()
        except BaseException:
            self.stop()
            raise

    def _socket_candidates(self) -> list[Path]:
        info = self.prefix.stat()
        leaf = f"server-{info.st_dev:x}-{info.st_ino:x}"
        candidates = [Path(f"/tmp/.wine-{os.getuid()}") / leaf / "socket"]
        # Debian's server keeps its socket in a folder named in the prefix.
        marker = self.prefix / "wineserver"
        if marker.exists():
            candidates.append(Path("/tmp") / marker.read_text().strip() / leaf / "socket")
        return candidates

    def _wait_ready(self) -> None:
        # A Wine process started before the socket exists would start a second server.
        deadline = time.monotonic() + 15
        while not any(path.exists() for path in self._socket_candidates()):
            if self.process.poll() is not None:
                raise HarnessError(f"wineserver ended at start with status {self.process.returncode}")
            if time.monotonic() > deadline:
                raise HarnessError("wineserver did not open its socket in time")
            time.sleep(0.02)

    def stop(self) -> None:
        """Ends every process of the prefix and the server; the registry is saved."""
        if self.process.poll() is None:
            try:
                subprocess.run([self.env["WINESERVER"], "-k"], env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=15, check=False)
            except subprocess.TimeoutExpired:
                pass  # the server is ended by id below all the same
        end_process(self.process, signal.SIGTERM, grace=10)


def run_wine(env: dict, *args: str, timeout: float = 60) -> None:
    # Output goes to a file, never a pipe: the services that a Wine process
    # starts inherit its handles and would hold a pipe open for good.
    with tempfile.TemporaryFile() as output:
        process = subprocess.Popen([*wine_command(), *args], env=env, stdin=subprocess.DEVNULL, stdout=output,
                                   stderr=subprocess.STDOUT, preexec_fn=die_with_parent)
        try:
            status = process.wait(timeout)
        except subprocess.TimeoutExpired:
            end_process(process)
            raise HarnessError(f"wine {' '.join(args)} still running after {timeout} s") from None
        if status != 0:
            output.seek(0)
            raise HarnessError(f"wine {' '.join(args)} failed ({status}): "
                               f"{output.read().decode(errors='replace')[-500:]}")
