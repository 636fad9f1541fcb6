#!/usr/bin/env bash
# Kavrel's window at 96, 120, 144 and 192 dpi, side by side in
# BUILD/display-scales.png (the shots in BUILD/display-scales/). Each client
# area (the frame is the system's) is compared with the 96-dpi one in 60 x 39
# tiles, each tile's mean grey: none may differ by more than $bound%. Text
# drawn anew at a size, and the system's lines one pixel wide at any scale,
# move ink within a tile (at most 13% at 192 dpi); a caption cut by one
# character or wrapped takes it out (18% to 29%). A build that scales only its
# fonts (kavrel_fonts_only.exe) must break the bound at 144 dpi. The window
# back from 144 dpi ten times by WM_DPICHANGED must be the 96-dpi one exactly.
#
#   scripts/e2e-display-scales.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
out=$build/display-scales
mkdir -p "$out"
bound=15
shot() {  # the shot, and its client area (WxH+X+Y) beside it
  "$root/scripts/e2e-screenshot.sh" "$build" "$1" | sed -n 's/.*; client area //p' | tail -n 1 >"$1.client"
  [ -s "$1.client" ]
}
for dpi in 96 120 144 192; do KAVREL_DPI=$dpi shot "$out/$dpi.png"; done
KAVREL_DPI_TRIPS=10 shot "$out/96-back.png"
fonts_only=$build/windows/kavrel_fonts_only.exe
KAVREL_DPI=144 KAVREL_EXE="Z:${fonts_only//\//\\}" shot "$out/144-fonts-only.png"

fail=0
for name in 120 144 192 144-fonts-only; do
  w=$(convert \( "$out/96.png" -crop "$(cat "$out/96.png.client")" +repage -colorspace gray -scale '60x39!' \) \
    \( "$out/$name.png" -crop "$(cat "$out/$name.png.client")" +repage -colorspace gray -scale '60x39!' \) \
    -compose difference -composite -format '%[fx:round(1000*maxima)/10]' info:)
  want="at most"; [ "$name" = 144-fonts-only ] && want="more than"
  echo "display scales: $name dpi against 96: worst tile $w% ($want $bound%)"
  awk -v w="$w" -v b="$bound" -v more="${name#144-}" 'BEGIN { exit !(more == "fonts-only" ? w > b : w <= b) }' || fail=1
done
back=$(compare -metric AE "$out/96.png" "$out/96-back.png" null: 2>&1 || true)
echo "display scales: back at 96 dpi from 144, ten times: $back pixels differ (none may)"
[ "$back" = 0 ] || fail=1
montage -font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc -pointsize 14 -label '%t dpi' "$out"/{96,120,144,192}.png \
  -tile 4x1 -geometry +6+6 -gravity north "$build/display-scales.png"
echo "display scales: the four windows side by side in $build/display-scales.png"
exit $fail
