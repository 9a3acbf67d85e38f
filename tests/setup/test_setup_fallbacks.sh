#!/usr/bin/env bash
# scripts/setup.sh on a machine whose mirror is caught mid-sync: apt-get, dpkg and
# friends are replaced on PATH by fakes whose index update fails, whose security suite
# has no i386 list and which can install no i386 package. Set-up must go on without
# 32-bit Wine, try the version-aligned route first, and stop only for a package the
# build needs.
set -uo pipefail
setup=$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup.sh
fakes=$(mktemp -d)
trap 'rm -rf "$fakes"' EXIT

fake() { printf '#!/usr/bin/env bash\n%s\n' "$2" >"$fakes/$1"; chmod +x "$fakes/$1"; }
fake sudo 'exec "$@"'
fake locale 'echo ja_JP.utf8'
fake dpkg '[ "$1" = --print-foreign-architectures ] && echo i386; exit 0'
fake dpkg-query 'for p in $FAKE_MISSING; do [ "$p" = "${!#}" ] && exit 1; done
[[ "${!#}" == *:i386 ]] && exit 1; printf "install ok installed"'
fake apt-get 'echo "$*" >>"$FAKE_LOG"
case "$1" in
  update) echo "E: Failed to fetch http://mirror/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2; exit 100 ;;
  indextargets) printf "bookworm amd64\nbookworm i386\nbookworm-security amd64\n" ;;
  install) for a in "$@"; do case "$a" in
      Dir::Etc::Preferences=*) cat "${a#*=}" >>"$FAKE_LOG" ;;
      *:i386|$FAKE_UNAVAILABLE) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
    esac; done ;;
esac'

failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

run() { FAKE_LOG="$fakes/log" PATH="$fakes:$PATH" bash "$setup" 2>&1; echo "status $?"; }

: >"$fakes/log"
out=$(FAKE_MISSING="" FAKE_UNAVAILABLE="none" run)
echo "$out"
check "set-up ends well without 32-bit Wine" 'grep -qx "status 0" <<<"$out"'
check "the failed index update is told in one line" 'grep -q "did not update entirely (Failed to fetch" <<<"$out"'
check "the 32-bit group is said to be out, with apt's reason" 'grep -q "32-bit Wine cannot be installed (Unable to correct problems.*skipped" <<<"$out"'
check "the aligned route pins the whole suites, not the one without i386" \
  'grep -qx "Pin: release n=bookworm" "$fakes/log" && ! grep -q "n=bookworm-security" "$fakes/log"'

: >"$fakes/log"
out=$(FAKE_MISSING="xvfb cmake" FAKE_UNAVAILABLE="xvfb" run)
echo "$out"
check "a package the build needs stops set-up, named with apt's words" \
  'grep -qx "status 1" <<<"$out" && grep -q "cannot install xvfb, which the build needs: Unable to correct" <<<"$out" && ! grep -q "cannot install cmake" <<<"$out"'

echo "$((5 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
