"""What every tool imports first: the end-to-end layer (tests/e2e: the harness, the
driver, the simulated devices) on the import path, and the build it runs. That is
the 32-bit build, the primary one, unless TOLLEVANE_E2E_ARCH names another or the
host cannot run 32-bit Wine (it cannot execute 32-bit programs, or 32-bit Wine could
not be installed); the end-to-end layer reads the choice when it is first imported,
so it is made here, before any other module of it is."""

from __future__ import annotations

import argparse
import os
import sys
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[1]

# The status CTest counts as skipped, as the end-to-end tests give it.
SKIPPED = 77

sys.path.insert(0, str(SOURCE / "tests" / "e2e"))

import wine_host  # noqa: E402

# wine_host took its architecture from the environment, 32-bit when none is named.
if not os.environ.get("TOLLEVANE_E2E_ARCH") and wine_host.host_runs_arch("win32"):
    os.environ["TOLLEVANE_E2E_ARCH"] = wine_host.ARCH = "win64"
else:
    os.environ.setdefault("TOLLEVANE_E2E_ARCH", wine_host.ARCH)


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
