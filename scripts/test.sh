#!/usr/bin/env bash
# Runs every test: the native unit tests, the fuzz targets' short runs, then each
# Windows build's tests (end to end under Wine, and each tool's short run: label tools).
# Ends with one line that counts them all.
set -uo pipefail
# CTest's summary lines are read below.
export LC_ALL=C
cd "$(dirname "$0")/.."

passed=0
failed=0
skipped=0
status=0

run_suite() {
  local preset=$1 log
  log=$(mktemp)
  ctest --preset "$preset" --timeout 300 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line total bad
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    # CTest counts a skipped test as passed; it lists it as "(Skipped)".
    local skips
    skips=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log" || true)
    passed=$((passed + total - bad - skips))
    failed=$((failed + bad))
    skipped=$((skipped + skips))
  elif ! grep -q 'No tests were found' "$log"; then
    failed=$((failed + 1))
  fi
  [ "$rc" -eq 0 ] || status=1
  rm -f "$log"
}

run_suite native
# The same unit tests again, built with clang's address and undefined-behaviour checks.
run_suite sanitize
# Each fuzz target for a short, bounded time on a copy of its seeds (scripts/fuzz.sh for longer).
run_suite fuzz
run_suite win32
run_suite win64

echo "tests: ${passed} passed, ${failed} failed, ${skipped} skipped"
exit $status
