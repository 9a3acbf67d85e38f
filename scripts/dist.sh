#!/usr/bin/env bash
# Builds the two release archives into dist/, with their SHA-256 sums. Each build packs
# its own archive (cmake/Windows.cmake); this only gathers them.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "dist: warning: uncommitted changes; the archives carry the last commit's time" >&2
fi
scripts/build.sh win32 win64
rm -rf dist
mkdir dist
for preset in win32 win64; do
  archive=$(cat "build/$preset/release-archive.txt")
  cp "$archive" dist/
done
(cd dist && sha256sum -- *.zip > SHA256SUMS)
cat dist/SHA256SUMS
