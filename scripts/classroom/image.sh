#!/usr/bin/env bash
# Lays out the disk image of the classroom check's virtual machines (one image for the file server and
# the PCs; each machine boots it with copy-on-write, so the image itself never changes): Debian 12 with
# Debian's own kernel, Samba, the Linux SMB client and the libraries the worker program needs. The
# packages come from the Debian mirror this machine's apt already uses.
#
#   scripts/classroom/image.sh <folder>     writes <folder>/rootfs.img, vmlinuz, initrd.img
#
# Takes some minutes the first time; the image is kept and used again while this script and init.sh
# are unchanged.
set -euo pipefail

OUT=$1
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STAMP=$(cat "$HERE/image.sh" "$HERE/init.sh" | sha256sum | cut -c1-16)

if [ -f "$OUT/rootfs.img" ] && [ "$(cat "$OUT/stamp" 2>/dev/null)" = "$STAMP" ]; then
    exit 0
fi

SUITE=bookworm
# The packages every machine needs: the kernel and its module tools, the SMB server and client, and
# what the worker program links against.
PACKAGES="linux-image-amd64 kmod iproute2 procps cifs-utils samba
  libqt6core6 libpulse0 libsndfile1 libicu72"

mirror() {
    if [ -n "${CLASSROOM_MIRROR:-}" ]; then
        echo "$CLASSROOM_MIRROR"
        return
    fi
    # The first Debian archive of this machine's apt sources (deb822 or one-line format) that
    # carries the suite.
    local uri
    uri=$(awk -v suite="$SUITE" '
        /^URIs:/ { uris = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite && uris != "") { print uris; exit } }
    ' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    if [ -z "$uri" ]; then
        uri=$(awk -v suite="$SUITE" '$1 == "deb" && $3 == suite { print $2; exit }' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
    fi
    [ -n "$uri" ] || { echo "error: no Debian mirror for $SUITE in the apt sources" >&2; exit 1; }
    echo "$uri"
}

MIRROR=$(mirror)
WORK="$OUT/rootfs"
rm -rf "$WORK" "$OUT/rootfs.img" "$OUT/stamp"
mkdir -p "$OUT"

cleanup() {
    for m in proc sys dev/pts dev; do
        mountpoint -q "$WORK/$m" 2>/dev/null && umount -l "$WORK/$m" || true
    done
}
trap cleanup EXIT

echo "classroom image: debootstrap $SUITE (a few minutes)"
debootstrap --variant=minbase --include=ca-certificates "$SUITE" "$WORK" "$MIRROR" >"$OUT/debootstrap.log" 2>&1 ||
    { tail -n 30 "$OUT/debootstrap.log" >&2; exit 1; }

# Services must not start inside the chroot while packages are installed.
printf '#!/bin/sh\nexit 101\n' >"$WORK/usr/sbin/policy-rc.d"
chmod +x "$WORK/usr/sbin/policy-rc.d"
mount -t proc proc "$WORK/proc"
mount -t sysfs sys "$WORK/sys"
mount --bind /dev "$WORK/dev"
mount --bind /dev/pts "$WORK/dev/pts"

echo "classroom image: kernel, Samba, SMB client"
chroot "$WORK" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $PACKAGES \
    >"$OUT/packages.log" 2>&1 || { tail -n 30 "$OUT/packages.log" >&2; exit 1; }
chroot "$WORK" apt-get clean

# The school's share and the account the PCs log on with.
chroot "$WORK" useradd -M -d /srv/school -s /usr/sbin/nologin school
mkdir -p "$WORK/srv/school"
chroot "$WORK" chown school:school /srv/school
printf 'classroom\nclassroom\n' | chroot "$WORK" smbpasswd -s -a school >/dev/null
cp "$HERE/init.sh" "$WORK/sbin/classroom-init"
chmod +x "$WORK/sbin/classroom-init"
mkdir -p "$WORK/host" "$WORK/mnt/school"
rm -f "$WORK/usr/sbin/policy-rc.d"

dpkg-query --admindir="$WORK/var/lib/dpkg" -W -f='${Version}' linux-image-amd64 >"$OUT/kernel-package"
dpkg-query --admindir="$WORK/var/lib/dpkg" -W -f='${Version}' samba >"$OUT/samba-package"
cleanup
trap - EXIT
cp -L "$WORK/vmlinuz" "$OUT/vmlinuz"
cp -L "$WORK/initrd.img" "$OUT/initrd.img"

echo "classroom image: writing the disk image"
mkfs.ext4 -q -F -L classroom -d "$WORK" "$OUT/rootfs.img" 3G
rm -rf "$WORK"
echo "$STAMP" >"$OUT/stamp"
