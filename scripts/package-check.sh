#!/usr/bin/env bash
# Installs the Debian package in a fresh Debian 12 root and starts it there, as a school's administrator
# would: apt-get install ./yojidrill_<version>_amd64.deb, then the program's first start on the base
# folder that the installed パスデータ.txt names (not there yet), yoji-data school, the start on the
# empty school, the demo school, and an upgrade that keeps the edited パスデータ.txt.
#
# As root (debootstrap and chroot). The package is built first (scripts/package.sh). The fresh root is
# made by debootstrap from the mirror apt already uses, once, into build/package-check/base (never
# changed afterwards); every run copies it to build/package-check/root and works there. Screens are
# shot from a virtual display (Xvfb inside the root) to build/package-check/*.png; what each step
# printed is in build/package-check/*.log, the verdicts in build/package-check/report.txt.
#
#   PACKAGE_CHECK_MIRROR=<url>   debootstrap from this mirror instead
#   PACKAGE_CHECK_REBOOTSTRAP=1  make the base root again
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$here/.." && pwd)
WORK="$ROOT/build/package-check"
BASE="$WORK/base"
CHROOT="$WORK/root"
REPORT="$WORK/report.txt"
APP=/opt/kamirato/四字熟語
PATH_DATA=/opt/kamirato/パスデータ.txt

die() {
    echo "error: $1" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || die "run as root: debootstrap and chroot need it"
for tool in debootstrap chroot dpkg-deb convert; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool is missing (Debian packages: debootstrap dpkg imagemagick)"
done

"$here/package.sh" || die "building the package failed"
deb=$(ls -t "$ROOT"/build/package/yojidrill_*_"$(dpkg --print-architecture)".deb | head -n 1)
[ -f "$deb" ] || die "no package in build/package/"
mkdir -p "$WORK"
rm -f "$WORK"/*.png "$WORK"/*.log "$REPORT"

# The Debian mirror of the host's own apt sources (deb822 .sources or one-line .list files).
mirror() {
    if [ -n "${PACKAGE_CHECK_MIRROR:-}" ]; then
        echo "$PACKAGE_CHECK_MIRROR"
        return
    fi
    local found
    found=$(awk '/^URIs:/ { uri = $2 } /^Suites:/ && / bookworm( |$)/ && uri != "" { print uri; exit }' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null)
    [ -z "$found" ] && found=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null)
    echo "${found:-http://deb.debian.org/debian}"
}
MIRROR=$(mirror)

if [ "${PACKAGE_CHECK_REBOOTSTRAP:-0}" = 1 ] || [ ! -x "$BASE/usr/bin/apt-get" ]; then
    echo "Making a fresh Debian 12 root with debootstrap from $MIRROR (once) ..."
    rm -rf "$BASE" "$BASE.tmp"
    debootstrap --variant=minbase bookworm "$BASE.tmp" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
        die "debootstrap failed (see $WORK/debootstrap.log)"
    mv "$BASE.tmp" "$BASE"
fi

mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[$i]}" 2>/dev/null
    done
}
trap cleanup EXIT
# A run that was killed may have left the host's /dev and /proc mounted in the old root: unmount them
# before anything there is removed, and never remove across a mount.
awk -v root="$CHROOT/" 'index($2 "/", root) == 1 { print $2 }' /proc/mounts | sort -r | while read -r m; do
    umount -l "$m"
done
rm -rf --one-file-system "$CHROOT"
cp -a "$BASE" "$CHROOT" || die "copying the base root failed"
for fs in proc sys dev dev/pts; do
    mkdir -p "$CHROOT/$fs"
    case $fs in
    proc) mount -t proc proc "$CHROOT/proc" ;;
    sys) mount -t sysfs sys "$CHROOT/sys" ;;
    *) mount --bind "/$fs" "$CHROOT/$fs" ;;
    esac && mounted+=("$CHROOT/$fs") || die "mounting /$fs in the root failed"
done
cp /etc/resolv.conf "$CHROOT/etc/resolv.conf"
# The suites of a Debian 12 installation, from the same mirror.
security=$(awk '/^URIs:/ { uri = $2 } /^Suites:/ && /bookworm-security/ { print uri; exit }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null)
{
    echo "deb $MIRROR bookworm main"
    echo "deb $MIRROR bookworm-updates main"
    echo "deb ${security:-http://deb.debian.org/debian-security} bookworm-security main"
} >"$CHROOT/etc/apt/sources.list"
cp "$deb" "$CHROOT/tmp/"
debname=$(basename "$deb")

in_root() {
    chroot "$CHROOT" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

failures=0
verdict() { # verdict PASS|FAIL text
    echo "$1  $2" | tee -a "$REPORT"
    [ "$1" = PASS ] || failures=$((failures + 1))
}
check() { # check "what" command...: PASS when the command succeeds
    local what=$1
    shift
    if "$@"; then verdict PASS "$what"; else verdict FAIL "$what"; fi
}
check_logged() { # check_logged "what" LOG command...: the same, with what the command prints in LOG
    local what=$1 log=$2
    shift 2
    if "$@" >"$log" 2>&1; then verdict PASS "$what"; else verdict FAIL "$what (see $log)"; fi
}

echo "Package: $debname" | tee "$REPORT"
echo "Root: Debian $(cat "$CHROOT/etc/debian_version") (debootstrap --variant=minbase bookworm, $MIRROR)" | tee -a "$REPORT"

in_root apt-get update >"$WORK/apt-update.log" 2>&1 || die "apt-get update in the root failed (see $WORK/apt-update.log)"
start=$(date +%s)
check_logged "apt-get install ./$debname" "$WORK/install.log" in_root apt-get install -y "./tmp/$debname"
echo "      $(grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$WORK/install.log") in $(($(date +%s) - start)) s" |
    tee -a "$REPORT"
conffiles=$(in_root dpkg-query -W -f='${Conffiles}' yojidrill)
echo "      conffiles:$conffiles" | tee -a "$REPORT"
check "dpkg knows $PATH_DATA as a conffile" grep -q " $PATH_DATA " <<<"$conffiles "
libraries=$(in_root ldd "$APP/yojidrill" /usr/bin/yoji-data /usr/lib/yojidrill/make-demo-school 2>&1)
check "the programs find every library" test -n "$libraries" -a -z "$(grep 'not found' <<<"$libraries")"
in_root yoji-data --help >"$WORK/yoji-data-help.log" 2>&1
check "yoji-data --help explains yoji-data school" grep -q 'yoji-data school <共通フォルダ>' "$WORK/yoji-data-help.log"

# The display tools are the check's, not the package's: they are installed after it.
in_root apt-get install -y --no-install-recommends xvfb xauth >"$WORK/xvfb-install.log" 2>&1 ||
    die "installing Xvfb in the root failed (see $WORK/xvfb-install.log)"

# Starts a command in the root on a virtual display of 1024 x 768, waits until the screen stays the same
# for two looks in a row (at most 40 s), keeps it as NAME.png and ends the command. Prints "yes" when
# the command was still running then (a program that died has ended its display too).
shoot() { # shoot NAME command...
    local name=$1
    shift
    rm -rf "$CHROOT/tmp/fb"
    mkdir -p "$CHROOT/tmp/fb"
    # timeout runs in a process group of its own; ended, it ends the group: xvfb-run, Xvfb, the program.
    chroot "$CHROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        timeout 60 xvfb-run -a -s "-screen 0 1024x768x24 -fbdir /tmp/fb" "$@" >"$WORK/$name.log" 2>&1 &
    local pid=$! last="" now i
    for ((i = 0; i < 20; i++)); do
        sleep 2
        [ -f "$CHROOT/tmp/fb/Xvfb_screen0" ] || continue
        convert "xwd:$CHROOT/tmp/fb/Xvfb_screen0" "$WORK/$name.png" 2>/dev/null || continue
        now=$(md5sum <"$WORK/$name.png")
        [ "$now" = "$last" ] && [ "$(convert "$WORK/$name.png" -format '%k' info:)" -gt 8 ] && break
        last=$now
    done
    local alive=no
    kill -0 "$pid" 2>/dev/null && alive=yes
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "$alive"
}

# 1. First start: the installed パスデータ.txt names /srv/juku/, which is not there yet.
base=$(in_root sh -c "iconv -f CP932 -t UTF-8 '$PATH_DATA' | cut -d, -f1 | tr -d '\"'")
echo "      installed $PATH_DATA names the base folder $base" | tee -a "$REPORT"
alive=$(shoot first-start "$APP/yojidrill")
check "first start on a missing base folder shows a message and waits (screenshot first-start.png)" [ "$alive" = yes ]

# 2. An empty school laid out by yoji-data, and the program started on it from the desktop entry's command.
in_root yoji-data school "$base" >"$WORK/yoji-data-school.log" 2>&1
check "yoji-data school $base" grep -q '先生のパスワード' "$WORK/yoji-data-school.log"
alive=$(shoot empty-school yojidrill)
check "the program starts on the empty school (screenshot empty-school.png)" [ "$alive" = yes ]

# 3. The demo school, through its command.
alive=$(shoot demo-school yojidrill-demo /root/demo)
check "yojidrill-demo lays out the demo school and starts on it (screenshot demo-school.png)" \
    test "$alive" = yes -a -f "$CHROOT/root/demo/塾データ/新名簿.txt"

# 4. An upgrade keeps the administrator's パスデータ.txt: the same package as a later version.
edited='"/srv/juku/",他の設定,,,,,,,,'
in_root sh -c "printf '%s\r\n' '$edited' | iconv -f UTF-8 -t CP932 > '$PATH_DATA'"
before=$(md5sum <"$CHROOT$PATH_DATA")
rm -rf "$WORK/repack"
dpkg-deb -R "$deb" "$WORK/repack"
sed -i 's/^Version: .*/&+check1/' "$WORK/repack/DEBIAN/control"
dpkg-deb -b "$WORK/repack" "$CHROOT/tmp/upgrade.deb" >/dev/null
rm -rf "$WORK/repack"
check_logged "upgrade to $(dpkg-deb -f "$CHROOT/tmp/upgrade.deb" Version)" "$WORK/upgrade.log" \
    in_root apt-get install -y ./tmp/upgrade.deb
check "the upgrade kept the edited $PATH_DATA" test "$(md5sum <"$CHROOT$PATH_DATA")" = "$before"

echo "Screenshots: $WORK/first-start.png, empty-school.png, demo-school.png" | tee -a "$REPORT"
if [ "$failures" -gt 0 ]; then
    echo "$failures step(s) failed; see $REPORT and the logs in $WORK" >&2
    exit 1
fi
echo "Every step passed."
