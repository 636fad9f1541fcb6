# Makes the Wine prefix $WINEPREFIX with $wine, once: sourced by
# scripts/wine-run.sh, with the display up. A lock keeps two runs from making
# it at the same time. The mark's name changes whenever a new prefix gets
# more, so that older ones are made again. The qemu guest's disk carries both
# prefixes made this way (scripts/guest-image.sh).
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kavrel-ready-fonts" ]; then
    rm -rf "$WINEPREFIX"
    env LC_ALL=zh_CN.UTF-8 "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
    # Marlett: its glyphs "0", "1" and "r" are the frame's caption buttons.
    # Wine does not load the copy of Debian's fonts-wine on its own, and
    # without it the buttons show those letters in the default font.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
    # The faces Kavrel asks for by name are the prefix's CJK font under every
    # code page: without this a code page other than 936 picks a Latin face
    # for them, and its characters show as boxes. The names go in a UTF-16
    # file, as they would be garbled as arguments.
    reg=$WINEPREFIX/kavrel-fonts.reg
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n' >"$reg.utf8"
    for face in 宋体 SimSun 华文行楷; do printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face" >>"$reg.utf8"; done
    iconv -f UTF-8 -t UTF-16 "$reg.utf8" >"$reg" && rm "$reg.utf8" || exit 1
    env LC_ALL=zh_CN.UTF-8 "$wine" regedit /S "Z:${reg//\//\\}" && wineserver -w && rm "$reg" || exit 1
    touch "$WINEPREFIX/.kavrel-ready-fonts"
  fi
) 9>"$WINEPREFIX.lock" || { echo "wine-run: the prefix $WINEPREFIX could not be made" >&2; exit 1; }

