#!/usr/bin/env bash
# `make run`: starts build/win32/Tollevane.exe resident under Wine, in the prefix
# build/run-prefix (kept between runs), on $DISPLAY or else on a new virtual
# display, on a Wine desktop with a taskbar so that the tray icon shows. Stays in
# the foreground; Ctrl+C (or the tray menu's exit) ends it and everything it
# started. Builds nothing: the Makefile has built already.
#   scripts/run.sh [--version 2000|xp|vista|10] [--fresh]
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 tools/run_resident.py "$@"
