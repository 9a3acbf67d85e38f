#!/usr/bin/env bash
# Installs the test-only stand-ins (tests/stand-ins/*) into a Wine prefix, for every
# Tollevane.exe started there: each stand-in's own install.sh copies its files into the
# prefix's system folder and writes its registry entries. Idempotent; it changes
# nothing else in the prefix.
#   scripts/install-stand-ins.sh PREFIX [win32|win64]
# The DLLs come from build/<arch>/stand-ins (or $TOLLEVANE_STAND_IN_DIR).
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 PREFIX [win32|win64]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(realpath "$1")
arch=${2:-win32}
case "$arch" in win32|win64) ;; *) echo "$0: unknown architecture '$arch'" >&2; exit 2 ;; esac
stand_ins=${TOLLEVANE_STAND_IN_DIR:-$root/build/$arch/stand-ins}

if [ ! -d "$prefix/drive_c/windows" ]; then
  echo "$0: $prefix is no Wine prefix (no drive_c/windows)" >&2
  exit 1
fi
if [ ! -d "$stand_ins" ]; then
  echo "$0: $stand_ins is missing; build the $arch preset first" >&2
  exit 1
fi

# A 32-bit prefix takes the 32-bit build, a 64-bit one the 64-bit build: either way
# the program's own architecture lives in system32.
system_folder="$prefix/drive_c/windows/system32"
export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all} WINEARCH=$arch
# Debian's wine wrapper always prefers the 32-bit loader once it is installed.
WINE=wine
if [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
fi
export WINE

for installer in "$root"/tests/stand-ins/*/install.sh; do
  [ -e "$installer" ] || continue
  bash "$installer" "$prefix" "$arch" "$stand_ins" "$system_folder"
done
