#!/usr/bin/env bash
# Fails, naming it, on any DLL an executable imports beyond the known DLLs of
# Windows that it needs (those always load from the system folder), and on
# any ANSI function of Windows it imports beyond the few that the C and C++
# runtimes use for texts of their own: every text of the program crosses to
# the system in UTF-16.
set -euo pipefail
exe=$1
allowed="kernel32.dll user32.dll gdi32.dll ole32.dll msvcrt.dll"
# The start-up code (GetStartupInfoA), the unwinder's registration
# (GetModuleHandleA, LoadLibraryA), the threads library's named objects
# (CreateEventA, CreateSemaphoreA) and the runtimes' error texts.
runtime_ansi="CreateEventA CreateSemaphoreA FormatMessageA GetModuleHandleA GetStartupInfoA LoadLibraryA OutputDebugStringA"
imports=$(i686-w64-mingw32-objdump -p "$exe")
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$imports" | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no imports found in $exe" >&2; exit 1; }
bad=0
for d in $dlls; do
  case " $allowed " in
    *" $d "*) echo "import: $d" ;;
    *) echo "import not allowed: $d" >&2; bad=1 ;;
  esac
done
for f in $(awk '/DLL Name:/{on=1} on && NF==3 && $1 ~ /^[0-9a-f]+$/ {print $3}' <<<"$imports" | grep -E '[a-z0-9]A$' || true); do
  case " $runtime_ansi " in
    *" $f "*) ;;
    *) echo "ANSI function imported: $f" >&2; bad=1 ;;
  esac
done
exit $bad
