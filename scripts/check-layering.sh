#!/usr/bin/env bash
# Keeps the architecture what docs/ARCHITECTURE.md says it is:
# - every #include "module/..." in src/ runs downward in the module table
#   below (a module may also include itself);
# - only src/entry/ binds the program to the runtime (it may include any
#   module);
# - neutral files (names without _win32) never include <windows.h>;
# - no source file under src/ passes 600 lines.
# Prints each offence and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [base]=""
  [framework]="base"
  [commands]="base framework"
  [templates]="base framework commands"
  [pictures]="base commands"
  [units]="base commands templates pictures framework"
  [window]="base framework commands templates pictures units"
  [app]="base framework commands templates pictures units window"
  [program]="base commands templates units window"
  [entry]="base framework commands templates pictures units window app program"
)
readonly max_lines=600
offences=0

offend() {
  echo "$1"
  offences=$((offences + 1))
}

# One pass over every file: "file<TAB>line<TAB>included module" for each
# include of a module header, "file<TAB>windows.h" for a system header that
# neutral code must not see, and "file<TAB>lines<TAB>N" at each file's end.
scan() {
  awk -v OFS='\t' '
    FNR == 1 && NR > 1 { print prev, "lines", last }
    { prev = FILENAME; last = FNR }
    /^[ \t]*#[ \t]*include[ \t]*"[a-z_]+\// {
      target = $0
      sub(/^[^"]*"/, "", target)
      sub(/\/.*/, "", target)
      print FILENAME, FNR, target
    }
    /^[ \t]*#[ \t]*include[ \t]*<windowsx?\.h>/ { print FILENAME, "windows.h" }
    END { if (NR > 0) print prev, "lines", last }
  ' "$@"
}

while IFS=$'\t' read -r file what value; do
  module=${file#src/}
  module=${module%%/*}
  if [[ ! -v allowed[$module] ]]; then
    offend "$file: folder '$module' is not in the module table"
  elif [[ $what == lines ]]; then
    ((value <= max_lines)) || offend "$file: $value lines (at most $max_lines)"
  elif [[ $what == windows.h ]]; then
    [[ $file == *_win32.* ]] || offend "$file: a neutral file includes <windows.h>"
  elif [[ $value != "$module" && " ${allowed[$module]} " != *" $value "* ]]; then
    offend "$file:$what: $module may not include $value/"
  fi
done < <(scan $(find src -type f \( -name '*.h' -o -name '*.cc' \) | sort))

if ((offences > 0)); then
  echo "layering: $offences offence(s)"
  exit 1
fi
echo "layering: every include runs downward; no source file over $max_lines lines"
