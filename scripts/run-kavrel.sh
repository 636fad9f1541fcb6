#!/usr/bin/env bash
# `make run`: starts Kavrel under Wine. On a machine with a display it runs
# there until the window is closed; without one it runs on a private Xvfb and
# saves a screenshot of the window to BUILD/kavrel.png. Both use the 32-bit
# file a user gets; on a machine that runs no 32-bit code the screenshot is
# taken in the qemu guest, and a display shows the 64-bit build instead.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "$build" && pwd)/windows
"$root/scripts/show-exe.sh" "$build"
native=1
"$root/scripts/runs-32bit.sh" || native=0
if [ -n "${DISPLAY:-}" ]; then
  if [ "$native" = 0 ]; then
    cmake -S "$root" -B "$build" -DKAVREL_WINDOWS64=ON >/dev/null
    cmake --build "$build" --target windows64 -j2
    win=$(cd "$build" && pwd)/windows64
    echo "This machine runs no 32-bit code, so this is the 64-bit build of the same sources: $win/Kavrel.exe"
  fi
  KAVREL_WINEPREFIX=${KAVREL_WINEPREFIX:-$win/wineprefix} KAVREL_DISPLAY=host exec "$root/scripts/wine-run.sh" "$win/Kavrel.exe"
fi
# The same screenshot as the end-to-end tests take: Kavrel in a virtual
# desktop, saved once its window is up and painted, cropped to the window.
shot=$(realpath -m "$build/kavrel.png")
if [ "$native" = 1 ]; then
  "$root/scripts/e2e-screenshot.sh" "$win" "$shot"
else
  "$root/scripts/guest-run.sh" "$build" bash "$root/scripts/e2e-screenshot.sh" "$win" "$shot"
fi
echo "Kavrel ran headless; its window is in $shot"
