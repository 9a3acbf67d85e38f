#!/usr/bin/env bash
# Runs the fuzz targets for as long as one likes: scripts/fuzz.sh [TARGET] [SECONDS]
#
# TARGET is settings_round_trip, device_tree_walks or letters_and_hotkeys; without it
# (or "all") every target runs, one after the other, or side by side when SECONDS is 0.
# SECONDS 0 or absent runs until stopped (Ctrl-C). New inputs go to
# build/fuzz/corpus-TARGET and grow from run to run; crashing inputs to
# build/fuzz/corpus-TARGET-artifacts/. The seeds in tests/fuzz/corpus/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(settings_round_trip device_tree_walks letters_and_hotkeys)
target=${1:-all}
seconds=${2:-0}
if [ "$target" != all ]; then
  target=${target%_fuzz}
  if [[ ! " ${targets[*]} " == *" $target "* ]]; then
    echo "fuzz.sh: no target \"$target\"; one of: ${targets[*]}" >&2
    exit 2
  fi
  targets=("$target")
fi
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "fuzz.sh: SECONDS must be a whole number (0: until stopped)" >&2
  exit 2
fi

scripts/build.sh fuzz

fuzz_args() {
  args=("build/fuzz/tests/fuzz/$1_fuzz" "tests/fuzz/corpus/$1" "build/fuzz/corpus-$1" "$seconds")
}

if [ "$seconds" -gt 0 ] || [ ${#targets[@]} -eq 1 ]; then
  for t in "${targets[@]}"; do
    fuzz_args "$t"
    tests/fuzz/run_fuzzer.sh "${args[@]}"
  done
  exit 0
fi

# Unbounded runs of several targets share the machine; each logs to its own file. A
# background job ignores Ctrl-C, so the fuzzers are told to stop here.
pids=()
stop() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap stop INT TERM
for t in "${targets[@]}"; do
  fuzz_args "$t"
  (exec tests/fuzz/run_fuzzer.sh "${args[@]}") >"build/fuzz/fuzz-$t.log" 2>&1 &
  pids+=($!)
  echo "fuzz.sh: $t running (log build/fuzz/fuzz-$t.log)"
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
