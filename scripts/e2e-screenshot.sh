#!/usr/bin/env bash
# Saves a screenshot of Kavrel's window to FILE (default BUILD/kavrel.png).
# The end-to-end driver starts Kavrel in a Wine virtual desktop, so that
# the window has its frame without a window manager (scripts/e2e-run.sh),
# waits until it is up and painted, and has ImageMagick save the screen
# cropped to the window.
# The tests and `make run` both take it this way.
#
#   scripts/e2e-screenshot.sh [BUILD] [FILE]
# BUILD is the build folder (its 32-bit windows/ sub-build is used) or a
# Windows sub-build itself; FILE defaults to BUILD/kavrel.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
out=$(realpath -m "${2:-$build/kavrel.png}")
win=$build/windows
[ -f "$build/kavrel_e2e.exe" ] && win=$build
driver=$win/kavrel_e2e.exe
[ -f "$driver" ] || { echo "e2e-screenshot: $driver is not built" >&2; exit 1; }
export KAVREL_WINEPREFIX=${KAVREL_WINEPREFIX:-$win/wineprefix}
mkdir -p "$(dirname "$out")"
rm -f "$out"
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
KAVREL_SCREENSHOT=$out "$root/scripts/e2e-run.sh" "$driver" --gtest_filter='Screenshot.*' | tee "$log" || status=$?
if [ "$status" != 0 ] || [ ! -s "$out" ]; then
  echo "e2e-screenshot: no screenshot was saved (driver exit code $status)" >&2
  exit 1
fi
size=$(identify -format '%wx%h' "$out")
client=$(sed -n 's/.*; client area \([0-9x+]*\).*/\1/p' "$log" | tail -n 1)
echo "e2e-screenshot: Kavrel's window ($size) saved to $out; client area $client"
[ "${KAVREL_DPI:-96}" != 96 ] || [ "$size" = 482x309 ] || { echo "e2e-screenshot: the window is not 482x309" >&2; exit 1; }
