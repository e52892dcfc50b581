#!/usr/bin/env bash
# The main job: build natively and show a korvexctl session on a copy of
# the example simulated world.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target korvexctl

ctl=build/linux/tools/korvexctl/korvexctl
world=$(mktemp -d)/world.json
cp docs/example-world.json "$world"

step() {
  echo
  echo "\$ korvexctl $*"
  "$ctl" --world "$world" "$@" || echo "(exit code $?)"
}

echo "Simulated world: $world (a copy of docs/example-world.json)"
step list
step status 0000000A
step rtc set 0000000A
step rtc get 0000000A
step fram write 0000000A "hello"
step fram read 0000000A
step fram read 0000000A --hex --count 16
step power 0000000A off
step list
step power 0000000A on
step list
step status NO-SUCH-HUB
