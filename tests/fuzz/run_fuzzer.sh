#!/usr/bin/env bash
# Runs one fuzz target: run_fuzzer.sh [--fresh] FUZZER SEEDS CORPUS SECONDS
#
# New inputs go to CORPUS, crashing ones to CORPUS-artifacts/. With --fresh (ctest) CORPUS
# starts as a copy of SEEDS each time; without it CORPUS grows from run to run and SEEDS
# is only read. SECONDS 0 runs until stopped. Exits non-zero on any crash, leak, time-out
# or sanitizer report.
set -euo pipefail

fresh=false
if [ "${1:-}" = "--fresh" ]; then fresh=true; shift; fi
if [ $# -ne 4 ]; then
  echo "usage: $0 [--fresh] FUZZER SEEDS CORPUS SECONDS" >&2
  exit 2
fi
fuzzer=$1 seeds=$2 corpus=$3 seconds=$4

dirs=("$corpus")
if $fresh; then
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp -R "$seeds/." "$corpus/"
else
  mkdir -p "$corpus"
  dirs+=("$seeds")
fi
mkdir -p "$corpus-artifacts"

limit=()
if [ "$seconds" -gt 0 ]; then limit=(-max_total_time="$seconds"); fi

exec "$fuzzer" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$corpus-artifacts/" "${dirs[@]}"
