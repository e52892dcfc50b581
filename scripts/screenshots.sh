#!/usr/bin/env bash
# Takes the documentation's screenshots of Talvane: talvane.exe over the
# simulator's korvex.dll on a copy of docs/example-world.json, under wine,
# brought to each state by talvane_screenshot.exe (tools/talvane_screenshot/)
# and captured as PNG files.
#
#   scripts/screenshots.sh [OUTDIR]     (default: docs/screenshots)
#
# Builds what it needs in the mingw-x64 build (KORVEX_SCREENSHOT_BUILD names
# another build folder of that preset). Uses the DISPLAY when one is set,
# else an Xvfb of its own. Needs ImageMagick's convert for the PNG files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)
build=${KORVEX_SCREENSHOT_BUILD:-$root/build/mingw-x64}
shots=(main-dialog row-menu status-dialog auto-recovery-list log-viewer)

if ! convert -version 2>/dev/null | grep -q ImageMagick; then
  echo "screenshots.sh: ImageMagick's convert is needed (apt-get install imagemagick)" >&2
  exit 2
fi

cd "$root"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset mingw-x64 -B "$build" >/dev/null
fi
cmake --build "$build" -j2 --target talvane korvex_simworld talvane_screenshot

work=$(mktemp -d "${TMPDIR:-/tmp}/talvane-screenshots.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$build/bin/talvane.exe" "$build/bin/talvane_screenshot.exe" "$build/simbin/korvex.dll" "$work/"

status=0
for shot in "${shots[@]}"; do
  # Every shot starts from the example world as it is in the repository.
  rm -f "$work/world.json" "$work/korvex.dat" "$work/korvex.log"
  cp docs/example-world.json "$work/world.json"
  if (cd "$work" && KORVEX_WINE_DISPLAY=auto "$root/scripts/wine-run.sh" wine64 \
    ./talvane_screenshot.exe "$shot" "$shot.bmp") &&
    convert "$work/$shot.bmp" -strip "$out/$shot.png"; then
    echo "$out/$shot.png"
  else
    echo "screenshots.sh: $shot failed" >&2
    status=1
  fi
done
exit $status
