#!/usr/bin/env bash
# `make run`: starts Kavrel under Wine. On a machine with a display it runs
# there until the window is closed; without one it runs on a private Xvfb and
# saves a screenshot of the window to BUILD/kavrel.png.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$build/windows/Kavrel.exe
export KAVREL_WINEPREFIX=${KAVREL_WINEPREFIX:-$(cd "$build" && pwd)/windows/wineprefix}
if [ -n "${DISPLAY:-}" ]; then
  KAVREL_DISPLAY=host exec "$root/scripts/wine-run.sh" "$exe"
fi
shot=$build/kavrel.png
"$root/scripts/wine-run.sh" --desktop --screenshot "$shot.full.png" 8 "$exe"
# The window is centred on the 1024 x 768 desktop: keep it and a margin.
convert "$shot.full.png" -crop 522x349+251+209 +repage "$shot"
rm -f "$shot.full.png"
echo "Kavrel ran headless; its window is in $shot"
