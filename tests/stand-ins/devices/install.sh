#!/usr/bin/env bash
# The device stand-in's part of scripts/install-stand-ins.sh:
#   install.sh PREFIX ARCH STAND_IN_DIR SYSTEM_FOLDER   (WINEPREFIX and WINE exported)
# Tollevane.exe loads setupapi.dll from the system folder by its full path; there it
# finds the stand-in, which a DLL override for Tollevane.exe alone makes Wine load
# instead of its builtin one. Every other process of the prefix keeps Wine's own. The
# stand-in hands what it does not answer itself to Wine's setupapi, installed beside
# it as setupapi_system.dll.
set -euo pipefail
prefix=$1 arch=$2 stand_ins=$3 system_folder=$4

case "$arch" in
  win32) wine_dlls=i386-windows ;;
  win64) wine_dlls=x86_64-windows ;;
esac
system_setupapi=$(ls /usr/lib/*/wine/"$wine_dlls"/setupapi.dll 2>/dev/null | head -1)
if [ -z "$system_setupapi" ]; then
  echo "$0: Wine's own $wine_dlls setupapi.dll is not installed" >&2
  exit 1
fi

install -m 644 "$stand_ins/setupapi.dll" "$system_folder/setupapi.dll"
install -m 644 "$system_setupapi" "$system_folder/setupapi_system.dll"
# devquery.exe, a test helper, asks the stand-in what the program would.
for program in Tollevane.exe devquery.exe; do
  "$WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\DllOverrides" \
    /v setupapi /t REG_SZ /d native /f >/dev/null
done
