#!/usr/bin/env bash
# `make run`: starts Kavrel under Wine. On a machine with a display it runs
# there until the window is closed; without one it runs on a private Xvfb and
# saves a screenshot of the window to BUILD/kavrel.png.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
# The sub-build whose programs run on this machine (cmake/host.cmake).
win=$(cd "$build" && pwd)/windows
[ -f "$build/windows64/Kavrel.exe" ] && win=$(cd "$build" && pwd)/windows64
exe=$win/Kavrel.exe
export KAVREL_WINEPREFIX=${KAVREL_WINEPREFIX:-$win/wineprefix}
"$root/scripts/show-exe.sh" "$build"
if [ -n "${DISPLAY:-}" ]; then
  KAVREL_DISPLAY=host exec "$root/scripts/wine-run.sh" "$exe"
fi
# The same screenshot as the end-to-end tests take: Kavrel in a virtual
# desktop, saved once its window is up and painted, cropped to the window.
shot=$build/kavrel.png
"$root/scripts/e2e-screenshot.sh" "$build" "$shot"
echo "Kavrel ran headless; its window is in $shot"
