#!/bin/sh
# Runs one Windows program under wine in a prefix of its own, made fresh
# and deleted afterwards; exits with the program's exit code.
#   wine-run.sh wine64|wine PROGRAM [ARGUMENT...]
# wine64: a 64-bit program in a 64-bit prefix; wine: 32-bit in a 32-bit one.
# The prefix is made by hand in a fraction of a second: drive links, system32
# (and syswow64) as links to wine's DLLs, and no prefix update, the only
# step that would write into them. KORVEX_WINE_DISPLAY for programs with
# windows: unset, DISPLAY as it is; "xvfb", an X server of this run's own;
# "auto", DISPLAY when set, else an Xvfb. The windows then show in one wine
# desktop window: without a window manager each hide would cost 2 s.
# KORVEX_WINE_DLLS64/32: the folders of wine's x86_64-windows/i386-windows
# DLLs when not found; KORVEX_WINEDEBUG replaces WINEDEBUG=-all.
set -u

case ${1:-} in
  wine64) arch=win64 ;;
  wine) arch=win32 ;;
  *) echo "usage: $0 wine64|wine PROGRAM [ARGUMENT...]" >&2 && exit 2 ;;
esac
loader_name=$1
shift

# A command on PATH, or where wine installs it.
find_program() {
  for candidate in "$(command -v "$1")" /usr/lib/wine/"$1" /opt/wine-stable/bin/"$1"; do
    if [ -f "$candidate" ] && [ -x "$candidate" ]; then echo "$candidate" && return 0; fi
  done
  echo "$0: $1 not found" >&2 && return 1
}

# The folder of wine's DLLs for one machine (x86_64-windows or i386-windows).
find_dlls() {
  for dir in $2 /usr/lib/*-linux-gnu/wine /usr/lib64/wine /usr/lib32/wine /usr/lib/wine \
    /usr/local/lib/wine /opt/wine-stable/lib64/wine /opt/wine-stable/lib/wine; do
    for candidate in "$dir" "$dir/$1"; do
      if [ -f "$candidate/kernel32.dll" ]; then echo "$candidate" && return 0; fi
    done
  done
  return 1
}

wine=$(find_program "$loader_name") && wineserver=$(find_program wineserver) || exit 2
dlls64=$(find_dlls x86_64-windows "${KORVEX_WINE_DLLS64:-}")
dlls32=$(find_dlls i386-windows "${KORVEX_WINE_DLLS32:-}")
if [ "$arch" = win64 ]; then native=$dlls64 wow=$dlls32; else native=$dlls32 wow=; fi
if [ -z "$native" ]; then
  echo "$0: wine's DLLs not found (set KORVEX_WINE_DLLS64 or KORVEX_WINE_DLLS32)" >&2 && exit 2
fi

base=$(mktemp -d "${TMPDIR:-/tmp}/korvex-wine.XXXXXX") || exit 2
prefix=$base/prefix
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG="${KORVEX_WINEDEBUG:--all}"
# No prompts to install .NET or HTML support, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=
# shellcheck disable=SC2317  # called through the trap below
cleanup() {
  "$wineserver" -k >/dev/null 2>&1
  "$wineserver" -w >/dev/null 2>&1
  # The X server goes last: wine's processes need it until they end.
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mkdir -p "$prefix/dosdevices" "$prefix/drive_c/windows/system32" &&
  ln -s ../drive_c "$prefix/dosdevices/c:" && ln -s / "$prefix/dosdevices/z:" &&
  ln -s "$native"/* "$prefix/drive_c/windows/system32/" || exit 2
if [ -n "$wow" ]; then
  mkdir -p "$prefix/drive_c/windows/syswow64" && ln -s "$wow"/* "$prefix/drive_c/windows/syswow64/"
fi
echo disable >"$prefix/.update-timestamp"

# Xvfb picks a free display and writes its number to the descriptor -displayfd names.
start_xvfb() {
  xvfb=$(find_program Xvfb) || return 1
  "$xvfb" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$base/display" \
    >"$base/xvfb.log" 2>&1 &
  xvfb_pid=$!
  tries=0
  while ! grep -q '[0-9]' "$base/display" 2>/dev/null; do
    tries=$((tries + 1))
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$tries" -gt 200 ]; then
      echo "$0: Xvfb did not start:" >&2 && cat "$base/xvfb.log" >&2 && return 1
    fi
    sleep 0.05
  done
  DISPLAY=":$(tr -dc '0-9' <"$base/display")"
  export DISPLAY
}

case ${KORVEX_WINE_DISPLAY:-} in
  '') ;;
  xvfb) start_xvfb || exit 2 ;;
  auto) if [ -z "${DISPLAY:-}" ]; then start_xvfb || exit 2; fi ;;
  *) echo "$0: KORVEX_WINE_DISPLAY must be xvfb or auto" >&2 && exit 2 ;;
esac

# The wine desktop window: the user part of the registry, before wine first starts.
if [ -n "${KORVEX_WINE_DISPLAY:-}" ]; then
  printf 'WINE REGISTRY Version 2\n#arch=%s\n\n' "$arch" >"$prefix/user.reg"
  printf '[Software\\\\Wine\\\\Explorer] 0\n"Desktop"="Default"\n\n' >>"$prefix/user.reg"
  printf '[Software\\\\Wine\\\\Explorer\\\\Desktops] 0\n"Default"="1024x768"\n' >>"$prefix/user.reg"
fi

"$wine" "$@"
exit $?
