#!/bin/sh
# The guest's first process (init=): brings up the few file systems the
# suites need, mounts the run's control share and hands over to the script
# the host put there (scripts/guest-inside.sh). Whatever happens, the guest
# powers off at the end, so that qemu ends.
mount -t proc proc /proc 2>/dev/null
mount -t sysfs sysfs /sys 2>/dev/null
mount -t devtmpfs devtmpfs /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
# No network but the loopback, and a name that resolves to it: Wine looks
# its host up.
echo kavrel >/proc/sys/kernel/hostname
printf '127.0.0.1 localhost kavrel\n' >/etc/hosts
ip link set lo up
modprobe 9pnet_virtio
modprobe 9p
mkdir -p /kavrel
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 ctl /kavrel; then
  /bin/bash /kavrel/inside.sh
else
  echo "guest: the control share could not be mounted" >/dev/console
fi
sync
echo 1 >/proc/sys/kernel/sysrq
echo o >/proc/sysrq-trigger
sleep 30
