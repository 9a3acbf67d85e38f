#!/usr/bin/env bash
# Installs the ShellWindows stand-in into a Wine prefix: the DLL into the system
# folder, and its class registered as the in-process server of ShellWindows.
# Idempotent.
#
# Windows reads a class from HKCU\Software\Classes before HKLM, so the per-user
# entry is written as a program would. Wine's COM reads HKLM\Software\Classes
# only (its HKCR is no merged view), where Wine registers its own in-process
# server of the class; that one value, and its threading model, are pointed at
# the stand-in too. Nothing else of the prefix changes.
#   install.sh PREFIX ARCH STAND_IN_DIR SYSTEM_FOLDER   (WINEPREFIX is exported)
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 PREFIX ARCH STAND_IN_DIR SYSTEM_FOLDER" >&2
  exit 2
fi
stand_ins=$3
system_folder=$4
dll=shellwindows_stand_in.dll

if [ ! -f "$stand_ins/$dll" ]; then
  echo "$0: $stand_ins/$dll is missing; build the $2 preset first" >&2
  exit 1
fi
install -m 0644 "$stand_ins/$dll" "$system_folder/$dll"

server='Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32'
for root in HKCU HKLM; do
  "$WINE" reg add "$root\\$server" /ve /t REG_SZ /d "C:\\windows\\system32\\$dll" /f >/dev/null
  "$WINE" reg add "$root\\$server" /v ThreadingModel /t REG_SZ /d Both /f >/dev/null
done
