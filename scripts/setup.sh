#!/usr/bin/env bash
# Installs whatever the build and the tests need on a Debian machine; quick and
# quiet when everything is present already. Only a package the build needs stops it;
# 32-bit Wine is wanted but optional: without it the 32-bit end-to-end group is skipped.
set -euo pipefail
# apt's and dpkg's messages are read below.
export LC_ALL=C

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

required=(
  cmake make g++ python3 libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686
  wine wine64 xvfb xauth imagemagick fonts-ipafont-gothic locales procps fp-compiler fp-units-fcl p7zip-full
  clang libclang-rt-14-dev clang-format python3-jsonschema python3-yaml
)

say() { echo "setup: $*"; }

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# apt's own reason, in one line: its first error, else its last words.
apt_reason() {
  local reason
  reason=$(grep -m1 '^E: ' <<<"$1" | sed 's/^E: //') || true
  [ -n "$reason" ] || reason=$(grep -v '^\s*$' <<<"$1" | tail -1)
  echo "$reason"
}

# Prints apt's messages and fails when the packages could not be installed.
apt_install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" 2>&1 >/dev/null
}

index_fresh=false
update_index() {
  $index_fresh && return 0
  index_fresh=true
  local out
  # A mirror caught mid-sync fails one index and leaves the others usable.
  if ! out=$($SUDO apt-get update -qq 2>&1); then
    say "the package index did not update entirely ($(apt_reason "$out")); going on with what it has"
  fi
}

install_required() {
  local missing=() p out failed=0
  for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -gt 0 ] || return 0
  say "installing ${missing[*]}"
  update_index
  apt_install "${missing[@]}" >/dev/null && return 0
  # Name each package that cannot be had, with apt's words for it.
  for p in "${missing[@]}"; do
    installed "$p" && continue
    if ! out=$(apt_install "$p"); then
      say "cannot install $p, which the build needs: $(apt_reason "$out")"
      failed=1
    fi
  done
  [ $failed -eq 0 ] || exit 1
}

# apt preferences that keep both halves of every Multi-Arch: same library at one
# version: a suite whose i386 index is missing (a mirror mid-sync) would otherwise
# offer amd64 halves that no i386 half can match. Empty when every suite has both.
aligned_preferences() {
  apt-get indextargets --format '$(CODENAME) $(ARCHITECTURE)' 'Created-By: Packages' 2>/dev/null |
    awk 'NF == 2 { all[$1] = 1; if ($2 == "i386") whole[$1] = 1 }
         END { for (s in all) if (!(s in whole)) lacking = 1
               if (lacking) for (s in whole) printf "Package: *\nPin: release n=%s\nPin-Priority: 1001\n\n", s }'
}

install_wine32() {
  installed wine32:i386 && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    index_fresh=false
  fi
  update_index
  say "installing wine32:i386"
  local out prefs
  out=$(apt_install wine32:i386) && return 0
  prefs=$(mktemp)
  aligned_preferences >"$prefs"
  if [ -s "$prefs" ] && out=$(apt_install --no-remove --allow-downgrades \
                                -o Dir::Etc::Preferences="$prefs" wine32:i386); then
    rm -f "$prefs"
    say "installed wine32:i386 from the suites whose i386 index is whole"
    return 0
  fi
  rm -f "$prefs"
  say "32-bit Wine cannot be installed ($(apt_reason "$out")): the 32-bit end-to-end tests will be skipped"
}

install_required
install_wine32

# The program's users run a Japanese system; Wine takes its locale from LANG.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  say "generating the ja_JP.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  else
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
