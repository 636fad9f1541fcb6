# Makes the Wine prefix $WINEPREFIX with $wine, once: sourced by
# scripts/wine-run.sh, with the display up. A lock keeps two runs from making
# it at the same time. The mark's name changes whenever a new prefix gets
# more, so that older ones are made again. The qemu guest's disk carries both
# prefixes made this way (scripts/guest-image.sh).
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kavrel-ready-marlett" ]; then
    rm -rf "$WINEPREFIX"
    env LC_ALL=zh_CN.UTF-8 "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
    # Marlett: its glyphs "0", "1" and "r" are the frame's caption buttons.
    # Wine does not load the copy of Debian's fonts-wine on its own, and
    # without it the buttons show those letters in the default font.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
    touch "$WINEPREFIX/.kavrel-ready-marlett"
  fi
) 9>"$WINEPREFIX.lock" || { echo "wine-run: the prefix $WINEPREFIX could not be made" >&2; exit 1; }

