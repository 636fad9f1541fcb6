#!/usr/bin/env bash
# Fails, naming it, on any DLL an executable imports beyond the known DLLs of
# Windows that it needs: those always load from the system folder.
set -euo pipefail
exe=$1
allowed="kernel32.dll user32.dll gdi32.dll ole32.dll msvcrt.dll"
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
