#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang, libFuzzer and the
# sanitizers into build/fuzz, runs each for SECONDS (default 60) from its
# committed corpus and prints each target's coverage. New inputs go to a
# scratch corpus under build/fuzz/corpus/, never into the committed one; a
# crash input is saved under build/fuzz/crashes/<target>/. Exit 1 when any
# target crashed or could not be built.
#
#   scripts/fuzz.sh [SECONDS]
#   KORVEX_FUZZ_JOBS=2 scripts/fuzz.sh 600   # two targets at a time
#   KORVEX_FUZZ_TARGETS="world_file_fuzz" scripts/fuzz.sh
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-60}
jobs=${KORVEX_FUZZ_JOBS:-1}
case "$seconds$jobs" in
  *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] (KORVEX_FUZZ_JOBS: a number)" >&2; exit 2 ;;
esac

scripts/setup.sh || exit 1

build=build/fuzz
echo "=== configure and build ($build) ==="
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DKORVEX_FUZZ=ON -DKORVEX_BUILD_BENCHMARKS=OFF >/dev/null ||
  exit 1

# Each target and its corpus folder, as tests/fuzz/CMakeLists.txt declares them.
declare -A corpus_of=()
while read -r name corpus; do
  corpus_of[$name]=$corpus
done < <(sed -n 's/^korvex_add_fuzz_target(\([a-z_0-9]*\) \([a-z_0-9]*\).*/\1 \2/p' \
  tests/fuzz/CMakeLists.txt)
targets=(${KORVEX_FUZZ_TARGETS:-$(printf '%s\n' "${!corpus_of[@]}" | sort)})
for t in "${targets[@]}"; do
  [ -n "${corpus_of[$t]:-}" ] || { echo "no fuzz target $t" >&2; exit 2; }
done
cmake --build "$build" -j2 --target "${targets[@]}" || exit 1

# Runs one target; its log is build/fuzz/logs/<target>.log.
run_target() {
  local t=$1 committed=$root/tests/fuzz/corpus/${corpus_of[$1]}
  local scratch=$root/$build/corpus/$t crashes=$root/$build/crashes/$t
  mkdir -p "$scratch" "$crashes" "$root/$build/logs"
  # Leaks and undefined behaviour count as crashes too.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$root/$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$scratch" "$committed" >"$root/$build/logs/$t.log" 2>&1
  echo $? >"$root/$build/logs/$t.rc"
}

echo "=== fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time ==="
running=0
for t in "${targets[@]}"; do
  echo "$t: running (log: $build/logs/$t.log)"
  run_target "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

status=0
echo "=== summary ==="
printf '%-18s %8s %8s %8s %12s  %s\n' target cov ft corpus runs result
for t in "${targets[@]}"; do
  log=$build/logs/$t.log
  # libFuzzer's last status line: "#N DONE cov: C ft: F corp: K/..."
  last=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ "$(cat "$build/logs/$t.rc")" -eq 0 ]; then
    result=ok
  else
    status=1
    result="CRASHED"
    crash=$(ls -t "$build/crashes/$t"/* 2>/dev/null | head -1)
    [ -n "$crash" ] && result="CRASHED: $crash"
  fi
  printf '%-18s %8s %8s %8s %12s  %s\n' "$t" "${cov:-?}" "${ft:-?}" "${corp:-?}" "${runs:-?}" \
    "$result"
done
if [ $status -ne 0 ]; then
  echo
  echo "A target crashed: see its log under $build/logs/. Reproduce with"
  echo "  $build/tests/fuzz/<target> <crash file>"
  echo "then fix the fault and add the crash file to tests/fuzz/corpus/<corpus>/, where"
  echo "the ordinary build replays it as a test (ctest -R fuzz)."
fi
exit $status
