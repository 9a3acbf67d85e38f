#!/usr/bin/env bash
# Lists the sources under a folder whose layout differs from .clang-format, and fails if
# there is any, so that a reformat is asked for before review rather than during it.
#     check-format.sh [SRC]      (default: src/; CLANG_FORMAT names another binary)
set -u
src=${1:-"$(dirname "$0")/../src"}
format=${CLANG_FORMAT:-clang-format}
[ -d "$src" ] || { echo "$src: no such folder" >&2; exit 2; }
command -v "$format" >/dev/null || { echo "$format: not installed (scripts/setup.sh installs it)" >&2; exit 2; }
bad=0
# Resource scripts are not C++: only the .h and .cpp files are held to the layout.
while IFS= read -r -d '' file; do
  if ! "$format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "$file"
    bad=$((bad + 1))
  fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
if [ "$bad" -gt 0 ]; then
  echo "$bad file(s) differ from .clang-format: $format -i --style=file FILE" >&2
  exit 1
fi
echo "format ok"
