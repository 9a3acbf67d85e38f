"""What every tool imports first: the end-to-end layer (tests/e2e: the harness, the
driver, the simulated devices) on the import path, and the build it runs. That is
the 32-bit build, the primary one, unless TOLLEVANE_E2E_ARCH names another or the
host cannot execute 32-bit programs (and so 32-bit Wine); the harness reads the
choice when it is first imported, so it is made here, before."""

from __future__ import annotations

import argparse
import os
import subprocess
import sys
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[1]

# The status CTest counts as skipped, as the end-to-end tests give it.
SKIPPED = 77


def _choose_architecture() -> None:
    if os.environ.get("TOLLEVANE_E2E_ARCH"):
        return
    try:
        subprocess.run(["/usr/lib/wine/wine", "--version"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=30)
        os.environ["TOLLEVANE_E2E_ARCH"] = "win32"
    except OSError:
        os.environ["TOLLEVANE_E2E_ARCH"] = "win64"


_choose_architecture()
sys.path.insert(0, str(SOURCE / "tests" / "e2e"))

import wine_host  # noqa: E402


def exit_unless_host_runs_wine() -> None:
    """Ends the tool as skipped on a host that cannot run Wine for the build."""
    unable = wine_host.host_runs_arch()
    if unable:
        print(f"skipped: {unable}; the {wine_host.ARCH} build cannot run on this host", flush=True)
        sys.exit(SKIPPED)


def argument_parser(doc: str, version: str) -> argparse.ArgumentParser:
    """A tool's command line, with the Windows version its prefix pretends to be."""
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--version", default=version, choices=["2000", "xp", "vista", "10"])
    return parser


def parse_arguments(parser: argparse.ArgumentParser) -> argparse.Namespace:
    args = parser.parse_args()
    exit_unless_host_runs_wine()
    return args
