"""Wine prefixes for the end-to-end tests: one template per build tree (built
once, under a lock), per-test clones that share its bulk through hard links,
the sweep of prefixes left by killed tests, and reading a prefix's registry."""

from __future__ import annotations

import contextlib
import fcntl
import hashlib
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path
from typing import Iterator

from wine_host import (ARCH, HarnessError, WineServer, Xvfb, alive, kill_prefix_processes, run_wine, wine_command,
                       wine_environment)

# Bump when the template's contents change, so that old templates are rebuilt.
TEMPLATE_REVISION = "3"

# Windows versions a test can ask for, as winecfg names them. A 64-bit prefix has
# no Windows 2000, and its XP is XP x64 (5.2), the XP that 64-bit users ran.
_ALL_VERSIONS = {
    "win32": {"2000": "win2k", "xp": "winxp", "vista": "vista", "10": "win10"},
    "win64": {"xp": "winxp64", "vista": "vista", "10": "win10"},
}
VERSIONS = _ALL_VERSIONS[ARCH]
KNOWN_VERSIONS = tuple(_ALL_VERSIONS["win32"])
# What each of them then reports; a template whose versions did not take is refused.
_REPORTED_VERSION = {"2000": "5.0", "xp": "5.1" if ARCH == "win32" else "5.2", "vista": "6.0", "10": "10.0"}

# Files that Wine only reads in a ready prefix; shared with the template by hard
# links. Everything else (registry, .ini files, the user folder) is copied, since
# Wine rewrites such files in place and would change the template through a link.
_SHARED_SUFFIXES = {
    ".dll", ".exe", ".nls", ".sys", ".drv", ".vxd", ".ocx", ".cpl", ".acm", ".tlb",
    ".ds", ".ax", ".com", ".msstyles", ".mod", ".icm", ".manifest", ".pnf", ".inf",
}


def _ensure_locale() -> None:
    out = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout
    if not any(line.lower() in ("ja_jp.utf8", "ja_jp.utf-8") for line in out.split()):
        raise HarnessError("the ja_JP.UTF-8 locale is missing; run scripts/setup.sh")


_SOURCE = Path(os.environ.get("TOLLEVANE_SOURCE", Path(__file__).resolve().parent.parent.parent))


def stand_in_dir() -> Path:
    """The test-only stand-ins built beside the program under test."""
    build = _SOURCE / "build" / ARCH
    return Path(os.environ.get("TOLLEVANE_EXE", build / "Tollevane.exe")).resolve().parent / "stand-ins"


def _stand_ins_digest() -> str:
    # A rebuilt stand-in means a new template: clones share its files by hard links.
    digest = hashlib.sha256()
    folder = stand_in_dir()
    if folder.is_dir():
        for file in sorted(folder.iterdir()):
            digest.update(file.name.encode() + b"\0" + file.read_bytes())
    for script in sorted((_SOURCE / "tests" / "stand-ins").glob("*/install.sh")):
        digest.update(script.read_bytes())
    return digest.hexdigest()[:16]


def install_stand_ins(prefix: Path, env: dict) -> None:
    """scripts/install-stand-ins.sh for a prefix whose wineserver runs."""
    if not stand_in_dir().is_dir():
        raise HarnessError(f"{stand_in_dir()} is missing; build the {ARCH} preset first")
    # Once more when it fails: Wine now and then cannot start one of the script's `reg`
    # runs (it dies before saying anything), and the script is idempotent.
    for attempt in (1, 2):
        with tempfile.TemporaryFile() as output:
            status = subprocess.run(
                ["bash", str(_SOURCE / "scripts" / "install-stand-ins.sh"), str(prefix), ARCH],
                env={**env, "TOLLEVANE_STAND_IN_DIR": str(stand_in_dir())},
                stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT, timeout=120).returncode
            if status == 0:
                return
            output.seek(0)
            said = output.read().decode(errors="replace")[-800:]
        if attempt == 2:
            raise HarnessError(f"install-stand-ins.sh failed ({status}): {said}")


def _template_key() -> str:
    wine = subprocess.run([*wine_command(), "--version"], capture_output=True, text=True).stdout.strip()
    inf = Path("/usr/share/wine/wine.inf")
    inf_time = int(inf.stat().st_mtime) if inf.exists() else 0
    # A Wine upgrade rewrites prefixes on their next start, in place: that must
    # never happen through the hard links, so a new Wine means a new template.
    return f"revision {TEMPLATE_REVISION}; {ARCH}; {wine}; wine.inf {inf_time}; stand-ins {_stand_ins_digest()}\n"


def _registry_setup(env: dict) -> None:
    def reg_add(key: str, name: str, kind: str, data: str) -> None:
        run_wine(env, "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")

    # A crashing program must end, not wait for someone to close winedbg's dialog.
    reg_add(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "REG_DWORD", "0")
    # Japanese glyphs: the program's dialogs ask for "MS UI Gothic" and "MS Shell Dlg".
    fonts = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
    reg_add(fonts + r"\FontSubstitutes", "MS UI Gothic", "REG_SZ", "IPAPGothic")
    reg_add(fonts + r"\FontSubstitutes", "MS Shell Dlg", "REG_SZ", "Tahoma")
    reg_add(fonts + r"\FontLink\SystemLink", "Tahoma", "REG_MULTI_SZ", "ipagp.ttf,IPAPGothic")


def _unlink_host_folders(prefix: Path) -> None:
    # wineboot links Desktop, Documents and the like to the host's home; a test
    # must never write there.
    for link in (prefix / "drive_c" / "users").rglob("*"):
        if link.is_symlink():
            link.unlink()
            link.mkdir()


def _build_template(target: Path, log_dir: Path) -> None:
    staging = target.with_name(target.name + ".new")
    shutil.rmtree(staging, ignore_errors=True)
    staging.mkdir(parents=True)
    prefix = staging / "prefix"
    xvfb = Xvfb(log_dir / "template-xvfb.log")
    try:
        env = wine_environment(prefix, xvfb.display)
        prefix.mkdir()
        server = WineServer(prefix, env, log_dir / "template-wineserver.log")
        try:
            run_wine(env, "wineboot", "--init", timeout=180)
            _registry_setup(env)
            install_stand_ins(prefix, env)
        finally:
            server.stop()
        # winecfg's version switch changes only system.reg: keep one per version.
        for version, name in VERSIONS.items():
            server = WineServer(prefix, env, log_dir / "template-wineserver.log")
            try:
                run_wine(env, "winecfg", "-v", name)
            finally:
                server.stop()
            reported = read_registry_strings(prefix / "system.reg", r"Software\Microsoft\Windows NT\CurrentVersion")
            if reported.get("currentversion") != _REPORTED_VERSION[version]:
                raise HarnessError(f"winecfg -v {name} left version {reported.get('currentversion')}")
            (staging / "versions" / version).mkdir(parents=True)
            shutil.copy2(prefix / "system.reg", staging / "versions" / version / "system.reg")
    finally:
        xvfb.stop()
    _unlink_host_folders(prefix)
    (prefix / "wineserver").unlink(missing_ok=True)  # names the server's socket folder
    (staging / "key").write_text(_template_key())
    shutil.rmtree(target, ignore_errors=True)
    staging.rename(target)


def _current(target: Path) -> bool:
    key_file = target / "key"
    return key_file.exists() and key_file.read_text() == _template_key()


@contextlib.contextmanager
def template(work: Path) -> Iterator[Path]:
    """The template folder (prefix/ and versions/<v>/system.reg), built once per
    build tree. Held under a shared lock while in use, so that a rebuild waits
    for the clones being made and parallel first users wait for one build."""
    work.mkdir(parents=True, exist_ok=True)
    target = work / "template"
    with open(work / "template.lock", "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_SH)
        if not _current(target):
            fcntl.flock(lock, fcntl.LOCK_UN)
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not _current(target):
                _ensure_locale()
                logs = work / "logs"
                logs.mkdir(exist_ok=True)
                started = time.monotonic()
                _build_template(target, logs)
                (target / "build-seconds").write_text(f"{time.monotonic() - started:.1f}\n")
            fcntl.flock(lock, fcntl.LOCK_SH)
        yield target


def ensure_template(work: Path) -> Path:
    with template(work) as folder:
        return folder


def clone_prefix(template: Path, version: str, destination: Path) -> None:
    """A prefix that shares the template's read-only bulk by hard links."""
    source = template / "prefix"
    for folder, dirs, files in os.walk(source):
        relative = Path(folder).relative_to(source)
        out = destination / relative
        out.mkdir(parents=True, exist_ok=True)
        private = relative.parts[:2] == ("drive_c", "users")
        for name in dirs + files:
            src = Path(folder) / name
            if src.is_symlink():
                os.symlink(os.readlink(src), out / name)
                if name in dirs:
                    dirs.remove(name)
        for name in files:
            src = Path(folder) / name
            if src.is_symlink():
                continue
            if not private and src.suffix.lower() in _SHARED_SUFFIXES:
                os.link(src, out / name)
            else:
                shutil.copy2(src, out / name)
    shutil.copy2(template / "versions" / version / "system.reg", destination / "system.reg")


def sweep_stale_prefixes(root: Path) -> None:
    """Removes prefixes whose test process died without cleaning up, and ends
    the Wine processes still running in them."""
    if not root.exists():
        return
    for prefix in root.iterdir():
        try:
            pid = int((prefix / "owner.pid").read_text())
        except (OSError, ValueError):
            continue
        if alive(pid):
            continue
        kill_prefix_processes(prefix)
        shutil.rmtree(prefix, ignore_errors=True)


def _reg_unescape(text: str) -> str:
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        nxt = text[i + 1] if i + 1 < len(text) else ""
        if nxt == "x":
            match = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
            out.append(chr(int(match.group(0), 16)))
            i += 2 + len(match.group(0))
            continue
        out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(nxt, nxt))
        i += 2
    return "".join(out)


def read_registry_strings(reg_file: Path, key: str) -> dict[str, str]:
    """String values of one key of a Wine registry file (system.reg, user.reg),
    names lower-cased. Only meaningful while no wineserver holds the prefix."""
    wanted = "[" + key.replace("\\", "\\\\").lower() + "]"
    values: dict[str, str] = {}
    inside = False
    for line in reg_file.read_text(encoding="utf-8", errors="replace").splitlines():
        if line.startswith("["):
            inside = line.split("]")[0].lower() + "]" == wanted
            continue
        if inside:
            match = re.match(r'^"((?:[^"\\]|\\.)*)"=(?:str\(\d\):)?"((?:[^"\\]|\\.)*)"$', line)
            if match:
                values[_reg_unescape(match.group(1)).lower()] = _reg_unescape(match.group(2))
    return values
