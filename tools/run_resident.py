"""`make run`: starts the built Tollevane.exe resident under Wine, in a prefix
that persists between runs (build/run-prefix), on a virtual desktop with a
taskbar so that the tray icon shows, with the devices of a Windows 10 Japanese
machine (tests/machines/windows10-ja.tree). Stays in the foreground until the
program ends or Ctrl+C; then it ends what it started.
With --smoke (for `make test`) it uses a prefix of its own, checks that the program
is up and ends it.

    run_resident.py [--version 2000|xp|vista|10] [--fresh] [--smoke]
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path, PureWindowsPath

import toolbox
import harness
import prefixes
import wine_host
from texts import PROGRAM


def say(text: str) -> None:
    print(f"run: {text}", flush=True)


def prepare_prefix(prefix: Path, version: str, fresh: bool, work: Path) -> None:
    with prefixes.template(work) as template:
        key = (template / "key").read_text() + f"version {version}\n"
        stamp = prefix / "run-prefix.key"
        if fresh or not stamp.exists() or stamp.read_text() != key:
            if prefix.exists():
                say(f"re-creating {prefix} (settings made in earlier runs are dropped)")
                shutil.rmtree(prefix)
            prefix.mkdir(parents=True)
            prefixes.clone_prefix(template, version, prefix)
            stamp.write_text(key)


def program_running(prefix: Path) -> bool:
    for pid in wine_host.prefix_processes(prefix):
        try:
            # The program's own path, not explorer's command line that names it.
            if Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"\\tollevane.exe"):
                return True
        except OSError:
            continue
    return False


def wait_for_program(prefix: Path, present: bool, timeout: float = float("inf"), tick=None) -> bool:
    deadline = time.monotonic() + timeout
    while program_running(prefix) != present:
        if time.monotonic() > deadline:
            return False
        if tick:
            tick()
        time.sleep(0.5)
    return True


class EjectPrinter:
    """Prints each eject request of the device stand-in's log as it lands."""

    RESULTS = {0: "ejected", 0x13: "failed (CR_FAILURE)", 0x17: "vetoed (CR_REMOVE_VETOED)",
               0x0D: "no such device (CR_NO_SUCH_DEVNODE)"}

    def __init__(self, log: Path):
        self.log = log
        self.done = 0

    def print_new(self) -> None:
        if not self.log.exists():
            return
        lines = self.log.read_bytes().split(b"\n")[:-1]  # the last line may be half written
        for raw in lines[self.done:]:
            line, result, name = raw.decode("utf-8", errors="replace").split("\t", 2)
            outcome = self.RESULTS.get(int(result), f"result {result}")
            say(f"eject request: {name} (tree line {line}): {outcome}")
        self.done = len(lines)


def install_program(prefix: Path, config: harness.Paths) -> PureWindowsPath:
    """The program file lives in the prefix, as installed; the Startup shortcut it
    creates points there."""
    program_dir = prefix / "drive_c" / "Program Files" / "Tollevane"
    program_dir.mkdir(parents=True, exist_ok=True)
    for sibling in config.exe.parent.glob("Tollevane.*"):
        if sibling.suffix.lower() in (".exe", ".chm"):
            shutil.copy2(sibling, program_dir / sibling.name)
    return PureWindowsPath(harness.PROGRAM_DIR) / "Tollevane.exe"


def plug_in_demo_devices(prefix: Path, config: harness.Paths, env: dict) -> Path | None:
    """Points the device stand-in at a copy of the demo machine's tree; gives the eject log."""
    demo_tree = config.source / "tests" / "machines" / "windows10-ja.tree"
    if not demo_tree.exists():
        return None
    # A copy per run: the device stand-in records ejections beside its tree,
    # and every run starts with every demo device plugged in.
    tree_copy = prefix / "demo-devices.tree"
    shutil.copyfile(demo_tree, tree_copy)
    (prefix / "demo-devices.tree.gone").unlink(missing_ok=True)
    eject_log = prefix / "demo-ejects.log"
    eject_log.unlink(missing_ok=True)
    env["TOLLEVANE_DEVICE_TREE"] = harness.windows_path(tree_copy)
    env["TOLLEVANE_EJECT_LOG"] = harness.windows_path(eject_log)
    say(f"demo devices from {demo_tree}, answered by the device stand-in")
    return eject_log


def start_on_desktop(env: dict, program: PureWindowsPath, cwd: Path, log: Path) -> subprocess.Popen:
    # A new desktop name for every run; made the prefix's default desktop too,
    # so that helpers started with plain `wine` see the program's windows.
    desktop = f"Tollevane-{int(time.time())}"
    explorer = r"HKCU\Software\Wine\Explorer"
    for key, name, value in ((explorer, "Desktop", desktop),
                             (explorer + r"\Desktops", desktop, wine_host.SCREEN)):
        wine_host.run_wine(env, "reg", "add", key, "/v", name, "/d", value, "/f")
    with open(log, "ab") as output:
        return subprocess.Popen(
            [*wine_host.wine_command(), "explorer", f"/desktop={desktop},{wine_host.SCREEN}", str(program)],
            env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
            preexec_fn=wine_host.die_with_parent)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--version", choices=sorted(prefixes.VERSIONS), default="10")
    parser.add_argument("--fresh", action="store_true", help="start from a new prefix")
    parser.add_argument("--smoke", action="store_true",
                        help="in a prefix of its own: start the program, check that it is up, end it")
    args = parser.parse_args()
    toolbox.exit_unless_host_runs_wine()

    config = harness.paths()
    if not config.exe.exists():
        say(f"{config.exe} is not built; `make run` builds it first")
        return 1
    if args.smoke:
        # Beside the tests' prefixes, so that one left by a killed run is swept with theirs.
        prefix = config.work / "prefixes" / f"run-smoke-{os.getpid()}"
        prepare_prefix(prefix, args.version, True, config.work)
        (prefix / "owner.pid").write_text(str(os.getpid()))
    else:
        prefix = config.source / "build" / ("run-prefix" if wine_host.ARCH == "win32" else "run-prefix-win64")
        prepare_prefix(prefix, args.version, args.fresh, config.work)
    program = install_program(prefix, config)

    logs = config.work / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    xvfb = None
    server = None
    program_process = None
    # Ctrl+C or a terminal hang-up ends the loop below, and the finally block
    # ends everything that was started.
    signal.signal(signal.SIGINT, signal.default_int_handler)  # even when started in the background
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    signal.signal(signal.SIGHUP, lambda *_: sys.exit(129))
    try:
        display = None if args.smoke else os.environ.get("DISPLAY")
        if display:
            say(f"using your display {display}")
        else:
            xvfb = wine_host.Xvfb(logs / "run-xvfb.log")
            display = xvfb.display
            say(f"started a virtual display {display} (Xvfb); "
                f"look at it with: import -display {display} -window root shot.png")
        env = wine_host.wine_environment(prefix, display)
        eject_log = plug_in_demo_devices(prefix, config, env)
        server = wine_host.WineServer(prefix, env, logs / "run-wineserver.log")
        program_process = start_on_desktop(env, program, prefix / "drive_c" / "Program Files" / "Tollevane",
                                           logs / "run-program.log")
        # The desktop's explorer outlives the program; watch the program itself.
        if not wait_for_program(prefix, present=True, timeout=60):
            say("the program did not start; see " + str(logs / "run-program.log"))
            return 1
        say(f"Tollevane.exe ({wine_host.ARCH}) is running resident in {prefix} ({args.version})")
        if args.smoke:
            wine_host.run_wine(env, str(config.helpers / "waitwin.exe"), "--title", PROGRAM, "--class", PROGRAM,
                               "--timeout", "20000")
            say("its main window is there; ending it")
            return 0
        wine = " ".join(wine_host.wine_command())
        say(f"helpers: WINEPREFIX={prefix} DISPLAY={display} {wine} {config.helpers}/listwin.exe")
        say("stop it with Ctrl+C here, or with the tray menu's exit command")
        printer = EjectPrinter(eject_log) if eject_log else None
        wait_for_program(prefix, present=False, tick=printer.print_new if printer else None)
        if printer:
            printer.print_new()
        say("the program has ended")
        return 0
    except KeyboardInterrupt:
        say("stopping")
        return 0
    finally:
        if program_process is not None:
            wine_host.end_process(program_process)
        if server is not None:
            server.stop()
        wine_host.kill_prefix_processes(prefix)
        if xvfb is not None:
            xvfb.stop()
        if args.smoke:
            shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
