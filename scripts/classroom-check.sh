#!/usr/bin/env bash
# The classroom check: several PCs on one results file on a real SMB share. A Samba file server and
# four PCs are QEMU virtual machines running Debian's own kernel and packages; each PC mounts the share
# with the kernel's SMB client and runs the program's own append and read code (tests/classroom) against
# the same results file at once. The machines talk only over virtual links between the QEMU processes on
# the loopback address (socket network devices); nothing leaves this machine.
#
#   scripts/classroom-check.sh        everything; the figures go to the screen and build/classroom/report.txt
#
# It measures: which kinds of lock shut the program's lock out (on one PC and across the share);
# 2 and 4 PCs x 500 appends each while readers read: records lost, torn, doubled, append times; and a PC
# powered off (its machine killed) while it holds the lock in the middle of an append, of a change in
# place and of a deletion: how long until the server lets the others go on, and what the file holds
# afterwards (after a deletion, once the next PC to change the file has finished it from its copy).
#
# Needs root (the disk image is laid out with debootstrap) and about 4 GB of disk. The first run lays
# out the image (some minutes); later runs reuse it. Uses KVM when a guest kernel boots under it here,
# otherwise QEMU's own emulation (slower; the report says which).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

START=$(date +%s)
PACKAGES="$PACKAGES qemu-system-x86 debootstrap e2fsprogs"
[ "$(id -u)" -eq 0 ] || fail "the classroom check lays out a disk image with debootstrap: run it as root"
ensure_packages
mkdir -p "$LOGS"
cd "$ROOT"
if [ ! -f build/build.ninja ]; then
    cmake --preset default >"$LOGS/configure.log" 2>&1 || fail "configuring failed" "$LOGS/configure.log"
fi
cmake --build build --target classroom-worker >"$LOGS/classroom-build.log" 2>&1 ||
    fail "building the classroom worker failed" "$LOGS/classroom-build.log"
WORKER_BIN="$ROOT/build/tests/classroom-worker"

CHECK="$ROOT/build/classroom"
IMAGE="$CHECK/image"
RUN="$CHECK/run"
REPORT="$CHECK/report.txt"
PCS=4
mkdir -p "$CHECK"
"$ROOT/scripts/classroom/image.sh" "$IMAGE"

rm -rf "$RUN"
mkdir -p "$RUN"
: >"$REPORT"
say() { echo "$*" | tee -a "$REPORT"; }

PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

qemu_base() { # <accel> <memory MB> <folder>: the command line every machine shares, into QEMU
    QEMU=(qemu-system-x86_64 -accel "$1" -m "$2" -smp 1 -display none -no-reboot -nodefaults
        -serial "file:$3/console.log"
        -kernel "$IMAGE/vmlinuz" -initrd "$IMAGE/initrd.img"
        -append "root=/dev/vda rw console=ttyS0 init=/sbin/classroom-init sysrq_always_enabled=1 no_timer_check net.ifnames=0 quiet"
        -drive "file=$IMAGE/rootfs.img,format=raw,if=virtio,snapshot=on"
        -virtfs "local,path=$3,mount_tag=host,security_model=none,id=host")
}

# KVM when a guest kernel prints its first line under it within 20 s; otherwise emulation.
choose_accel() {
    local dir="$RUN/probe" pid i
    mkdir -p "$dir"
    echo 'exit 0' >"$dir/task.sh"
    [ -r /dev/kvm ] && [ -w /dev/kvm ] || { echo tcg; return; }
    qemu_base kvm 256 "$dir"
    "${QEMU[@]}" -nic none >"$dir/qemu.log" 2>&1 &
    pid=$!
    for i in $(seq 1 40); do
        if [ -e "$dir/task.status" ] || grep -q 'Linux version\|Run /sbin\|classroom' "$dir/console.log" 2>/dev/null; then
            kill -9 "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            echo kvm
            return
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo tcg
}

# Each machine's folder on the host (its /host over 9p) holds its task, the worker and what it writes
# back. The task ends in a loop that runs each request-<n>.sh the host leaves there.
# Replies are written under the request's own number: a process a request left running keeps its
# output open, and a name used again would reach that old file.
AGENT='
while [ ! -e /host/quit ]; do
    for f in /host/request-*.sh; do
        [ -e "$f" ] || continue
        id=${f#/host/request-}
        id=${id%.sh}
        mv "$f" /tmp/running.sh
        sh /tmp/running.sh >/tmp/reply-$id.log 2>&1 </dev/null
        echo $? >/tmp/status
        cp /tmp/reply-$id.log /host/reply-$id.log
        cp /tmp/status /host/reply-$id.tmp
        mv /host/reply-$id.tmp /host/reply-$id.status
    done
    sleep 0.1
done'

start_server() {
    local dir="$RUN/server" n nets=()
    mkdir -p "$dir"
    cp "$ROOT/scripts/classroom/smb.conf" "$dir/smb.conf"
    {
        echo 'set -x'
        for n in $(seq 1 $PCS); do
            echo "ip addr add 169.254.$n.1/24 dev eth$((n - 1)); ip link set eth$((n - 1)) up"
        done
        echo 'sysctl -q -w net.ipv4.tcp_keepalive_time=5 net.ipv4.tcp_keepalive_intvl=2 net.ipv4.tcp_keepalive_probes=3 net.ipv4.tcp_retries2=5'
        echo 'cp /host/smb.conf /etc/samba/smb.conf'
        echo 'mkdir -p /run/samba /var/log/samba /var/cache/samba'
        echo 'smbd --foreground --no-process-group >/host/smbd.log 2>&1 &'
        echo 'for i in $(seq 1 600); do ss -ltn | grep -q ":445 " && break; sleep 0.2; done'
        echo '{ uname -r; smbd --version; } >/host/versions'
        echo 'touch /host/ready'
        echo "$AGENT"
    } >"$dir/task.sh"
    for n in $(seq 1 $PCS); do
        nets+=(-netdev "socket,id=pc$n,listen=127.0.0.1:$((PORT + n))" -device "virtio-net-pci,netdev=pc$n,mac=52:54:00:12:00:0$n")
    done
    qemu_base "$ACCEL" 768 "$dir"
    "${QEMU[@]}" "${nets[@]}" >"$dir/qemu.log" 2>&1 &
    echo $! >"$dir/pid"
    PIDS+=($!)
}

start_pc() { # <n>
    local n=$1 dir="$RUN/pc$1"
    mkdir -p "$dir"
    cp "$WORKER_BIN" "$dir/worker"
    {
        echo 'set -x'
        echo "ip addr add 169.254.$n.2/24 dev eth0; ip link set eth0 up"
        echo 'for i in $(seq 1 300); do'
        echo "    mount -t cifs //169.254.$n.1/school /mnt/school -o username=school,password=classroom,vers=3.1.1 && break"
        echo '    sleep 1'
        echo 'done'
        echo '{ uname -r; mount.cifs -V; modinfo -F version cifs; grep " /mnt/school " /proc/mounts; } >/host/versions'
        echo 'cp /host/worker /usr/local/bin/classroom-worker'
        echo 'touch /host/ready'
        echo "$AGENT"
    } >"$dir/task.sh"
    qemu_base "$ACCEL" 512 "$dir"
    "${QEMU[@]}" -netdev "socket,id=net,connect=127.0.0.1:$((PORT + n))" \
        -device "virtio-net-pci,netdev=net,mac=52:54:00:12:01:0$n" >"$dir/qemu.log" 2>&1 &
    echo $! >"$dir/pid"
    PIDS+=($!)
}

wait_file() { # <file> <seconds>
    local i
    for i in $(seq 1 $(($2 * 10))); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Leaves a request for a machine; await collects its answer.
send() { # <machine> <script>; "w" in a script is the worker
    # The count lives in a file: send often runs in a command substitution's subshell.
    local REQUEST
    REQUEST=$(($(cat "$RUN/requests" 2>/dev/null || echo 0) + 1))
    echo "$REQUEST" >"$RUN/requests"
    echo "$REQUEST" >"$RUN/$1/last-request"
    printf 'w() { /usr/local/bin/classroom-worker "$@"; }\n%s\n' "$2" >"$RUN/$1/request.tmp"
    mv "$RUN/$1/request.tmp" "$RUN/$1/request-$REQUEST.sh"
}
await() { # <machine> <seconds>; prints the reply to the machine's last request, fails with it
    local id
    id=$(cat "$RUN/$1/last-request")
    wait_file "$RUN/$1/reply-$id.status" "$2" || { echo "($1 did not answer within $2 s)"; return 1; }
    cat "$RUN/$1/reply-$id.log"
    return "$(cat "$RUN/$1/reply-$id.status")"
}
ask() { # <machine> <seconds> <script>
    send "$1" "$3"
    await "$1" "$2"
}

SHARE=/mnt/school/
FILE="/mnt/school/成績累積データ.dat"
collect() { # <name>: the results file as the server holds it, judged on the host
    ask server 120 "cp '/srv/school/成績累積データ.dat' /host/$1.dat" >/dev/null
    echo "$RUN/server/$1.dat"
}

# From here on a failed step is reported in the figures, and the check goes on.
set +e
PORT=$((20000 + $$ % 20000))
say "== classroom check: Samba server and $PCS PCs, QEMU $(qemu-system-x86_64 --version | head -n 1 | awk '{print $4}')"
ACCEL=$(choose_accel)
if [ "$ACCEL" = kvm ]; then
    say "accelerator: KVM"
else
    say "accelerator: QEMU emulation (TCG): no guest kernel started under KVM here within 20 s"
fi
start_server
sleep 1
for n in $(seq 1 $PCS); do start_pc "$n"; done
BOOT=$(date +%s)
wait_file "$RUN/server/ready" 400 || fail "the file server did not start" "$RUN/server/console.log"
for n in $(seq 1 $PCS); do
    wait_file "$RUN/pc$n/ready" 400 || fail "PC $n did not mount the share" "$RUN/pc$n/task.log"
done
say "machines up in $(($(date +%s) - BOOT)) s"
say "server: Linux $(sed -n 1p "$RUN/server/versions"), Samba $(sed -n 2p "$RUN/server/versions" | sed 's/^Version //')"
say "PCs:    Linux $(sed -n 1p "$RUN/pc1/versions"), $(sed -n 2p "$RUN/pc1/versions"), cifs module $(sed -n 3p "$RUN/pc1/versions")"
say "mount:  $(sed -n 4p "$RUN/pc1/versions" | awk '{print $4}' | sed 's/password=[^,]*/password=…/')"

# ---- which lockers the program's lock shuts out
say ""
say "== other kinds of lock against the program's lock (answer of its lock: held-by-other = shut out)"
LOCKS=/mnt/school/locks.dat
for kind in flock posix ofd; do
    same=$(ask pc1 60 "w holdkind $LOCKS $kind /tmp/held & h=\$!
        while [ ! -e /tmp/held ]; do sleep 0.05; done
        w probe $LOCKS; kill \$h; wait \$h; rm -f /tmp/held")
    ask pc1 60 "rm -f /tmp/held; (w holdkind $LOCKS $kind /tmp/held & echo \$! >/tmp/holder)
        while [ ! -e /tmp/held ]; do sleep 0.05; done" >/dev/null
    other=$(ask pc2 60 "w probe $LOCKS")
    ask pc1 60 'kill $(cat /tmp/holder); sleep 0.5' >/dev/null
    say "$(printf '%-6s held on PC 1: program on PC 1 %s, on PC 2 %s' "$kind" "$same" "$other")"
done
ask pc1 60 "rm -f /tmp/held; (w holdkind $LOCKS ofd /tmp/held & echo \$! >/tmp/holder)
    while [ ! -e /tmp/held ]; do sleep 0.05; done" >/dev/null
say "program's lock on PC 2 with a deadline of 500 ms: $(ask pc2 60 "w deadline $LOCKS 500")"
say "a blocking byte-range lock on the share, timer signal after 500 ms: $(ask pc2 60 "timeout -s KILL 20 w rawblock $LOCKS 500 || echo 'did not return within 20 s'")"
ask pc1 60 'kill $(cat /tmp/holder); sleep 0.5' >/dev/null
say "byte-range lock and flock() on one open file of the share: $(ask pc2 60 "w bothkinds /mnt/school/both.dat")"

# ---- appends from several PCs at once while readers read
appends() { # <pcs> <each>
    local pcs=$1 each=$2 n file times=()
    ask pc1 60 "rm -f '$FILE'" >/dev/null
    for n in $(seq 1 "$pcs"); do
        rm -f "$RUN/pc$n/go"
        send "pc$n" "rm -f /tmp/stop; w read $SHARE /tmp/stop /tmp/read & r=\$!
            while [ ! -e /host/go ]; do sleep 0.02; done
            w append $SHARE $n $each /host/times-$pcs.txt; a=\$?
            touch /tmp/stop; wait \$r; echo \"reader: \$(cat /tmp/read)\"; exit \$a"
    done
    sleep 2
    for n in $(seq 1 "$pcs"); do touch "$RUN/pc$n/go"; done
    local began=$(date +%s)
    for n in $(seq 1 "$pcs"); do
        say "  PC $n: $(await "pc$n" 1800 | tr '\n' ' ')"
        times+=("$RUN/pc$n/times-$pcs.txt")
    done
    say "  $(("$(date +%s)" - began)) s; $("$WORKER_BIN" times "${times[@]}")"
    file=$(collect "appends-$pcs")
    say "  $("$WORKER_BIN" verify "$file" "$each" 1 "$pcs" 0 || true)"
}
say ""
say "== 2 PCs x 500 appends, a reader on each"
appends 2 500
say ""
say "== 4 PCs x 500 appends, a reader on each"
appends 4 500

# ---- a PC powered off while it holds the lock
killed() { # <victim> <what> <first> <last>
    local victim=$1 what=$2 first=$3 last=$4 n t0 t1 file
    rm -f "$RUN/pc$victim/holding"
    if [ "$what" = delete ]; then
        send "pc$victim" "w holddelete $SHARE /host/holding"
    else
        send "pc$victim" "w hold $SHARE $what /host/holding"
    fi
    wait_file "$RUN/pc$victim/holding" 120 || { say "  PC $victim did not take the lock"; return; }
    for n in $(seq "$first" "$last"); do
        rm -f "$RUN/pc$n/first-done"
        send "pc$n" "w append $SHARE $n 50 /host/times-kill-$what.txt /host/first-done"
    done
    sleep 3
    local waiting=0
    for n in $(seq "$first" "$last"); do [ -e "$RUN/pc$n/first-done" ] || waiting=$((waiting + 1)); done
    t0=$(date +%s%N)
    kill -9 "$(cat "$RUN/pc$victim/pid")"
    say "  PC $victim killed while holding the lock; $waiting of $((last - first + 1)) PCs were waiting"
    t1=""
    for n in $(seq 1 3000); do
        for m in $(seq "$first" "$last"); do
            if [ -e "$RUN/pc$m/first-done" ]; then t1=$(date +%s%N); break 2; fi
        done
        sleep 0.1
    done
    if [ -n "$t1" ]; then
        say "  the first of the others appended $(((t1 - t0) / 1000000)) ms after the kill"
    else
        say "  no other PC appended within 300 s of the kill"
    fi
    for n in $(seq "$first" "$last"); do
        say "  PC $n: $(await "pc$n" 900 | tr '\n' ' ')"
    done
    local deleted=""
    if [ "$what" = delete ]; then
        say "  PC $last, the next to change the file: $(ask "pc$last" 300 "w recover $SHARE" | tr '\n' ' ')"
        deleted="$victim:0"
    fi
    file=$(collect "killed-$what")
    say "  $("$WORKER_BIN" verify "$file" 50 "$first" "$last" "$([ "$what" = change ] && echo 1 || echo 0)" $deleted || true)"
}
say ""
say "== PC 1 powered off in the middle of an append (half a record written), PCs 2-4 appending"
ask pc2 60 "rm -f '$FILE'" >/dev/null
killed 1 append 2 4
say ""
say "== PC 2 powered off after changing record 1 in place, before letting the lock go; PCs 3-4 appending"
ask pc2 60 "rm -f '$FILE'; w append $SHARE 2 1 /tmp/t" >/dev/null
killed 2 change 3 4
say ""
say "== PC 3 powered off in the middle of deleting record 1 (later records partly moved down); PC 4 appending"
ask pc3 60 "rm -f '$FILE' '/mnt/school/成績累積データtemp.dat'; w append $SHARE 3 50 /tmp/t" >/dev/null
killed 3 delete 4 4

for m in server pc4; do touch "$RUN/$m/quit"; done
for m in server pc4; do wait_file "$RUN/$m/task.status" 60; done
say ""
say "== took $(($(date +%s) - START)) s (log of each machine in $RUN)"
