# shellcheck shell=bash
# What the korvexctl session scripts share; sourced, with the script's own
# arguments: $1 korvexctl, $2 the example world. Sets $dir, a scratch folder
# holding a copy of the world as world.json; the script defines run().
# shellcheck disable=SC2034 # run() in the sourcing script calls it
korvexctl=$1
example=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$example" "$dir/world.json"
failures=0

failed() { echo "FAIL: $*" && failures=$((failures + 1)); }

expect_output() {  # expect_output PATTERN COMMAND...
  local pattern=$1
  shift
  local out
  out=$(run "$@" 2>&1)
  grep -qE -- "$pattern" <<<"$out" || failed "korvexctl $* printed '$out', expected /$pattern/"
}

expect_exit() {  # expect_exit CODE COMMAND...
  local code=$1
  shift
  run "$@" >/dev/null 2>&1
  local got=$?
  [ "$got" -eq "$code" ] || failed "korvexctl $* exited $got, expected $code"
}

finish() {  # finish NAME: the summary line and the exit code
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" && exit 1; }
  echo "$1: all checks passed"
}
