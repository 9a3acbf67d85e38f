#!/usr/bin/env bash
# Builds the two release archives into dist/, with their SHA-256 sums, and the manifests
# that winget (dist/winget/) and Scoop (dist/scoop/) install them from. Each build packs
# its own archive (cmake/Windows.cmake); this gathers them and describes them, offline.
# RELEASE_URL: the address of the folder the archives will be uploaded to; without it the
# manifests point at a placeholder that says so.
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
win32=$(basename "$(cat build/win32/release-archive.txt)")
win64=$(basename "$(cat build/win64/release-archive.txt)")
# The version as the archives' names carry it: Tollevane-VERSION-win64.zip.
version=${win64#Tollevane-}
version=${version%-win64.zip}
python3 scripts/package-manifests.py --version "$version" --release-url "${RELEASE_URL:-}" \
  --output dist "x86=dist/$win32" "x64=dist/$win64"
python3 scripts/check-manifests.py dist
