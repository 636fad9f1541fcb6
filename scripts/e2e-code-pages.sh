#!/usr/bin/env bash
# Kavrel's window under each code page Windows may run non-Unicode programs
# with, compared with the one under 936, and the six side by side in
# BUILD/code-pages.png (each shot in BUILD/code-pages/).
#
# The prefix draws the faces Kavrel names in its CJK font under every code
# page, and the harness keeps the dialog font's face (scripts/wine-prefix.sh,
# scripts/wine-run.sh). So the CJK code pages give the 936 window exactly.
# Under 1252 and 65001 the system's default GUI font, which most units use,
# is 11 pixels high where the CJK code pages make it 12, on Windows as under
# Wine: those two windows must equal each other exactly, and the 936 one
# exactly where no text of that font is (the caption, the picture, the
# label with a font of its own); elsewhere at most 5% of the pixels may
# differ. The characters themselves are the code-page suites' exact reads.
#
#   scripts/e2e-code-pages.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
out=$build/code-pages
mkdir -p "$out"
pages=(936 950 932 949 1252 65001)
for cp in "${pages[@]}"; do
  KAVREL_CODEPAGE=$cp "$root/scripts/e2e-screenshot.sh" "$build" "$out/$cp.png" >/dev/null
done

fail=0
differ() {  # pixels that differ between two images, in one region or all
  if [ -n "${3:-}" ]; then
    convert "$1" -crop "$3" +repage "$out/a.png" && convert "$2" -crop "$3" +repage "$out/b.png"
    set -- "$out/a.png" "$out/b.png"
  fi
  compare -metric AE "$1" "$2" null: 2>&1 || true
}
check() {  # what, pixels, most allowed
  echo "code pages: $1: $2 pixels differ (at most $3)"
  [[ "$2" =~ ^[0-9]+$ ]] && [ "$2" -le "$3" ] || fail=1
}
base=$out/936.png
for cp in 950 932 949; do check "$cp against 936" "$(differ "$base" "$out/$cp.png")" 0; done
check "65001 against 1252" "$(differ "$out/1252.png" "$out/65001.png")" 0
for region in 482x80+0+0 110x40+318+80; do
  check "1252 against 936 in $region" "$(differ "$base" "$out/1252.png" "$region")" 0
done
total=$(identify -format '%[fx:w*h]' "$base")
check "1252 against 936" "$(differ "$base" "$out/1252.png")" $((total / 20))
rm -f "$out/a.png" "$out/b.png"

shots=()
for cp in "${pages[@]}"; do shots+=("$out/$cp.png"); done
montage -font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc -pointsize 14 -label 'code page %t' \
  "${shots[@]}" -tile 6x1 -geometry +6+6 "$build/code-pages.png"
echo "code pages: the six windows side by side in $build/code-pages.png"
exit $fail
