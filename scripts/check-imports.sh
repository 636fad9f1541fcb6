#!/usr/bin/env bash
# Fails when an executable imports any DLL that is not part of Windows.
set -euo pipefail
exe=$1
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll ole32.dll advapi32.dll msvcrt.dll shell32.dll"
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no imports found in $exe" >&2; exit 1; }
bad=0
for d in $dlls; do
  case " $allowed " in
    *" $d "*) echo "import: $d" ;;
    *) echo "import not allowed: $d" >&2; bad=1 ;;
  esac
done
exit $bad
