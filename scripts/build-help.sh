#!/usr/bin/env bash
# Compiles help/ into a .chm: build-help.sh SOURCE_DIR WORK_DIR OUTPUT.chm [SHARED_DIR]
# The English pages (help/en) take the style sheet of the Japanese ones as SHARED_DIR.
#
# The compiler is scripts/chm-compile.pas, built here with Free Pascal against the same
# chm units as chmcmd: it stores the topic aliases relative to the project, so the pages
# are stored once and no build folder ends up in the file. Its two compile-time stamps
# are then cleared, so that every build of the same pages gives the same bytes.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
source_dir=$1
work_dir=$(realpath -m "$2")
output=$3

rm -rf "$work_dir"
mkdir -p "$work_dir/compiler"
shared_dir=${4:-}
if [ -n "$shared_dir" ]; then
  find "$shared_dir" -maxdepth 1 -type f -exec cp {} "$work_dir"/ \;
fi
find "$source_dir" -maxdepth 1 -type f -exec cp {} "$work_dir"/ \;

fpc -v0 -O2 -FU"$work_dir/compiler" -o"$work_dir/compiler/chm-compile" \
    "$scripts/chm-compile.pas" > "$work_dir/compiler/fpc.log" ||
  { cat "$work_dir/compiler/fpc.log" >&2; exit 1; }

cd "$work_dir"
"$work_dir/compiler/chm-compile" Tollevane.hhp Tollevane.chm
python3 "$scripts/chm-clear-times.py" Tollevane.chm
cp Tollevane.chm "$output"
