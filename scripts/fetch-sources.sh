#!/usr/bin/env bash
# Fetches Debian's source packages of libjpeg-turbo and libpng and unpacks
# them (with Debian's patches applied) into DEST/libjpeg-turbo and DEST/libpng.
# Nothing comes from anywhere but Debian's archive. Quick when already there.
set -euo pipefail
dest=${1:?usage: fetch-sources.sh DEST}
mkdir -p "$dest"
cd "$dest"

fetch() {  # package, folder
  local pkg=$1 dir=$2
  [ -f "$dir/.unpacked" ] && return 0
  rm -rf "$dir" dl-"$pkg"
  mkdir dl-"$pkg"
  (
    cd dl-"$pkg"
    # The newest version first; an archive that no longer serves one of the
    # listed versions falls back to the next.
    if ! apt-get source --download-only "$pkg" >/dev/null 2>&1; then
      ok=0
      for v in $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -r -V); do
        rm -f ./*
        if apt-get source --download-only "$pkg=$v" >/dev/null 2>&1; then ok=1; break; fi
      done
      [ "$ok" = 1 ] || { echo "fetch-sources: cannot download $pkg" >&2; exit 1; }
    fi
    dsc=$(ls ./*.dsc | head -n 1)
    dpkg-source --no-check -x "$dsc" ../"$dir" >/dev/null
  )
  rm -rf dl-"$pkg" ./*.orig.tar.* ./*.debian.tar.*
  touch "$dir/.unpacked"
  echo "fetch-sources: $pkg unpacked into $dest/$dir"
}

fetch libjpeg-turbo libjpeg-turbo
fetch libpng1.6 libpng
