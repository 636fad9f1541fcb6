#!/usr/bin/env bash
# Makes the guest in which the 32-bit Windows programs run on a machine whose
# kernel runs no 32-bit x86 code: a small Debian system from Debian's own
# packages (its kernel, Wine for 32-bit and 64-bit programs, Xvfb, fonts,
# ctest), written to a raw ext4 disk with the kernel and initrd beside it.
# scripts/guest-run.sh boots it under qemu's full-system emulation.
#
#   scripts/guest-image.sh DIR
#
# DIR gets disk.img, vmlinuz, initrd.img and a mark, ready, written last;
# with the mark there, and made by this script as it is now, nothing is done.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:?usage: guest-image.sh DIR}")
mark=$out/ready
self=$(sha256sum "$0" "$root/scripts/guest-init.sh" "$root/scripts/wine-prefix.sh" "$root/scripts/wine-locales.sh" |
  sha256sum | cut -c1-16)
if [ -f "$mark" ] && [ "$(cat "$mark")" = "$self" ]; then
  echo "guest: image in $out is ready"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# What the suites use inside: Wine (wine32 for the 32-bit prefix, wine64 for
# WoW64), Xvfb, the CJK font and Marlett, ImageMagick for the screenshot,
# ctest to run the suites in place, the locales of every code page the
# suites run under, and what boots and mounts the shares.
PKGS="linux-image-amd64 initramfs-tools kmod util-linux mount procps iproute2 \
  wine wine32:i386 wine64 xvfb xauth fonts-wqy-microhei fonts-wine \
  imagemagick cmake locales"

# The host's own Debian sources, so that the guest comes from the archive
# this machine uses, at the same release.
sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list

rm -rf "$out"
mkdir -p "$out"
tree=$out/rootfs
start=$SECONDS
echo "guest: installing Debian with Wine into $tree (a few minutes)"
# No manuals, documentation or translations: a third less to unpack. The
# initrd holds only what the guest's virtual machine needs: a fraction of
# the time to make and to boot.
make_tree() {
$SUDO mmdebstrap --variant=essential --architectures=amd64,i386 \
  --include="$(echo $PKGS | tr " " ,)" \
  --aptopt='APT::Install-Recommends "false"' \
  --dpkgopt='path-exclude=/usr/share/man/*' \
  --dpkgopt='path-exclude=/usr/share/doc/*' \
  --dpkgopt='path-exclude=/usr/share/locale/*' \
  --dpkgopt='path-exclude=/usr/share/info/*' \
  --essential-hook='mkdir -p "$1/etc/initramfs-tools/conf.d"' \
  --essential-hook='echo MODULES=list >"$1/etc/initramfs-tools/conf.d/kavrel"' \
  --essential-hook='printf "%s\n" virtio_pci virtio_blk ext4 9pnet_virtio 9p >"$1/etc/initramfs-tools/modules"' \
  --customize-hook="for l in $("$root/scripts/wine-locales.sh"); do chroot \"\$1\" localedef -i \${l%.UTF-8} -c -f UTF-8 \$l; done" \
  bookworm "$tree" "$1" </dev/null
}
# A mirror caught syncing fails an index now and then ("File has unexpected
# size"): the tree is made again after a pause, and then without the
# security suite, which a guest that only runs the tests can do without.
if ! make_tree "$sources"; then
  echo "guest: the archive failed; again in 60 s" >&2
  sleep 60
  $SUDO rm -rf "$tree"
  if ! make_tree "$sources"; then
    echo "guest: the archive failed again; once more without the security suite" >&2
    $SUDO rm -rf "$tree"
    plain=$out/plain.${sources##*.}
    if [ "${sources##*.}" = sources ]; then
      awk 'BEGIN { RS = ""; ORS = "\n\n" } !/debian-security/' "$sources" >"$plain"
    else
      grep -v debian-security "$sources" >"$plain"
    fi
    make_tree "$plain" || { echo "guest: Debian could not be installed into $tree" >&2; exit 1; }
  fi
fi
echo "guest: packages installed in $((SECONDS - start)) s"

$SUDO install -m 0755 "$root/scripts/guest-init.sh" "$tree/sbin/kavrel-init"
# Folders the shares are mounted on are made at boot; the disk is never
# written (qemu's snapshot mode), so the guest starts the same every time.
kernel=$(ls "$tree"/boot/vmlinuz-* | sort -V | tail -1)
initrd=$(ls "$tree"/boot/initrd.img-* | sort -V | tail -1)
$SUDO install -m 0644 -o "$(id -u)" -g "$(id -g)" "$kernel" "$out/vmlinuz"
$SUDO install -m 0644 -o "$(id -u)" -g "$(id -g)" "$initrd" "$out/initrd.img"

# The disk: the tree plus room for the two prefixes (2 GB) and what runs
# write outside the shares.
used=$($SUDO du -sm "$tree" | cut -f1)
size=$((used + 3072))
echo "guest: writing a ${size} MiB ext4 disk from the tree"
$SUDO mke2fs -q -t ext4 -L kavrel -d "$tree" -E root_owner=0:0 "$out/disk.img" "${size}M"
$SUDO chown "$(id -u):$(id -g)" "$out/disk.img"
$SUDO rm -rf "$tree"

# Wine's two prefixes, 32-bit and 64-bit (for WoW64), made once here in the
# guest, the one time its disk is written: making them takes minutes under
# emulation. Each run of the suites sees them through an overlay
# (scripts/guest-inside.sh), so they start the same every time.
echo "guest: making Wine's prefixes in the guest (a few minutes)"
KAVREL_GUEST_WRITABLE=1 "$root/scripts/guest-run.sh" "$(dirname "$out")" bash -c '
  mkdir -p /opt/kavrel &&
  KAVREL_WINEPREFIX=/opt/kavrel/wineprefix "$0/scripts/wine-run.sh" --prefix-only &&
  KAVREL_WOW64=1 KAVREL_WINEPREFIX=/opt/kavrel/wineprefix-wow64 "$0/scripts/wine-run.sh" --prefix-only &&
  rm -f /opt/kavrel/*.lock' "$root"
echo "$self" >"$mark"
echo "guest: image ready in $out ($((SECONDS - start)) s)"
