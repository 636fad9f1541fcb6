#!/usr/bin/env bash
# Every test of the build, in order: host (plain and sanitized), the 32-bit
# Windows sub-build (the neutral code cross-compiled, the Win32 code and the
# end-to-end suites under Wine, natively or, on a machine that runs no
# 32-bit code, inside the qemu guest; the release checks on this machine),
# then each fuzz target briefly. Ends with the path and SHA-256 of the
# Kavrel.exe a user copies, the file those suites ran.
set -euo pipefail
build=${1:-build}
here=$(dirname "$0")
status=0
# The full soak is `make soak`'s.
ctest_options=(--output-on-failure --timeout 1800)
suite() { ctest --test-dir "$1" "${ctest_options[@]}" -LE soak-full "${@:2}"; }

echo "== tests in $build"
suite "$build" || status=1
win=$build/windows
if "$here/runs-32bit.sh"; then
  echo "== tests in $win"
  suite "$win" || status=1
else
  echo "== tests in $win: release checks, on this machine"
  suite "$win" -L host || status=1
  echo "== tests in $win: under Wine, in the qemu guest (this machine runs no 32-bit code)"
  start=$SECONDS
  "$here/guest-run.sh" "$build" ctest --test-dir "$(cd "$win" && pwd)" "${ctest_options[@]}" \
    -LE 'host|soak-full' || status=1
  echo "== the guest's suites took $((SECONDS - start)) s"
fi
if [ -f "$build/fuzz/CTestTestfile.cmake" ]; then
  echo "== tests in $build/fuzz"
  suite "$build/fuzz" || status=1
fi
"$here/show-exe.sh" "$build" || status=1
exit $status
