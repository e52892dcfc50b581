#!/bin/sh
# Runs one Windows program under wine in a prefix of its own, made fresh for
# this run and deleted afterwards, and exits with the program's exit code.
#
#   wine-run.sh wine64|wine PROGRAM [ARGUMENT...]
#
# wine64 runs a 64-bit program in a 64-bit prefix; wine runs a 32-bit program
# in a 32-bit prefix (WINEARCH=win32).
#
# Two kinds of prefix (KORVEX_WINE_PREFIX):
#   light (default)  made by hand: the drive links, system32 (and syswow64)
#                    filled with symbolic links to wine's built-in DLLs, the
#                    automatic prefix update switched off. Ready in a fraction
#                    of a second; enough for console programs.
#   full             booted with "wineboot -i": every built-in DLL copied and
#                    registered, about 5 s (32-bit) to 15 s (64-bit) and over
#                    1 GB per run.
# The light prefix never runs the prefix update, the only step that writes
# into system32, so nothing is ever written through its links.
#
# Display (KORVEX_WINE_DISPLAY), for programs that open windows:
#   unset (default)  the environment's DISPLAY as it is, or none.
#   xvfb             an X server of this run's own (Xvfb), started before the
#                    program and ended after it, so that no two runs share a
#                    desktop; the environment's DISPLAY when Xvfb is missing.
#   auto             the environment's DISPLAY when set, else a private Xvfb.
# wine's shell (the desktop, the notification area) runs only with a display.
# With either, the prefix shows its windows inside one wine desktop window
# (1024x768): an X server without a window manager would otherwise cost 2 s
# for every window hidden, which wine waits for the manager to confirm.
#
# Overrides: KORVEX_WINE_DLLS64 and KORVEX_WINE_DLLS32 name the folders holding
# wine's x86_64-windows and i386-windows DLLs when they are not found;
# KORVEX_WINEDEBUG replaces WINEDEBUG=-all (wine's own messages are off).
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 wine64|wine PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
loader_name=$1
shift

case $loader_name in
  wine64) arch=win64 ;;
  wine) arch=win32 ;;
  *)
    echo "$0: unknown loader '$loader_name' (wine64 or wine)" >&2
    exit 2
    ;;
esac

# First of the given paths that is an executable file, or a command on PATH.
find_program() {
  name=$1
  shift
  if command -v "$name" >/dev/null 2>&1; then
    command -v "$name"
    return 0
  fi
  for candidate in "$@"; do
    if [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

# Folder of wine's PE DLLs for one machine (x86_64-windows or i386-windows).
find_dlls() {
  machine=$1
  override=$2
  for dir in $override /usr/lib/x86_64-linux-gnu/wine /usr/lib/i386-linux-gnu/wine \
    /usr/lib64/wine /usr/lib32/wine /usr/lib/wine /usr/local/lib64/wine /usr/local/lib/wine \
    /opt/wine-stable/lib64/wine /opt/wine-stable/lib/wine; do
    for candidate in "$dir" "$dir/$machine"; do
      if [ -f "$candidate/kernel32.dll" ] && [ -f "$candidate/ntdll.dll" ]; then
        echo "$candidate"
        return 0
      fi
    done
  done
  return 1
}

wine=$(find_program "$loader_name" "/usr/lib/wine/$loader_name" "/usr/lib64/wine/$loader_name" \
  "/opt/wine-stable/bin/$loader_name") || {
  echo "$0: $loader_name not found" >&2
  exit 2
}
wineserver=$(find_program wineserver /usr/lib/wine/wineserver /opt/wine-stable/bin/wineserver) || {
  echo "$0: wineserver not found" >&2
  exit 2
}

base=$(mktemp -d "${TMPDIR:-/tmp}/korvex-wine.XXXXXX") || exit 2
prefix=$base/prefix

export WINEPREFIX="$prefix"
export WINEARCH="$arch"
export WINEDEBUG="${KORVEX_WINEDEBUG:--all}"
# No prompts to install .NET or HTML support, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=

# shellcheck disable=SC2317  # called through the trap below
cleanup() {
  "$wineserver" -k >/dev/null 2>&1
  "$wineserver" -w >/dev/null 2>&1
  # The X server goes last: wine's processes need it until they end.
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

link_dlls() {
  mkdir -p "$2" && ln -s "$1"/* "$2"/
}

make_light_prefix() {
  if [ "$arch" = win64 ]; then
    native=$(find_dlls x86_64-windows "${KORVEX_WINE_DLLS64:-}") || return 1
    wow=$(find_dlls i386-windows "${KORVEX_WINE_DLLS32:-}") || wow=
  else
    native=$(find_dlls i386-windows "${KORVEX_WINE_DLLS32:-}") || return 1
    wow=
  fi
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c/windows" || return 1
  ln -s ../drive_c "$prefix/dosdevices/c:" && ln -s / "$prefix/dosdevices/z:" || return 1
  link_dlls "$native" "$prefix/drive_c/windows/system32" || return 1
  if [ -n "$wow" ]; then
    link_dlls "$wow" "$prefix/drive_c/windows/syswow64" || return 1
  fi
  echo disable >"$prefix/.update-timestamp"
}

booted=no
make_full_prefix() {
  booted=yes
  "$wine" wineboot -i >/dev/null 2>&1
}

# Starts Xvfb on a free display (it picks the number and writes it to the
# descriptor given by -displayfd) and points DISPLAY at it.
start_xvfb() {
  xvfb=$(find_program Xvfb) || return 1
  "$xvfb" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$base/display" \
    >"$base/xvfb.log" 2>&1 &
  xvfb_pid=$!
  tries=0
  while ! grep -q '[0-9]' "$base/display" 2>/dev/null; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$tries" -ge 200 ]; then
      echo "$0: Xvfb did not start:" >&2
      cat "$base/xvfb.log" >&2
      return 1
    fi
    tries=$((tries + 1))
    sleep 0.05
  done
  DISPLAY=":$(tr -dc '0-9' <"$base/display")"
  export DISPLAY
}

case ${KORVEX_WINE_DISPLAY:-} in
  '') ;;
  xvfb)
    if ! command -v Xvfb >/dev/null 2>&1 && [ -n "${DISPLAY:-}" ]; then
      echo "$0: Xvfb not found; using DISPLAY=$DISPLAY" >&2
    else
      start_xvfb || exit 2
    fi
    ;;
  auto)
    if [ -z "${DISPLAY:-}" ]; then start_xvfb || exit 2; fi
    ;;
  *)
    echo "$0: KORVEX_WINE_DISPLAY must be xvfb or auto" >&2
    exit 2
    ;;
esac

# The wine desktop window, in the user part of the registry.
desktop_keys() {
  printf '[Software\\\\Wine\\\\Explorer] 0\n"Desktop"="Default"\n\n'
  printf '[Software\\\\Wine\\\\Explorer\\\\Desktops] 0\n"Default"="1024x768"\n'
}

# Before wine first starts in a light prefix: its user registry is this file.
write_light_desktop() {
  {
    printf 'WINE REGISTRY Version 2\n#arch=%s\n\n' "$arch"
    desktop_keys
  } >"$prefix/user.reg"
}

# In a booted prefix, through wine's registry tool. The desktop that the boot
# made stays as it is while the server runs, so the server is let end first
# (it writes the registry as it goes).
add_full_desktop() {
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
      >/dev/null 2>&1 &&
    "$wineserver" -w
}

case ${KORVEX_WINE_PREFIX:-light} in
  light)
    if ! make_light_prefix; then
      echo "$0: wine's DLLs not found; booting a full prefix" >&2
      rm -rf "$prefix"
      make_full_prefix || {
        echo "$0: wineboot failed" >&2
        exit 2
      }
    fi
    ;;
  full)
    make_full_prefix || {
      echo "$0: wineboot failed" >&2
      exit 2
    }
    ;;
  *)
    echo "$0: KORVEX_WINE_PREFIX must be light or full" >&2
    exit 2
    ;;
esac

if [ -n "${KORVEX_WINE_DISPLAY:-}" ]; then
  if [ "$booted" = yes ]; then
    add_full_desktop || echo "$0: no wine desktop window; windows may be slow to hide" >&2
  else
    write_light_desktop
  fi
fi

"$wine" "$@"
exit $?
