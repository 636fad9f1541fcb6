#!/usr/bin/env bash
# Every test of the build, in order: host (plain and sanitized), Windows under
# Wine (neutral code cross-compiled, Win32 code, end-to-end; in windows64/ on a
# machine that cannot run 32-bit code), then each fuzz target briefly. Ends
# with the path and SHA-256 of the Kavrel.exe a user copies.
set -euo pipefail
build=${1:-build}
status=0
for dir in "$build" "$build/windows" "$build/windows64" "$build/fuzz"; do
  if [ -f "$dir/CTestTestfile.cmake" ]; then
    echo "== tests in $dir"
    # The full soak is `make soak`'s.
    ctest --test-dir "$dir" --output-on-failure --timeout 1800 -LE soak-full || status=1
  fi
done
"$(dirname "$0")/show-exe.sh" "$build" || status=1
exit $status
