#!/bin/bash
# The first process of a classroom PC (a user-mode Linux guest whose root is the host's own files, read
# only). The kernel hands it CLASSROOM_FOLDER (this PC's folder on the host), CLASSROOM_ADDRESS and
# CLASSROOM_SERVER. It mounts the share, says so in the folder and then runs the requests the host leaves
# there as request-<id>.sh, each in the background. The loop itself starts no process: starting one
# costs about 70 ms in a guest, so it waits with `read -t` on a pipe that nothing writes to.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp LANG=C.UTF-8
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t tmpfs tmp /tmp
mount -t tmpfs run /run
mkdir -p /tmp/host /tmp/school /tmp/modules/lib/modules
mount -t hostfs host /tmp/host -o "$CLASSROOM_FOLDER"
H=/tmp/host
exec >"$H/console.log" 2>&1
VERSION=$(uname -r)
ln -s "/usr/lib/uml/modules/$VERSION" "/tmp/modules/lib/modules/$VERSION"
# The kernel's own requests for modules (a cipher the server picks) go through the same tree.
printf '#!/bin/sh\nexec /sbin/modprobe -d /tmp/modules "$@"\n' >/tmp/modprobe
chmod +x /tmp/modprobe
echo /tmp/modprobe >/proc/sys/kernel/modprobe
for m in nls_utf8 cmac sha512_generic hmac ecb ctr ghash_generic ccm gcm cifs; do
    modprobe -d /tmp/modules "$m" || echo "module $m: not loaded"
done
ip link set lo up
ip link set vec0 up
ip addr add "$CLASSROOM_ADDRESS/24" dev vec0
mkfifo /tmp/idle
exec 9<>/tmp/idle
nap() { read -r -t "$1" -u 9 _ || true; }
for i in $(seq 1 300); do
    mount -t cifs "//$CLASSROOM_SERVER/school" /tmp/school -o "$CLASSROOM_MOUNT" && break
    nap 0.2
done
{ uname -r; mount.cifs -V; cat /sys/module/cifs/version 2>/dev/null || echo '?'; grep ' /tmp/school ' /proc/mounts; } >"$H/versions"
: >"$H/ready"
while [ ! -e "$H/quit" ]; do
    for f in "$H"/request-*.sh; do
        [ -e "$f" ] || continue
        id=${f#"$H"/request-}
        id=${id%.sh}
        mv "$f" "/tmp/request-$id.sh"
        (
            bash "/tmp/request-$id.sh" >"$H/reply-$id.log" 2>&1 </dev/null
            echo $? >"$H/reply-$id.tmp"
            mv "$H/reply-$id.tmp" "$H/reply-$id.status"
        ) &
    done
    nap 0.02
done
umount /tmp/school
: >"$H/stopped"
halt -f
