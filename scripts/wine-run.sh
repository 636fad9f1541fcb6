#!/usr/bin/env bash
# Runs one Windows program of the build under Wine and passes its exit code
# through. The program runs with LC_ALL=zh_CN.UTF-8, which gives it code page
# 936. The script starts its own Xvfb (unless KAVREL_DISPLAY=host and $DISPLAY
# is set), uses a private prefix made once (KAVREL_WINEPREFIX, default
# build/windows/wineprefix; 64-bit, in build/windows64/, for a 64-bit
# program, or build/windows/wineprefix-wow64 with KAVREL_WOW64=1), and at the
# end stops only what it started: its Xvfb by PID and the wineserver of its
# own prefix.
#
#   scripts/wine-run.sh [--screen WxHxD] [--desktop] [--screenshot FILE SECONDS]
#                       program.exe [args...]
#   scripts/wine-run.sh --prefix-only
# --desktop runs the program in a Wine virtual desktop of the screen's size, so
# that windows get their frames without a window manager. --screenshot saves
# the screen to FILE after SECONDS and then ends the program. --prefix-only
# makes the prefix (32-bit, or 64-bit with KAVREL_WOW64=1) and ends.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
screen=1024x768x24
desktop=0
shot=""
shot_delay=0
prefix_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --screen) screen=$2; shift 2 ;;
    --desktop) desktop=1; shift ;;
    --screenshot) shot=$2; shot_delay=$3; shift 3 ;;
    --prefix-only) prefix_only=1; shift ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || [ "$prefix_only" = 1 ] || { echo "usage: wine-run.sh [options] program.exe [args...]" >&2; exit 2; }

prog=${1:-}
shift || true
# A 64-bit program (PE machine 0x8664) runs in a 64-bit prefix through Wine's
# 64-bit loader; a 32-bit one in a 32-bit prefix.
pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$at" ] && od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' '
}
# KAVREL_WOW64=1 runs a 32-bit program in a 64-bit prefix too, as 64-bit
# Windows runs it (WoW64): the 64-bit loader hands it to the 32-bit one.
if [ "$(pe_machine "$prog")" = 8664 ] || [ "${KAVREL_WOW64:-0}" = 1 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  wine=$WINELOADER
  wow=windows64/wineprefix; [ "${KAVREL_WOW64:-0}" = 1 ] && wow=windows/wineprefix-wow64
  export WINEPREFIX=${KAVREL_WINEPREFIX:-$root/build/$wow}
else
  export WINEARCH=win32
  wine=wine
  export WINEPREFIX=${KAVREL_WINEPREFIX:-$root/build/windows/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers in a prefix that has no network to fetch them.
export WINEDLLOVERRIDES="mscoree=;mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

xpid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xpid" ]; then kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; fi
  [ -n "${xdir:-}" ] && rm -rf "$xdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${KAVREL_DISPLAY:-}" = "host" ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  xdir=$(mktemp -d)
  mkfifo "$xdir/fd"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$xdir/fd" >/dev/null 2>&1 &
  xpid=$!
  read -r -t 20 num <"$xdir/fd" || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$num
fi

. "$root/scripts/wine-prefix.sh" || exit 1
[ "$prefix_only" = 1 ] && exit 0

# The system's code page for non-Unicode programs comes from the locale:
# KAVREL_CODEPAGE picks it, 936 by default (scripts/wine-locales.sh). The
# locales are installed (scripts/setup.sh), so that Wine's Unix side keeps
# file names and arguments in UTF-8.
lc=$("$root/scripts/wine-locales.sh" "${KAVREL_CODEPAGE:-936}") ||
  { echo "wine-run: no locale for code page $KAVREL_CODEPAGE" >&2; exit 2; }
locale=(env -u LANG -u LANGUAGE -u LC_CTYPE LC_ALL=$lc)
# Wine substitutes the dialog font "MS Shell Dlg" (the default GUI font) by
# code page, and writes its table into the prefix when the code page
# changes. Under another code page than 936 it is set back to 936's SimSun
# (which the prefix replaces with its CJK font), after a first Wine process
# has written the table, so that the same characters show in the same face.
if [ "$lc" != zh_CN.UTF-8 ]; then
  for face in "MS Shell Dlg" "MS Shell Dlg 2"; do
    "${locale[@]}" "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$face" /d SimSun /f >/dev/null 2>&1
  done
fi
# The display's DPI is the prefix's LogPixels, which Wine reads when a
# process starts: KAVREL_DPI picks it, 96 by default. It is written only
# when the prefix holds another value.
dpi=${KAVREL_DPI:-96}
held=$(awk '/^\[Control Panel\\\\Desktop\]/ { on = 1; next } /^\[/ { on = 0 }
            on && /^"LogPixels"=dword:/ { sub(/.*dword:/, ""); print; exit }' "$WINEPREFIX/user.reg" 2>/dev/null)
if [ "$held" != "$(printf %08x "$dpi")" ]; then
  "${locale[@]}" "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 &&
    wineserver -w || { echo "wine-run: LogPixels $dpi could not be set" >&2; exit 1; }
fi
launch=("$wine")
if [ "$desktop" = 1 ]; then
  size=${screen%x*}
  launch=("$wine" explorer "/desktop=kavrel,$size")
fi
if [ -z "$shot" ]; then
  "${locale[@]}" "${launch[@]}" "$prog" "$@"
  exit $?
fi
"${locale[@]}" "${launch[@]}" "$prog" "$@" &
wpid=$!
sleep "$shot_delay"
if ! kill -0 "$wpid" 2>/dev/null; then
  wait "$wpid"
  rc=$?
  echo "wine-run: the program ended (exit code $rc) before the screenshot" >&2
  exit 1
fi
import -window root "$shot" || exit 1
echo "wine-run: screenshot saved to $shot"
exit 0
