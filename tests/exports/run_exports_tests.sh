#!/usr/bin/env bash
# Runs the exports tests in a fresh folder holding their world file. The
# library reads the world's name from the environment when it is loaded,
# before the test program's main, so the file must exist first.
set -eu
program=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat >"$dir/world.json" <<JSON
{"executableFolder": "$dir/",
 "otherHidDevices": [{"serial": "0000000A", "controller": {}},
   {"serial": "MUTE", "controller": {"faults": {"silent": true}}},
   {"serial": "DEAF", "controller": {"faults": {"setFeatureFails": true}}},
   {"serial": "SHORT", "featureReportByteLength": 64, "controller": {}},
   {"serial": "CAPS", "faults": {"capsFails": true}, "controller": {}}]}
JSON
KORVEX_SIM_WORLD="$dir/world.json" "$program"
