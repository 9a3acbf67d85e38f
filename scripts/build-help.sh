#!/usr/bin/env bash
# Compiles help/ into a .chm with chmcmd.
#
# chmcmd stores each topic's context alias as the absolute path of its source file,
# so the help viewer asks for "<work dir>/topic.html" inside the .chm. The pages are
# therefore stored a second time under that path, where the aliases find them.
set -euo pipefail
source_dir=$1
work_dir=$(realpath -m "$2")
output=$3

rm -rf "$work_dir"
mkdir -p "$work_dir"
cp "$source_dir"/* "$work_dir"/
nested="$work_dir${work_dir}"
mkdir -p "$nested"
cp "$source_dir"/*.html "$source_dir"/*.css "$nested"/

cd "$work_dir"
python3 - "$work_dir" <<'PY'
import pathlib, re, sys
work = sys.argv[1].lstrip('/')
project = pathlib.Path('Tollevane.hhp')
text = project.read_text(encoding='utf-8')
pages = re.findall(r'(?m)^([\w.]+\.(?:html|css))\s*$', text.split('[ALIAS]')[0])
extra = ''.join(f'{work}/{page}\n' for page in pages)
project.write_text(text.replace('\n[ALIAS]', extra + '\n[ALIAS]', 1), encoding='utf-8')
PY
chmcmd --no-html-scan Tollevane.hhp > chmcmd.log
cp Tollevane.chm "$output"
