#!/usr/bin/env bash
# The classroom check: several PCs on one results file on a real SMB share. A Samba file server and
# four PCs are QEMU virtual machines running Debian's own kernel and packages; each PC mounts the share
# with the kernel's SMB client and runs the program's own append and read code (tests/classroom) against
# the same results file at once. The machines talk only over virtual links between the QEMU processes on
# the loopback address (socket network devices); nothing leaves this machine.
#
#   scripts/classroom-check.sh        everything; the figures go to the screen and build/classroom/report.txt
#   CLASSROOM_ACCEL=tcg scripts/classroom-check.sh    QEMU's emulation without trying KVM first
#   CLASSROOM_APPENDS=100 CLASSROOM_KILL_APPENDS=20 scripts/classroom-check.sh   fewer appends (default
#                                     500 per PC while readers read, 50 per PC around a powered-off PC)
#   CLASSROOM_PARTS="locks appends2 appends4 kills"   the parts to run (default all of them)
#
# It measures: which kinds of lock shut the program's lock out and which ones its lock shuts out (on one
# PC and across the share); 2 and 4 PCs x 500 appends each while readers read: records lost, torn,
# doubled, append times; and a PC powered off (its machine killed) while it holds the lock in the middle
# of an append, of a change in place and of a deletion: how long until the server lets the others go on,
# and what the file holds afterwards (after a deletion, once the next PC to change the file has finished
# it from its copy).
#
# Every step has a deadline: a machine that does not answer in time is reported as such and the check
# goes on (or, while the machines start, ends with the end of the machine's log). Exit status 0 when
# every figure came out as expected (nothing lost, torn or doubled), 1 otherwise.
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
cmake --build build -j2 --target classroom-worker >"$LOGS/classroom-build.log" 2>&1 ||
    fail "building the classroom worker failed" "$LOGS/classroom-build.log"
WORKER_BIN="$ROOT/build/tests/classroom-worker"

# The judge of the results file must see damage: two PCs' records on the local disk, then a copy with
# the second record gone, the third overwritten and the first written twice.
judge_check() {
    local dir="$ROOT/build/classroom/judge" file whole damaged
    rm -rf "$dir"
    mkdir -p "$dir"
    file="$dir/成績累積データ.dat"
    "$WORKER_BIN" append "$dir/" 1 5 "$dir/times-1" && "$WORKER_BIN" append "$dir/" 2 5 "$dir/times-2" ||
        fail "the worker cannot append on the local disk"
    whole=$("$WORKER_BIN" verify "$file" 1:5,2:5 0 || true)
    { head -c 44 "$file"; head -c 44 /dev/zero | tr '\0' '\1'; tail -c +133 "$file"; head -c 44 "$file"; } >"$dir/damaged.dat"
    damaged=$("$WORKER_BIN" verify "$dir/damaged.dat" 1:5,2:5 0 || true)
    case "$whole / $damaged" in
    *"lost 0, torn 0, doubled 0"*" / "*"lost 2, torn 1, doubled 1"*) ;;
    *) fail "the judge of the results file does not count what is wrong: '$whole', '$damaged'" ;;
    esac
}
judge_check

CHECK="$ROOT/build/classroom"
IMAGE="$CHECK/image"
RUN="$CHECK/run"
REPORT="$CHECK/report.txt"
PCS=4
APPENDS=${CLASSROOM_APPENDS:-500}
PARTS=${CLASSROOM_PARTS:-locks appends2 appends4 kills}
part() { [[ " $PARTS " == *" $1 "* ]]; }
KILL_APPENDS=${CLASSROOM_KILL_APPENDS:-50}
mkdir -p "$CHECK"
"$ROOT/scripts/classroom/image.sh" "$IMAGE"

rm -rf "$RUN"
mkdir -p "$RUN"
: >"$REPORT"
say() { echo "$*" | tee -a "$REPORT"; }
PROBLEMS=0
judge() { # <line> <status>: a figure that must be as expected
    say "$1"
    [ "$2" -eq 0 ] || PROBLEMS=$((PROBLEMS + 1))
}

PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    pkill -P $$ 2>/dev/null || true # waits of this script that were running when it was stopped
}
trap cleanup EXIT

# The command line every machine shares, into QEMU: <accel> <cpu model> <memory MB> <folder>.
qemu_base() {
    QEMU=(qemu-system-x86_64 -accel "$1" -cpu "$2" -m "$3" -smp 1 -display none -no-reboot -nodefaults
        -serial "file:$4/console.log"
        -kernel "$IMAGE/vmlinuz" -initrd "$IMAGE/initrd.img"
        -append "root=/dev/vda rw console=ttyS0 init=/sbin/classroom-init sysrq_always_enabled=1 no_timer_check net.ifnames=0 loglevel=4 mitigations=off"
        -drive "file=$IMAGE/rootfs.img,format=raw,if=virtio,snapshot=on,cache=unsafe"
        -virtfs "local,path=$4,mount_tag=host,security_model=none,id=host")
}

# Boots one machine that only powers itself off again: 0 when its task ran within <seconds>.
boots() { # <accel> <cpu model> <seconds> <folder>
    local dir=$4 pid i
    rm -rf "$dir"
    mkdir -p "$dir"
    echo 'exit 0' >"$dir/task.sh"
    qemu_base "$1" "$2" 256 "$dir"
    "${QEMU[@]}" >"$dir/qemu.log" 2>&1 &
    pid=$!
    for i in $(seq 1 $(($3 * 10))); do
        [ -e "$dir/task.status" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -e "$dir/task.status" ]
}

# KVM with the first CPU model under which a guest boots within 30 s; otherwise emulation.
choose_accel() {
    local cpu
    ACCEL=tcg
    CPU=max
    ACCEL_NOTE="no guest kernel booted under KVM here within 30 s"
    if [ "${CLASSROOM_ACCEL:-}" = tcg ]; then
        ACCEL_NOTE="chosen by CLASSROOM_ACCEL"
        return
    fi
    if [ ! -c /dev/kvm ] || [ ! -w /dev/kvm ]; then
        ACCEL_NOTE="/dev/kvm cannot be used"
        return
    fi
    # "max" rather than "host": some hosts refuse the host model's feature registers outright.
    for cpu in max; do
        if boots kvm "$cpu" 30 "$RUN/probe-$cpu"; then
            ACCEL=kvm
            CPU=$cpu
            ACCEL_NOTE="CPU model $cpu"
            return
        fi
        ACCEL_NOTE="$ACCEL_NOTE; -cpu $cpu: $(grep -m 1 -i 'error\|fail' "$RUN/probe-$cpu/qemu.log" || echo 'no boot within 30 s')"
    done
}

# Each machine's folder on the host (its /host over 9p) holds its task, the worker and what it writes
# back. The task ends in a loop that starts each request-<n>.sh the host leaves there, each under its
# own deadline (its first line), so that a request that hangs neither holds up the next nor outlives
# its time. Replies are written under the request's own number: a process a request left running keeps
# its output open, and a name used again would reach that old file.
REQUEST_LOOP='
while [ ! -e /host/quit ]; do
    for f in /host/request-*.sh; do
        [ -e "$f" ] || continue
        id=${f#/host/request-}
        id=${id%.sh}
        mv "$f" /tmp/request-$id.sh
        limit=$(sed -n "1s/^# deadline //p" /tmp/request-$id.sh)
        (
            CLASSROOM_DEADLINE=$limit timeout -k 5 $((limit + 5)) sh /tmp/request-$id.sh \
                >/tmp/reply-$id.log 2>&1 </dev/null
            echo $? >/tmp/status-$id
            cp /tmp/reply-$id.log /host/reply-$id.log
            cp /tmp/status-$id /host/reply-$id.tmp
            mv /host/reply-$id.tmp /host/reply-$id.status
        ) &
    done
    sleep 0.1
done'

# What every request can use: waitfor <file> <seconds> waits for a file, at most that long.
PREAMBLE='export CLASSROOM_DEADLINE
waitfor() {
    i=0
    while [ ! -e "$1" ]; do
        i=$((i + 1))
        [ $i -le $(($2 * 20)) ] || { echo "($1 did not appear within $2 s)"; return 1; }
        sleep 0.05
    done
}'

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
        echo '{ uname -r; smbd --version; dpkg-query -W -f "\${Version}\n" samba; } >/host/versions'
        echo 'touch /host/ready'
        echo "$REQUEST_LOOP"
    } >"$dir/task.sh"
    for n in $(seq 1 $PCS); do
        nets+=(-netdev "socket,id=pc$n,listen=127.0.0.1:$((PORT + n))" -device "virtio-net-pci,netdev=pc$n,mac=52:54:00:12:00:0$n")
    done
    qemu_base "$ACCEL" "$CPU" 768 "$dir"
    "${QEMU[@]}" "${nets[@]}" >"$dir/qemu.log" 2>&1 &
    echo $! >"$dir/pid"
    PIDS+=($!)
}

start_pc() { # <n>
    local n=$1 dir="$RUN/pc$1"
    mkdir -p "$dir"
    cp "$WORKER_BIN" "$dir/classroom-worker"
    {
        echo 'set -x'
        echo 'export PATH=/usr/local/bin:$PATH'
        echo "ip addr add 169.254.$n.2/24 dev eth0; ip link set eth0 up"
        echo 'for i in $(seq 1 300); do'
        echo "    mount -t cifs //169.254.$n.1/school /mnt/school -o username=school,password=classroom,vers=3.1.1 && break"
        echo '    sleep 1'
        echo 'done'
        echo '{ uname -r; mount.cifs -V; modinfo -F version cifs; grep " /mnt/school " /proc/mounts;'
        echo '  dpkg-query -W -f "\${Version}\n" linux-image-amd64; dpkg-query -W -f "\${Version}\n" cifs-utils; } >/host/versions'
        echo 'cp /host/classroom-worker /usr/local/bin/classroom-worker'
        echo 'classroom-worker >/host/worker-check.log 2>&1'
        echo 'touch /host/ready'
        echo "$REQUEST_LOOP"
    } >"$dir/task.sh"
    qemu_base "$ACCEL" "$CPU" 512 "$dir"
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

# Leaves a request for a machine, to be done within <seconds>; await collects its answer.
send() { # <machine> <seconds> <script>
    # The count lives in a file: send often runs in a command substitution's subshell.
    local id
    id=$(($(cat "$RUN/requests" 2>/dev/null || echo 0) + 1))
    echo "$id" >"$RUN/requests"
    echo "$id" >"$RUN/$1/last-request"
    echo "$2" >"$RUN/$1/deadline-$id"
    printf '# deadline %s\n%s\n%s\n' "$2" "$PREAMBLE" "$3" >"$RUN/$1/request.tmp"
    mv "$RUN/$1/request.tmp" "$RUN/$1/request-$id.sh"
}
# Prints the reply to the machine's last request and returns its status; a request past its deadline
# says so (status 124 or 137 on the machine, or no answer at all).
await() { # <machine>
    local id limit status
    id=$(cat "$RUN/$1/last-request")
    limit=$(cat "$RUN/$1/deadline-$id")
    if ! wait_file "$RUN/$1/reply-$id.status" $((limit + 30)); then
        echo "($1 gave no answer within $((limit + 30)) s)"
        return 124
    fi
    cat "$RUN/$1/reply-$id.log"
    status=$(cat "$RUN/$1/reply-$id.status")
    case "$status" in
    124 | 137) echo "(timed out after $limit s)" ;;
    esac
    return "$status"
}
ask() { # <machine> <seconds> <script>
    send "$1" "$2" "$3"
    await "$1"
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
T0=$(date +%s)
choose_accel
if [ "$ACCEL" = kvm ]; then
    say "accelerator: KVM, $ACCEL_NOTE (found in $(($(date +%s) - T0)) s)"
    SLOW=1
else
    say "accelerator: QEMU emulation (TCG): $ACCEL_NOTE"
    SLOW=6
fi
start_server
sleep 1
for n in $(seq 1 $PCS); do start_pc "$n"; done
BOOT=$(date +%s)
wait_file "$RUN/server/ready" $((100 * SLOW)) || fail "the file server did not start" "$RUN/server/console.log"
for n in $(seq 1 $PCS); do
    wait_file "$RUN/pc$n/ready" $((100 * SLOW)) || fail "PC $n did not mount the share" "$RUN/pc$n/task.log"
done
grep -q '^usage:' "$RUN/pc1/worker-check.log" || fail "the worker does not run on the PCs" "$RUN/pc1/worker-check.log"
say "machines up in $(($(date +%s) - BOOT)) s"
say "server: Linux $(sed -n 1p "$RUN/server/versions"), Samba $(sed -n 2p "$RUN/server/versions" | sed 's/^Version //')"
say "PCs:    Linux $(sed -n 1p "$RUN/pc1/versions"), $(sed -n 2p "$RUN/pc1/versions"), cifs module $(sed -n 3p "$RUN/pc1/versions")"
say "mount:  $(sed -n 4p "$RUN/pc1/versions" | awk '{print $4}' | sed 's/password=[^,]*/password=…/')"
say "Debian packages: linux-image-amd64 $(sed -n 5p "$RUN/pc1/versions"), cifs-utils $(sed -n 6p "$RUN/pc1/versions"), samba $(sed -n 3p "$RUN/server/versions")"

# ---- which lockers the program's lock shuts out, and which shut it out
LOCKS=/mnt/school/locks.dat
holder() { # <machine> <worker arguments> [<environment>]: starts a lock holder there, left running
    ask "$1" $((30 * SLOW)) "rm -f /tmp/held
        ${3:-} classroom-worker $2 /tmp/held >/tmp/holder.log 2>&1 & echo \$! >/tmp/holder
        waitfor /tmp/held $((20 * SLOW)) || { cat /tmp/holder.log; exit 1; }" >/dev/null ||
        echo "holder on $1 not ready"
}
release() { # <machine>
    ask "$1" $((30 * SLOW)) 'kill $(cat /tmp/holder); while kill -0 $(cat /tmp/holder) 2>/dev/null; do sleep 0.05; done; sleep 0.3' >/dev/null
}
oneline() { tr '\n' ' ' | sed 's/ *$//'; }
if part locks; then
say ""
say "== other kinds of lock against the program's lock (held-by-other = shut out)"
say "$(printf '%-16s %-26s %s' 'held on PC 1' 'program on PC 1' 'program on PC 2')"
for kind in flock posix ofd; do
    note=$(holder pc1 "holdkind $LOCKS $kind")
    same=$(ask pc1 $((30 * SLOW)) "classroom-worker probe $LOCKS" | oneline)
    other=$(ask pc2 $((30 * SLOW)) "classroom-worker probe $LOCKS" | oneline)
    release pc1
    judge "$(printf '%-16s %-26s %s %s' "$kind" "$same" "$other" "$note")" \
        "$([ "$same $other" = "held-by-other held-by-other" ] && echo 0 || echo 1)"
done
say "$(printf '%-16s %-26s %s' 'program on PC 1' 'other kind on PC 1' 'on PC 2')"
note=$(holder pc1 "holdprogram $LOCKS")
for kind in flock posix ofd; do
    same=$(ask pc1 $((30 * SLOW)) "classroom-worker trykind $LOCKS $kind" | oneline)
    other=$(ask pc2 $((30 * SLOW)) "classroom-worker trykind $LOCKS $kind" | oneline)
    judge "$(printf '%-16s %-26s %s %s' "$kind" "$same" "$other" "$note")" \
        "$([ "$same $other" = "held-by-other held-by-other" ] && echo 0 || echo 1)"
done
release pc1
note=$(holder pc1 "holdkind $LOCKS ofd")
reply=$(ask pc2 $((30 * SLOW)) "classroom-worker deadline $LOCKS 500" | oneline)
judge "program's lock on PC 2 with a deadline of 500 ms: $reply $note" \
    "$(echo "$reply" | grep -q '^held-by-other after' && echo 0 || echo 1)"
release pc1
# The holder lets go by itself after 20 s: a wait that the timer signal does not end ends then.
note=$(holder pc1 "holdkind $LOCKS ofd" "CLASSROOM_DEADLINE=20")
say "a blocking byte-range lock on PC 2 while PC 1 holds one for 20 s, timer signal after 500 ms:"
say "  $(ask pc2 $((60 * SLOW)) "classroom-worker rawblock $LOCKS 500" | oneline) $note"
release pc1
say "byte-range lock and flock() on one open file of the share: $(ask pc2 $((30 * SLOW)) "classroom-worker bothkinds /mnt/school/both.dat" | oneline)"
fi

# ---- appends from several PCs at once while readers read
appended() { # <times file>: how many appends a PC finished (one line each, written as they are done)
    local count
    count=$(grep -c . "$1" 2>/dev/null)
    echo "${count:-0}"
}
# A reader pauses 100 ms between its readings of the whole file: still far more reading than a
# classroom does (a drill reads the file once as it starts), without crowding out the appends.
READ_PAUSE=100
appends() { # <pcs> <each>
    local pcs=$1 each=$2 n file times=() groups="" began reply limit status finished
    limit=$(((120 + 2 * each) * SLOW))
    ask pc1 $((30 * SLOW)) "rm -f '$FILE'" >/dev/null
    for n in $(seq 1 "$pcs"); do
        rm -f "$RUN/pc$n/go"
        send "pc$n" "$limit" "rm -f /tmp/stop; classroom-worker read $SHARE /tmp/stop /tmp/read $READ_PAUSE & r=\$!
            waitfor /host/go 60 || exit 1
            classroom-worker append $SHARE $n $each /host/times-$pcs.txt; a=\$?
            touch /tmp/stop; wait \$r; s=\$?; echo \"reader: \$(cat /tmp/read)\"; [ \$a -eq 0 ] && exit \$s; exit \$a"
    done
    sleep 2
    began=$(date +%s%N)
    for n in $(seq 1 "$pcs"); do touch "$RUN/pc$n/go"; done
    for n in $(seq 1 "$pcs"); do
        reply=$(await "pc$n" | oneline)
        status=$?
        finished=$(appended "$RUN/pc$n/times-$pcs.txt")
        judge "  PC $n: $finished of $each appends done; $reply" $status
        times+=("$RUN/pc$n/times-$pcs.txt")
        groups="$groups${groups:+,}$n:$finished"
    done
    say "  $((($(date +%s%N) - began) / 1000000)) ms in all; $("$WORKER_BIN" times "${times[@]}")"
    file=$(collect "appends-$pcs")
    reply=$("$WORKER_BIN" verify "$file" "$groups" 0)
    judge "  $reply" $?
}
if part appends2; then
say ""
say "== 2 PCs x $APPENDS appends, a reader on each"
appends 2 "$APPENDS"
fi
if part appends4; then
say ""
say "== 4 PCs x $APPENDS appends, a reader on each"
appends 4 "$APPENDS"
fi

# ---- a PC powered off while it holds the lock
killed() { # <victim> <what> <first> <last> <records there before> <changed> [<deleted>]
    local victim=$1 what=$2 first=$3 last=$4 before=$5 changed=$6 deleted=${7:-} n m t0 t1 file waiting=0
    local groups=$before limit=$((300 * SLOW)) reply status finished
    rm -f "$RUN/pc$victim/holding"
    if [ "$what" = delete ]; then
        send "pc$victim" "$limit" "classroom-worker holddelete $SHARE /host/holding"
    else
        send "pc$victim" "$limit" "classroom-worker hold $SHARE $what /host/holding"
    fi
    if ! wait_file "$RUN/pc$victim/holding" $((60 * SLOW)); then
        judge "  PC $victim did not take the lock: $(await "pc$victim" | oneline)" 1
        return
    fi
    for n in $(seq "$first" "$last"); do
        rm -f "$RUN/pc$n/first-done"
        send "pc$n" "$limit" "classroom-worker append $SHARE $n $KILL_APPENDS /host/times-kill-$what.txt /host/first-done"
    done
    sleep 3
    for n in $(seq "$first" "$last"); do [ -e "$RUN/pc$n/first-done" ] || waiting=$((waiting + 1)); done
    t0=$(date +%s%N)
    kill -9 "$(cat "$RUN/pc$victim/pid")"
    wait "$(cat "$RUN/pc$victim/pid")" 2>/dev/null
    judge "  PC $victim killed while holding the lock; $waiting of $((last - first + 1)) PCs were waiting" \
        "$([ "$waiting" -eq $((last - first + 1)) ] && echo 0 || echo 1)"
    t1=""
    for n in $(seq 1 $((limit * 10))); do
        for m in $(seq "$first" "$last"); do
            if [ -e "$RUN/pc$m/first-done" ]; then
                t1=$(date +%s%N)
                break 2
            fi
        done
        sleep 0.1
    done
    if [ -n "$t1" ]; then
        say "  the first of the others appended $(((t1 - t0) / 1000000)) ms after the kill"
    else
        judge "  no other PC appended within $limit s of the kill" 1
    fi
    for n in $(seq "$first" "$last"); do
        reply=$(await "pc$n" | oneline)
        status=$?
        finished=$(appended "$RUN/pc$n/times-kill-$what.txt")
        judge "  PC $n: $finished of $KILL_APPENDS appends done $reply" $status
        groups="$groups${groups:+,}$n:$finished"
    done
    if [ "$what" = delete ]; then
        reply=$(ask "pc$last" $((60 * SLOW)) "classroom-worker recover $SHARE" | oneline)
        judge "  PC $last, the next to change the file: $reply" $?
    fi
    file=$(collect "killed-$what")
    reply=$("$WORKER_BIN" verify "$file" "$groups" "$changed" $deleted)
    judge "  $reply" $?
}
if part kills; then
say ""
say "== PC 1 powered off in the middle of an append (half a record written), PCs 2-4 appending $KILL_APPENDS each"
ask pc2 $((30 * SLOW)) "rm -f '$FILE'" >/dev/null
killed 1 append 2 4 "" 0
say ""
say "== PC 2 powered off after changing record 1 in place, before letting the lock go; PCs 3-4 appending $KILL_APPENDS each"
ask pc2 $((30 * SLOW)) "rm -f '$FILE'; classroom-worker append $SHARE 2 1 /tmp/t" >/dev/null
killed 2 change 3 4 "" 1
say ""
say "== PC 3 powered off in the middle of deleting record 1 of its $KILL_APPENDS (later records partly moved down); PC 4 appending $KILL_APPENDS"
ask pc3 $((60 * SLOW)) "rm -f '$FILE' '/mnt/school/成績累積データtemp.dat'; classroom-worker append $SHARE 3 $KILL_APPENDS /tmp/t" >/dev/null
killed 3 delete 4 4 "3:$KILL_APPENDS" 0 3:0
fi

for m in server pc4; do touch "$RUN/$m/quit"; done
for m in server pc4; do wait_file "$RUN/$m/task.status" 60; done
say ""
if [ "$PROBLEMS" -eq 0 ]; then
    say "== every figure as expected; took $(($(date +%s) - START)) s (log of each machine in $RUN)"
    exit 0
fi
say "== $PROBLEMS figures not as expected; took $(($(date +%s) - START)) s (log of each machine in $RUN)"
exit 1
