#!/usr/bin/env bash
# Runs the end-to-end driver (or another program of the build that honours
# KAVREL_E2E_RESULT) through the Wine harness in a virtual desktop and
# passes its exit code through. The desktop gives the windows their frames
# and spares every hidden top-level window (each closed notice) the two
# seconds Wine's X11 driver waits for a window manager that a bare Xvfb
# does not have; Wine does not pass the exit code out of the desktop, so the
# driver writes it to a file.
#
# What the Windows programs write to standard error still reaches ours, and
# a copy goes to the file named by KAVREL_E2E_STDERR, where the driver can
# read what Wine's cmd said about a command it could not start.
#
#   scripts/e2e-run.sh driver.exe [driver arguments...]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
result=$(mktemp)
errors=$(mktemp)
rm -f "$result"
{
  KAVREL_E2E_RESULT="Z:${result//\//\\}" KAVREL_E2E_STDERR="Z:${errors//\//\\}" WINEDLLOVERRIDES=netsh.exe=n \
    "$root/scripts/wine-run.sh" --desktop "$@" 2>&1 1>&3 3>&- | tee -a "$errors" >&2 3>&-
  status=${PIPESTATUS[0]}
} 3>&1
if [ -s "$result" ]; then
  status=$(tr -d '\r\n' <"$result")
else
  echo "e2e-run: the driver left no exit code (harness exit code $status)" >&2
  [ "$status" = 0 ] && status=1
fi
rm -f "$result" "$errors"
exit "$status"
