#!/usr/bin/env bash
# The main job: Talvane, the notification-area program, under wine over a
# simulated world with four hubs (a copy of docs/example-world.json), with
# the simulator's korvex.dll beside it.
#
# With a display (DISPLAY set), Talvane starts there with its main dialog
# open and runs until EXIT in its tray menu (right-click the icon) or
# Ctrl-C. Without one, it runs under an Xvfb of its own and the pictures of
# its windows are saved into build/demo-screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
build=$root/build/mingw-x64
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 --target talvane korvex_simworld talvane_demo

if [ -z "${DISPLAY:-}" ]; then
  echo
  echo "No display: Talvane runs under Xvfb and its windows are saved as pictures."
  KORVEX_SCREENSHOT_BUILD=$build scripts/screenshots.sh "$root/build/demo-screenshots"
  exit
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/talvane-demo.XXXXXX")
cp "$build/bin/talvane.exe" "$build/bin/talvane_demo.exe" "$build/simbin/korvex.dll" "$dir/"
cp docs/example-world.json "$dir/world.json"
cat <<TEXT

Talvane runs in $dir over the simulated world $dir/world.json.
The main dialog opens by itself; the notification icon's right-click menu
has SETUP(&S) to open it again and EXIT(&X) to end the program. The library
keeps korvex.dat and korvex.log in that folder. Meanwhile, in another
terminal, the world can be changed as a person at the machine would, with
the native korvexctl (cmake --build --preset linux --target korvexctl):
  build/linux/tools/korvexctl/korvexctl --world $dir/world.json sim unplug 0000000B
Close the main dialog and choose SETUP(&S) again to see the change (on
Windows the device-change broadcast refreshes it by itself).
TEXT
cd "$dir"
KORVEX_WINE_DISPLAY=auto "$root/scripts/wine-run.sh" wine64 ./talvane_demo.exe
