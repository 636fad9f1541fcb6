#!/usr/bin/env bash
# Checks the shipped Kavrel.exe: no symbols or debug sections left in it; a
# .gnu_debuglink that names Kavrel.exe.debug beside it with that file's CRC;
# the debug file's sections where the executable's are, so that its symbol
# addresses hold for the running program; the PE time stamp set to
# SOURCE_DATE_EPOCH; and none of this build's folders written into it or
# into the debug file (whose CRC the executable carries).
#
#   scripts/check-release.sh Kavrel.exe EPOCH FOLDER...
set -euo pipefail
exe=$1 epoch=$2
shift 2
debug=$exe.debug
objdump=i686-w64-mingw32-objdump
objcopy=i686-w64-mingw32-objcopy
fail=0
bad() { echo "check-release: $*" >&2; fail=1; }

[ -f "$debug" ] || { echo "check-release: $debug is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Whole outputs first: grep -q ending a pipe early would fail it (pipefail).
$objdump -h "$exe" >"$work/headers"
if grep -q ' \.debug_' "$work/headers"; then bad "$exe still has debug sections"; fi
i686-w64-mingw32-nm "$exe" >"$work/symbols" 2>&1 || true
grep -q 'no symbols' "$work/symbols" || bad "$exe still has a symbol table"
# The soak test reads the runtime heap's count through this symbol.
i686-w64-mingw32-nm "$debug" >"$work/debug-symbols"
grep -q ' __ZN6kavrel12_GLOBAL__N_113g_outstandingE$' "$work/debug-symbols" ||
  bad "$debug lacks the runtime heap's counter symbol"

# .gnu_debuglink: the file name, NUL padding to four bytes, then the CRC-32
# of the debug file, little-endian (the same CRC as gzip's trailer).
if $objcopy --dump-section .gnu_debuglink="$work/link" "$exe" "$work/copy" 2>/dev/null && [ -s "$work/link" ]; then
  name=$(head -c "$(($(stat -c %s "$work/link") - 4))" "$work/link" | tr -d '\0')
  [ "$name" = "$(basename "$debug")" ] || bad ".gnu_debuglink names \"$name\""
  crc=$(tail -c 4 "$work/link" | od -An -tx4 | tr -d ' \n')
  want=$(gzip -c "$debug" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n')
  [ "$crc" = "$want" ] || bad ".gnu_debuglink CRC $crc, $debug has $want"
else
  bad "$exe has no .gnu_debuglink"
fi

# Name, size and address of every section the program loads.
sections() { $objdump -h "$1" | awk '/^ *[0-9]+ /{ if ($2 !~ /^\.debug_|^\.gnu_debuglink$/) print $2, $3, $4 }'; }
[ "$(sections "$exe")" = "$(sections "$debug")" ] || bad "$debug's sections are not where $exe's are"

pe=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$exe" | tr -d ' ')
[ "$stamp" = "$((epoch % 4294967296))" ] || bad "PE time stamp $stamp, not $epoch"

# A folder of one level (/build, /src) could match paths that Debian's own
# libraries carry; a real build folder is deeper.
folders=()
for folder in "$@"; do
  [[ $folder = /*/* ]] && folders+=("$folder")
done
for file in "$exe" "$debug"; do
  strings -a "$file" >"$work/strings"
  strings -a -el "$file" >>"$work/strings"
  for folder in "${folders[@]}"; do
    if grep -qF "$folder" "$work/strings"; then bad "$file names $folder"; fi
  done
done

[ "$fail" = 0 ] && echo "check-release: $exe ($(stat -c %s "$exe") bytes) is stripped, linked to $(basename "$debug"), stamped $stamp"
exit $fail
