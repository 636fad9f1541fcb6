#!/usr/bin/env bash
# Runs one command inside the guest that scripts/guest-image.sh made, with
# this project's source and build folders shared at the same absolute paths
# (virtio-9p), so that what it builds on and writes are the host's own
# files. The guest is booted under qemu's full-system emulation, with its
# own kernel; its disk is not written. What the command prints comes out
# here, and its exit code is this script's.
#
#   scripts/guest-run.sh BUILD COMMAND [ARGS...]
#
# KAVREL_GUEST_TIMEOUT bounds a run in seconds (default 3600);
# KAVREL_GUEST_WRITABLE=1 keeps what the run writes to the guest's disk (only
# scripts/guest-image.sh does that).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: guest-run.sh BUILD COMMAND [ARGS...]}" && pwd)
shift
[ $# -ge 1 ] || { echo "usage: guest-run.sh BUILD COMMAND [ARGS...]" >&2; exit 2; }
guest=$build/guest
for f in disk.img vmlinuz initrd.img; do
  [ -f "$guest/$f" ] || { echo "guest-run: no guest in $guest (scripts/guest-image.sh makes it)" >&2; exit 1; }
done

ctl=$(mktemp -d "$guest/run.XXXXXX")
trap 'rm -rf "$ctl"' EXIT
cp "$root/scripts/guest-inside.sh" "$ctl/inside.sh"
printf 'KAVREL_GUEST_%s=%q\n' SRC "$root" BUILD "$build" CWD "$PWD" >"$ctl/env"
printf '%s\0' "$@" >"$ctl/cmd"

# With -cpu max the guest kernel faults when a 32-bit process returns from a
# fault under emulation; without SMAP, SMEP and PKU it runs cleanly.
cpus=$(nproc)
[ "$cpus" -le 4 ] || cpus=4
snapshot=on
[ "${KAVREL_GUEST_WRITABLE:-0}" = 1 ] && snapshot=off
status=0
timeout --foreground "${KAVREL_GUEST_TIMEOUT:-3600}" \
  qemu-system-x86_64 -nodefaults -no-user-config -no-reboot \
    -machine pc -accel tcg,thread=multi -cpu max,-smap,-smep,-pku \
    -smp "$cpus" -m 4096 -display none -vga none -monitor none -serial stdio \
    -bios /usr/share/qemu/qboot.rom \
    -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -append "root=/dev/vda rw fastboot quiet loglevel=3 console=ttyS0 init=/sbin/kavrel-init mitigations=off panic=-1" \
    -drive "file=$guest/disk.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$root,mount_tag=src,security_model=none,id=src" \
    -virtfs "local,path=$build,mount_tag=build,security_model=none,id=build" \
    -virtfs "local,path=$ctl,mount_tag=ctl,security_model=none,id=ctl" \
    </dev/null || status=$?
if [ ! -s "$ctl/status" ]; then
  echo "guest-run: the guest ended without finishing the command (qemu exit code $status)" >&2
  exit 1
fi
exit "$(cat "$ctl/status")"
