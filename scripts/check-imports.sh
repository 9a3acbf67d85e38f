#!/usr/bin/env bash
# Fails when the program imports a DLL outside the system set it may use, or a
# function that Windows 2000 or XP lacks (Wine has them all, so running it would
# not tell).
#   check-imports.sh [--companion] PROGRAM
# --companion: the console companion, which imports kernel32 alone and must be a console
# program (cmd and PowerShell wait only for those).
set -euo pipefail
# objdump's headings, read below, are translated in other locales.
export LC_ALL=C
companion=0
if [ "${1:-}" = --companion ]; then
  companion=1
  shift
fi
exe=$1
objdump=${OBJDUMP:-objdump}
imports=$("$objdump" -p "$exe")

# setupapi and cfgmgr32 are no known DLLs on older Windows: imported, a copy planted
# beside the program would load first, so the program loads setupapi by full path.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|SHLWAPI|OLE32|OLEAUT32|COMCTL32|MSVCRT|ADVAPI32|RPCRT4|IMAGEHLP|DBGHELP)\.DLL$'
status=0
if [ $companion -eq 1 ]; then
  allowed='^KERNEL32\.DLL$'
  if ! grep -Eq '^Subsystem\s+0*3\s' <<<"$imports"; then
    echo "not a console program: $(grep -E '^Subsystem' <<<"$imports")"
    status=1
  fi
fi
while read -r dll; do
  if ! grep -Eqi "$allowed" <<<"$dll"; then
    echo "unexpected DLL import: $dll"
    status=1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$imports")

for fn in GetTickCount64 InitializeCriticalSectionEx InitOnceExecuteOnce InitializeSRWLock \
          AcquireSRWLockExclusive GetFileInformationByHandleEx CreateSymbolicLinkW \
          GetFinalPathNameByHandleW SetThreadStackGuarantee CompareStringEx GetLocaleInfoEx \
          InitializeConditionVariable GetVolumePathNamesForVolumeNameW; do
  if grep -Eq "^\s+[0-9a-f]+\s+[0-9]+\s+$fn\$" <<<"$imports" ||
     grep -Eq "\s$fn\$" <<<"$imports"; then
    echo "imports $fn, which older Windows lacks"
    status=1
  fi
done
# Killing a thread can leave the heap or the loader locked for good.
if grep -Eq "\sTerminateThread$" <<<"$imports"; then
  echo "imports TerminateThread"
  status=1
fi
[ $status -eq 0 ] && echo "imports ok: $(sed -n 's/^\s*DLL Name: //p' <<<"$imports" | tr '\n' ' ')"
exit $status
