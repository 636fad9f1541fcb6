#!/usr/bin/env bash
# Installs everything the builds and tests need, from Debian's packages only.
# Quick when everything is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

HOST_PKGS="cmake g++ make pkg-config nasm clang libclang-rt-14-dev \
  libjpeg-dev libpng-dev zlib1g-dev libgtest-dev libbenchmark-dev googletest \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev \
  xvfb xauth fonts-wqy-microhei fonts-wine imagemagick dpkg-dev locales"
# wine64 runs the 64-bit build on machines that cannot run 32-bit code.
WINE_PKGS="wine wine32:i386 wine64"

# The packages of those named that are not installed, each after a blank.
not_installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || printf ' %s' "$p"
  done
}
missing=$(not_installed $HOST_PKGS $WINE_PKGS)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source packages for the Windows builds of libjpeg-turbo and libpng.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && \
   ! grep -qs '^deb-src' /etc/apt/sources.list; then
  src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" | $SUDO tee /etc/apt/sources.list.d/kavrel-src.sources >/dev/null
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/kavrel-src.list >/dev/null
  fi
  need_update=1
fi

if [ -n "$missing" ] || [ "$need_update" = 1 ]; then
  $SUDO apt-get update -q
  updated=1
fi
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi
# The locales whose code pages the suites run Kavrel under
# (scripts/wine-run.sh), so that Wine's Unix side keeps UTF-8 in each.
for l in $(bash "$(dirname "$0")/wine-locales.sh"); do
  locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf8" || $SUDO localedef -i "${l%.UTF-8}" -c -f UTF-8 "$l"
done
# A machine that runs no 32-bit code runs the 32-bit suites in a qemu guest
# that the build makes from Debian's packages (scripts/guest-image.sh).
if ! "$(dirname "$0")/runs-32bit.sh"; then
  guest_missing=$(not_installed qemu-system-x86 mmdebstrap e2fsprogs)
  if [ -n "$guest_missing" ]; then
    echo "setup: this machine runs no 32-bit code; installing for the guest:$guest_missing"
    [ "${updated:-0}" = 1 ] || $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $guest_missing
  fi
fi
echo "setup: all packages present"
