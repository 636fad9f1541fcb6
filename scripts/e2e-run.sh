#!/usr/bin/env bash
# Runs the end-to-end driver (or another program of the build that honours
# KAVREL_E2E_RESULT) through the Wine harness in a virtual desktop and
# passes its exit code through. The desktop gives the windows their frames
# and spares every hidden top-level window (each closed notice) the two
# seconds Wine's X11 driver waits for a window manager that a bare Xvfb
# does not have; Wine does not pass the exit code out of the desktop, so the
# driver writes it to a file.
#
#   scripts/e2e-run.sh driver.exe [driver arguments...]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
result=$(mktemp)
rm -f "$result"
status=0
KAVREL_E2E_RESULT="Z:${result//\//\\}" WINEDLLOVERRIDES=netsh.exe=n \
  "$root/scripts/wine-run.sh" --desktop "$@" || status=$?
if [ -s "$result" ]; then
  status=$(tr -d '\r\n' <"$result")
else
  echo "e2e-run: the driver left no exit code (harness exit code $status)" >&2
  [ "$status" = 0 ] && status=1
fi
rm -f "$result"
exit "$status"
