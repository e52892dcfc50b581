#!/usr/bin/env bash
# A korvexctl session on a copy of the example world: what a person would
# type, and the exit codes a script relies on.
set -u
# shellcheck source-path=SCRIPTDIR source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"

run() { "$korvexctl" --world "$dir/world.json" "$@"; }

# Each command is its own process: state lives in the world file.
expect_output '^clock set to 20[0-9]{2}/' rtc set 0000000A
expect_output "^$(date +%Y/%m/%d) [0-9]{2}:[0-9]{2}:[0-9]{2}$" rtc get 0000000A
expect_output '^clock set to 2031/02/03 04:05:06$' rtc set 0000000A "2031-02-03 04:05:06"
expect_output '"time": "2031/02/03 04:05:06"' --json rtc get 0000000A
expect_output '^255 bytes written$' fram write 0000000A "hello"
expect_output '^hello$' fram read 0000000A
expect_output '^68 00 65 00$' fram read 0000000A --hex --count 4
expect_output '^power off$' power 0000000A off
expect_output '^OFF$' status 0000000A
expect_output '^power on$' power 0000000A on
expect_output '^serial written: 0000000B$' serial 0000000A 11
expect_output '^0x[0-9A-F]{2}$' fault 0000000A
# cycle: off, a wait, on again (here from off, so only the switch-on shows).
run power 0000000A off >/dev/null
expect_output '^power cycled$' cycle 0000000A --off 1
expect_output '^ON$' status 0000000A

expect_exit 3 status NO-SUCH-HUB
expect_output '"error": "no-such-controller"' --json status NO-SUCH-HUB
expect_exit 2 fram read 0000000A --address 200 --count 100
expect_exit 2 frobnicate 0000000A
expect_exit 2 cycle 0000000A --off 0
expect_exit 3 cycle NO-SUCH-HUB --off 1

# A controller that never answers: no reply after the 5 s time-out.
cat >"$dir/silent.json" <<'JSON'
{"otherHidDevices": [{"serial": "MUTE", "controller": {"faults": {"silent": true}}}]}
JSON
"$korvexctl" --world "$dir/silent.json" status MUTE >/dev/null 2>&1
got=$?
[ "$got" -eq 4 ] || failed "status on a silent controller exited $got, expected 4"

finish "korvexctl session"
