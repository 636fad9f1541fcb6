#!/bin/bash
# Runs inside the guest (scripts/guest-init.sh hands over to it): mounts the
# project's source and build folders at the same absolute paths as on the
# host, runs the command the host asked for in place, and leaves its exit
# code in the control share for scripts/guest-run.sh.
set -u
. /kavrel/env
stty -F /dev/console -onlcr 2>/dev/null
exec </dev/null >/dev/console 2>&1
mounted=()
share() {
  mkdir -p "$2" &&
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose "$1" "$2" &&
    mounted=("$2" "${mounted[@]}")
}
if ! share src "$KAVREL_GUEST_SRC" || { [ "$KAVREL_GUEST_BUILD" != "$KAVREL_GUEST_SRC" ] && ! share build "$KAVREL_GUEST_BUILD"; }; then
  echo "guest: the project's folders could not be mounted"
  exit 1
fi
# The 32-bit sub-build's Wine prefixes come ready-made from the guest's disk,
# under an overlay that takes this run's changes in memory.
for p in wineprefix wineprefix-wow64; do
  [ -f "/opt/kavrel/$p/.kavrel-ready-fonts" ] || continue
  at=$KAVREL_GUEST_BUILD/windows/$p
  mkdir -p "$at" "/tmp/overlay/$p/upper" "/tmp/overlay/$p/work" &&
    mount -t overlay overlay -o "lowerdir=/opt/kavrel/$p,upperdir=/tmp/overlay/$p/upper,workdir=/tmp/overlay/$p/work" "$at" &&
    mounted=("$at" "${mounted[@]}")
done
export HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin
export LANG=C.UTF-8
mapfile -d '' -t cmd </kavrel/cmd
{ cd "$KAVREL_GUEST_CWD" 2>/dev/null || cd /; } && "${cmd[@]}"
echo $? >/kavrel/status
cd /
for m in "${mounted[@]}"; do umount "$m" 2>/dev/null; done
