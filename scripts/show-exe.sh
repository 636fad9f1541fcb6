#!/usr/bin/env bash
# Prints where the built Kavrel.exe is, the 32-bit file a user copies, and
# its SHA-256.
set -euo pipefail
exe=$(realpath -m "${1:-build}/windows/Kavrel.exe")
[ -f "$exe" ] || { echo "Kavrel.exe is not built ($exe)" >&2; exit 1; }
echo "Kavrel.exe: $exe ($(stat -c %s "$exe") bytes; symbols in Kavrel.exe.debug beside it)"
echo "SHA-256:    $(sha256sum "$exe" | cut -d' ' -f1)"
