#!/usr/bin/env bash
# A korvexctl session with the auto-recovery list and the watchdog on a copy
# of the example world: list a hub, make its device hang, and see the
# watchdog log it and power-cycle the hub.
set -u
# shellcheck source-path=SCRIPTDIR source=session_lib.sh
source "$(dirname "$0")/session_lib.sh"

# From the world's folder with a relative name: korvexctl makes it absolute
# before the library loads, and the library keeps its files beside it.
run() { (cd "$dir" && "$korvexctl" --world world.json "$@"); }

# ---- The list ----
expect_output '^\(the auto-recovery list is empty\)$' recovery list
expect_output '^added 0000000B \(0x4E21 0x1000 USB Flash Disk\)$' recovery add 0000000B
expect_exit 5 recovery add 0000000B   # already listed
expect_exit 1 recovery add 0000000D   # nothing on its downstream port to watch
expect_exit 3 recovery add NO-SUCH-HUB
expect_output '^1 +0000000B +0x4E21 +0x1000 +USB Flash Disk$' recovery list
expect_output '"serial": "0000000B"' --json recovery list
[ "$(stat -c %s "$dir/korvex.dat" 2>/dev/null)" = 33288 ] ||
  failed "korvex.dat is not the 33288-byte store beside the world file"
expect_exit 5 recovery remove NO-SUCH-HUB

# ---- Settings: while off they reach the store through the unload save ----
expect_exit 2 recovery settings --interval 0
expect_output '^interval 3 s, off time 4 checks \(used from the next start\)$' \
  recovery settings --interval 3 --off-time 4
expect_output '^interval 1 s, off time 1 check ' recovery settings --interval 1 --off-time 1

# ---- Start, status, and a restart for new settings while on ----
expect_output '^auto recovery off, interval 1 s, off time 1 check, 1 hub listed$' recovery status
expect_output '^auto recovery on ' recovery start
expect_output '^auto recovery was already on ' recovery start
expect_output '^interval 1 s, off time 1 check \(auto recovery restarted with them\)$' \
  recovery settings --interval 1

# ---- A hung device: code 0 in the third check, power off, back on ----
expect_exit 3 sim hang NO-SUCH-HUB
expect_output '^0000000B: 0x4E21 0x1000 USB Flash Disk hangs unconfigured$' sim hang 0000000B
watch=$(run watch --seconds 7 2>&1)
grep -qE '\] hub  0000000B  ON  BadCondition' <<<"$watch" || failed "watch did not show the hang: $watch"
grep -qE '\] log  20[0-9/]+ [0-9:]+  0000000B  0 not configured  0x4E21  0x1000  USB Flash Disk$' \
  <<<"$watch" || failed "watch did not print the code 0 line: $watch"
grep -qE '\] hub  0000000B  OFF  NoDeviceConnected$' <<<"$watch" ||
  failed "watch did not show the power off: $watch"
grep -qE '\] hub  0000000B  ON  DeviceConnected  0x4E21' <<<"$watch" ||
  failed "watch did not show the device back: $watch"
expect_output '^1 +20[0-9/]+ [0-9:]+ +0000000B +0 not configured +0x4E21 +0x1000 +USB Flash Disk$' \
  recovery log
expect_output '^[0-9]+ +0000000B +ON +DeviceConnected +0x4E21' list
[ "$(grep -c ',0000000B,0,0x4E21,0x1000,USB Flash Disk' "$dir/korvex.log")" = 1 ] ||
  failed "korvex.log does not hold exactly one code 0 line: $(cat "$dir/korvex.log")"

expect_output '^auto recovery off$' recovery stop
expect_output '^auto recovery was already off$' recovery stop
expect_output '^removed 0000000B$' recovery remove 0000000B

# ---- watch switches auto recovery on for itself, and off again ----
(cd "$dir" && exec "$korvexctl" --world world.json watch >"$dir/watch.out" 2>&1) &
watcher=$!
sleep 1.5
kill -INT "$watcher"
wait "$watcher"
got=$?
[ "$got" -eq 0 ] || failed "watch ended by SIGINT exited $got"
grep -qF '(interrupted); auto recovery switched off again' "$dir/watch.out" ||
  failed "watch did not stop cleanly: $(cat "$dir/watch.out")"
expect_output '^auto recovery off' recovery status

# ---- Two processes, one watchdog: the acting one is killed, the other
# takes over within one interval and goes on from the failure count in the
# store, so the hang is logged and cycled once ----
hangs() { grep -c ',0000000B,0,0x4E21' "$dir/korvex.log"; }
watch_in_background() {  # watch_in_background SECONDS OUTPUT
  (cd "$dir" && exec "$korvexctl" --world world.json watch --seconds "$1" >"$dir/$2" 2>&1) &
}
expect_output '^added ' recovery add 0000000B
before=$(hangs)
run sim hang 0000000B >/dev/null
watch_in_background 9 first.out
first=$!
sleep 0.5
watch_in_background 9 second.out
second=$!
sleep 1.2
kill -KILL "$first"
wait "$second"
[ "$(hangs)" = $((before + 1)) ] ||
  failed "after a takeover $(($(hangs) - before)) hang line(s), expected 1: $(cat "$dir/second.out")"
expect_output '^removed 0000000B$' recovery remove 0000000B

# ---- Unplug and plug back ----
expect_output 'unplugged' sim unplug 0000000B
expect_output '^[0-9]+ +0000000B +ON +NoDeviceConnected$' list
expect_exit 1 sim unplug 0000000B
expect_output 'USB Flash Disk plugged in$' sim plug 0000000B
expect_output '^[0-9]+ +0000000B +ON +DeviceConnected +0x4E21 +0x1000 +USB Flash Disk$' list

# ---- The log where the world puts the executable's folder ----
mkdir -p "$dir/exe"
printf '{"executableFolder": "%s/exe/"}\n' "$dir" >"$dir/elsewhere.json"
printf '2026/12/06 12:00:00,H1,3,0x1111,0x2222,Disk, 2 GB\r\n2026/12/06 12:00:01,H2,2,0x0001,0x0002,Caf\xe9\nno commas\n' \
  >"$dir/exe/korvex.log"
log=$("$korvexctl" --world "$dir/elsewhere.json" recovery log)
grep -qE '^1 +2026/12/06 12:00:00 +H1 +3 absent +0x1111 +0x2222 +Disk, 2 GB$' <<<"$log" ||
  failed "a product with a comma: $log"
grep -qE '^2 .* H2 +2 other device +0x0001 +0x0002 +Café$' <<<"$log" || failed "byte 0xE9: $log"
grep -qE '^3 +no commas$' <<<"$log" || failed "a line without commas: $log"

finish "korvexctl recovery session"
