#!/usr/bin/env bash
# The event-log stand-in's part of scripts/install-stand-ins.sh:
#   install.sh PREFIX ARCH STAND_IN_DIR SYSTEM_FOLDER   (WINEPREFIX and WINE exported)
# Tollevane.exe loads wevtapi.dll from the system folder by its full path; a DLL override
# for Tollevane.exe alone makes Wine load the stand-in there instead of its builtin one,
# which every other process of the prefix keeps.
set -euo pipefail
stand_ins=$3 system_folder=$4

if [ ! -f "$stand_ins/wevtapi.dll" ]; then
  echo "$0: $stand_ins/wevtapi.dll is missing; build the $2 preset first" >&2
  exit 1
fi
install -m 644 "$stand_ins/wevtapi.dll" "$system_folder/wevtapi.dll"
"$WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\Tollevane.exe\\DllOverrides" \
  /v wevtapi /t REG_SZ /d native /f >/dev/null
