#!/usr/bin/env bash
# Builds every preset and runs every test: native (plain and sanitized) and
# the Windows builds under wine (64- and 32-bit).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

presets=(${KORVEX_PRESETS:-linux linux-asan mingw-x64 mingw-x86})
status=0
summary=()
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  start=$(date +%s)
  if ! cmake --preset "$preset" >/dev/null; then
    echo "$preset: configure failed"; status=1; summary+=("$preset: configure failed"); continue
  fi
  if ! cmake --build --preset "$preset"; then
    echo "$preset: build failed"; status=1; summary+=("$preset: build failed"); continue
  fi
  ctest --preset "$preset" 2>&1 | tee "build/$preset/ctest.log"
  rc=${PIPESTATUS[0]}
  [ "$rc" -eq 0 ] || status=1
  line=$(grep -E 'tests passed|tests failed' "build/$preset/ctest.log" | tail -1)
  summary+=("$preset: ${line:-no summary} ($(( $(date +%s) - start )) s)")
done

echo "=== summary ==="
printf '%s\n' "${summary[@]}"
exit $status
