#!/usr/bin/env bash
# The classroom check: several PCs on one results file on a real SMB share. The PCs are user-mode Linux
# guests (Debian's user-mode-linux kernel, the host's own files as their root, read only, so each runs
# the freshly built worker of tests/classroom with the kernel's SMB client); the file server is the
# machine's Samba, started with state folders of its own on a network namespace that the check makes
# for itself (a bridge, one tap device per PC). Nothing leaves this machine and nothing of its own
# Samba is used. Each PC runs the program's own append and read code against the same results file.
#
#   scripts/classroom-check.sh            everything; the figures go to the screen and build/classroom/report.txt
#   scripts/classroom-check.sh --short    the short test of the test command: 2 PCs x 50 appends with
#                                         readers, a cable cut during an append, a change and a deletion,
#                                         the lock kinds (exit 77: cannot run here)
#   CLASSROOM_APPENDS=100 scripts/classroom-check.sh        fewer appends per PC (default 500)
#   CLASSROOM_PARTS="locks appends kills cuts" ...          the parts to run (default all of them)
#   CLASSROOM_CUTS="1 5 30" ...                            the lengths of the cable cuts in seconds
#                                                          (0: no cut, PC 2 only waits for PC 1)
#   CLASSROOM_CUT_CASES="delete:Locked change:Written" ... only these cut cases (operation:step)
#
# It measures: which kinds of lock shut the program's lock out and which ones its lock shuts out,
# across PCs; 2 and 4 PCs x 500 appends each with a reader on each PC, and 4 PCs without readers:
# records lost, torn, doubled, and the append waits; a PC powered off (its guest killed) while it
# holds the lock in the middle of an append, of a change in place and of a deletion; and PC 1's network
# cable pulled for 1, 5 and 30 s at every step of an append, a change in place and a deletion while
# PC 2 appends: what the file holds afterwards. Exit status 0 when every figure came out as expected.
#
# Needs root (the namespace, the tap devices) and /dev/net/tun; installs what it needs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

START=$(date +%s)
SHORT=0
WORKER_BIN=""
OUT="$ROOT/build/classroom"
while [ $# -gt 0 ]; do
    case "$1" in
    --short) SHORT=1 ;;
    --worker) WORKER_BIN=$(realpath "$2"); shift ;;
    --out) OUT=$(realpath -m "$2"); shift ;;
    *) fail "unknown argument $1 (see the top of $0)" ;;
    esac
    shift
done

# The short test says why it cannot run, with CTest's status for a skipped test.
cannot() {
    echo "skipped: $1"
    [ "$SHORT" -eq 1 ] && exit 77
    fail "$1"
}
[ "$(id -u)" -eq 0 ] || cannot "the classroom check makes a network namespace and tap devices: run it as root"
[ -c /dev/net/tun ] || cannot "there is no /dev/net/tun for the PCs' network"
CLASSROOM_PACKAGES="user-mode-linux samba cifs-utils kmod iproute2"
PACKAGES="$PACKAGES $CLASSROOM_PACKAGES"
if [ "$SHORT" -eq 1 ]; then
    PACKAGES="$CLASSROOM_PACKAGES"
    (ensure_packages) >/dev/null 2>&1 || cannot "the packages $CLASSROOM_PACKAGES cannot be installed here"
else
    ensure_packages
fi
mkdir -p "$LOGS" "$OUT"
cd "$ROOT"
if [ -z "$WORKER_BIN" ]; then
    if [ ! -f build/build.ninja ]; then
        cmake --preset default >"$LOGS/configure.log" 2>&1 || fail "configuring failed" "$LOGS/configure.log"
    fi
    cmake --build build -j2 --target classroom-worker >"$LOGS/classroom-build.log" 2>&1 ||
        fail "building the classroom worker failed" "$LOGS/classroom-build.log"
    WORKER_BIN="$ROOT/build/tests/classroom/classroom-worker"
fi

RUN="$OUT/run"
REPORT="$OUT/report.txt"
rm -rf "$RUN"
mkdir -p "$RUN"
: >"$REPORT"
say() { echo "$*" | tee -a "$REPORT"; }
PROBLEMS=0
judge() { # <line> <status>: a figure that must be as expected
    if [ "$2" -eq 0 ]; then say "$1"; else say "$1   <-- NOT AS EXPECTED"; fi
    [ "$2" -eq 0 ] || PROBLEMS=$((PROBLEMS + 1))
}
oneline() { tr '\n' ' ' | sed 's/ *$//'; }

# The judge of the results file must see damage: two PCs' records on the local disk, then a copy with
# the second record gone, the third overwritten and the first written twice.
judge_check() {
    local dir="$RUN/judge" file whole damaged
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
    # The same for the answer history (a header of 16 bytes, records of 16), with a partial tail.
    rm -f "$dir"/*.dat
    CLASSROOM_HISTORY=2 "$WORKER_BIN" append "$dir/" 1 5 "$dir/times-1" &&
        CLASSROOM_HISTORY=2 "$WORKER_BIN" append "$dir/" 2 5 "$dir/times-2" ||
        fail "the worker cannot record answers on the local disk"
    file="$dir/解答累積データ.dat"
    whole=$("$WORKER_BIN" verifyhistory "$file" 1:5,2:5 2 || true)
    { head -c 32 "$file"; head -c 16 /dev/zero | tr '\0' '\1'; tail -c +65 "$file"; tail -c 16 "$file"; head -c 7 /dev/zero; } >"$dir/damaged.dat"
    damaged=$("$WORKER_BIN" verifyhistory "$dir/damaged.dat" 1:5,2:5 2 || true)
    case "$whole / $damaged" in
    *"lost 0, torn 0, doubled 0, partial tail 0 "*" / "*"lost 2, torn 1, doubled 1, partial tail 7 "*) ;;
    *) fail "the judge of the answer history does not count what is wrong: '$whole', '$damaged'" ;;
    esac
}
judge_check

# The share settings the README asks a school's server to use (see "For the school's administrator").
SHARE_OPTIONS="   oplocks = no
   level2 oplocks = no
   strict locking = yes"
MOUNT_OPTIONS=""
if [ "$SHORT" -eq 1 ]; then
    PCS=2
    APPENDS=${CLASSROOM_APPENDS:-50}
    PARTS=${CLASSROOM_PARTS:-locks appends cuts}
    CUTS=${CLASSROOM_CUTS:-5}
else
    PCS=4
    APPENDS=${CLASSROOM_APPENDS:-500}
    PARTS=${CLASSROOM_PARTS:-locks appends kills cuts}
    CUTS=${CLASSROOM_CUTS:-1 5 30}
fi
KILL_APPENDS=${CLASSROOM_KILL_APPENDS:-50}
# Answers each PC records in the answer history after each of its appends (0: none).
HISTORY=${CLASSROOM_HISTORY:-2}
part() { [[ " $PARTS " == *" $1 "* ]]; }

source "$ROOT/scripts/classroom/lib.sh"
# A PC's /tmp, /run, /proc and /sys are its own: a worker built under one of them (a clone in /tmp) is
# copied to a folder of this run under /var/tmp, which the PCs see at the same path as the host.
WORKER_COPY=""
case "$WORKER_BIN" in
/tmp/* | /run/* | /proc/* | /sys/*)
    WORKER_COPY=$(mktemp -d /var/tmp/classroom-worker.XXXXXX) || fail "no folder for the worker in /var/tmp"
    cp "$WORKER_BIN" "$WORKER_COPY/" || fail "the worker cannot be copied to $WORKER_COPY"
    WORKER_BIN="$WORKER_COPY/$(basename "$WORKER_BIN")"
    ;;
esac
stop_all() {
    classroom_stop
    [ -z "$WORKER_COPY" ] || rm -rf "$WORKER_COPY"
}
trap stop_all EXIT

# From here on a failed step is reported in the figures, and the check goes on.
set +e
say "== classroom check: Samba and $PCS PCs as user-mode Linux guests"
classroom_start_server || fail "the file server did not start" "$RUN/server/log/log.smbd"
BOOT=$(date +%s)
for n in $(seq 1 "$PCS"); do classroom_start_pc "$n"; done
for n in $(seq 1 "$PCS"); do
    wait_file "$RUN/pc$n/ready" 120 || fail "PC $n did not start" "$RUN/pc$n/console.log"
    grep -q ' /tmp/school ' "$RUN/pc$n/versions" || fail "PC $n did not mount the share" "$RUN/pc$n/console.log"
done
say "PCs up in $(($(date +%s) - BOOT)) s"
say "PCs:    user-mode Linux $(sed -n 1p "$RUN/pc1/versions") (Debian user-mode-linux $(dpkg-query -W -f '${Version}' user-mode-linux)), $(sed -n 2p "$RUN/pc1/versions"), cifs module $(sed -n 3p "$RUN/pc1/versions")"
say "mount:  $(sed -n 4p "$RUN/pc1/versions" | awk '{print $4}' | sed 's/password=[^,]*/password=…/')"
say "server: Samba $(smbd --version | sed 's/^Version //'), share settings: $(echo "$SHARE_OPTIONS" | sed 's/^ *//' | paste -sd ';' | sed 's/;/; /g')"
SHARE=/tmp/school/
FILE="/tmp/school/成績累積データ.dat"
HOSTFILE="$RUN/server/share/成績累積データ.dat"
HOSTHISTORY="$RUN/server/share/解答累積データ.dat"
# Judges the answer history after the appends of <pc:count,...>, when the PCs recorded one.
history_judge() {
    [ "$HISTORY" -gt 0 ] || return 0
    local reply
    reply=$("$W" verifyhistory "$HOSTHISTORY" "$1" "$HISTORY")
    judge "  $reply" $?
}
W="$WORKER_BIN"

# ---- which lockers the program's lock shuts out, and which shut it out
LOCKS=/tmp/school/locks.dat
holder() { # <pc> <worker arguments>: starts a lock holder there, left running, once it holds the lock
    # The holder itself says when it holds the lock: it creates the file in its PC's folder after the
    # lock call returned. The check waits for that file; a holder that ends instead says why.
    rm -f "$RUN/$1/held"
    ask "$1" 30 "CLASSROOM_DEADLINE=120 $W $2 /tmp/host/held >/tmp/host/holder.log 2>&1 & echo \$! >/tmp/holder" >/dev/null
    wait_file "$RUN/$1/held" 60 || echo "(holder on $1 not ready: $(oneline <"$RUN/$1/holder.log"))"
}
release() { # <pc>
    ask "$1" 30 'kill $(cat /tmp/holder); while kill -0 $(cat /tmp/holder) 2>/dev/null; do sleep 0.05; done' >/dev/null
}
if part locks; then
    say ""
    say "== other kinds of lock against the program's lock, across PCs (held-by-other = shut out)"
    say "$(printf '%-18s %s' 'held on PC 1' 'the program on PC 2')"
    for kind in flock posix ofd; do
        note=$(holder pc1 "holdkind $LOCKS $kind")
        other=$(ask pc2 30 "$W probe $LOCKS" | oneline)
        release pc1
        judge "$(printf '%-18s %s %s' "$kind" "$other" "$note")" "$([ "$other" = held-by-other ] && [ -z "$note" ] && echo 0 || echo 1)"
    done
    say "$(printf '%-18s %s' 'program on PC 1' 'other kind on PC 2')"
    note=$(holder pc1 "holdprogram $LOCKS")
    for kind in flock posix ofd; do
        other=$(ask pc2 30 "$W trykind $LOCKS $kind" | oneline)
        judge "$(printf '%-18s %s %s' "$kind" "$other" "$note")" "$([ "$other" = held-by-other ] && [ -z "$note" ] && echo 0 || echo 1)"
    done
    release pc1
    note=$(holder pc1 "holdkind $LOCKS ofd")
    reply=$(ask pc2 30 "$W deadline $LOCKS 500" | oneline)
    judge "the program's lock on PC 2 with a deadline of 500 ms: $reply $note" \
        "$(echo "$reply" | grep -q '^held-by-other after' && echo 0 || echo 1)"
    release pc1
fi

# ---- appends from several PCs at once, with or without a reader on each PC
appended() { # <times file>: how many appends a PC finished (one line each, written as they are done)
    local count
    count=$(grep -c . "$1" 2>/dev/null)
    echo "${count:-0}"
}
# A reader pauses 100 ms between its readings of the whole file: far more reading than a classroom
# does (a drill reads the file once as it starts).
READ_PAUSE=100
appends() { # <pcs> <each> <readers: 1|0> <name>
    local pcs=$1 each=$2 readers=$3 name=$4 n file times=() groups="" began reply status finished script
    local limit=$((120 + each))
    rm -f "$HOSTFILE" "$HOSTHISTORY"
    for n in $(seq 1 "$pcs"); do
        rm -f "$RUN/pc$n/go"
        script="waitgo() { for i in \$(seq 1 1200); do [ -e /tmp/host/go ] && return 0; read -t 0.05 <> /tmp/idle; done; return 1; }"
        if [ "$readers" -eq 1 ]; then
            script="$script
                export CLASSROOM_HISTORY=$HISTORY
                rm -f /tmp/stop; CLASSROOM_DEADLINE=$limit $W read $SHARE /tmp/stop /tmp/read $READ_PAUSE & r=\$!
                waitgo || exit 1
                CLASSROOM_DEADLINE=$limit $W append $SHARE $n $each /tmp/host/times-$name.txt; a=\$?
                : >/tmp/stop; wait \$r; s=\$?; echo \"reader: \$(cat /tmp/read)\"; [ \$a -eq 0 ] && exit \$s; exit \$a"
        else
            script="$script
                export CLASSROOM_HISTORY=$HISTORY
                waitgo || exit 1
                CLASSROOM_DEADLINE=$limit $W append $SHARE $n $each /tmp/host/times-$name.txt"
        fi
        send "pc$n" "$script"
    done
    sleep 2
    began=$(date +%s%N)
    for n in $(seq 1 "$pcs"); do : >"$RUN/pc$n/go"; done
    for n in $(seq 1 "$pcs"); do
        reply=$(await "pc$n" $((limit + 30)) | oneline)
        status=$?
        finished=$(appended "$RUN/pc$n/times-$name.txt")
        judge "  PC $n: $finished of $each appends done${reply:+; $reply}" $status
        times+=("$RUN/pc$n/times-$name.txt")
        groups="$groups${groups:+,}$n:$finished"
    done
    say "  $((($(date +%s%N) - began) / 1000000)) ms in all; append waits: $("$W" times "${times[@]}")"
    reply=$("$W" verify "$HOSTFILE" "$groups" 0)
    judge "  $reply" $?
    history_judge "$groups"
}
if part appends; then
    say ""
    say "== 2 PCs x $APPENDS appends, a reader on each"
    appends 2 "$APPENDS" 1 r2
    if [ "$PCS" -ge 4 ]; then
        say ""
        say "== 4 PCs x $APPENDS appends, a reader on each"
        appends 4 "$APPENDS" 1 r4
        say ""
        say "== 4 PCs x $APPENDS appends, no readers"
        appends 4 "$APPENDS" 0 n4
    fi
fi

# ---- PC 1's network cable pulled at one step of an append, a change or a deletion, while PC 2 appends
# PC 3 (or PC 2 on two PCs) writes three records first (as writer 9); PC 1 appends its record 0, changes record 1 (its
# time becomes 7777) or deletes record 1, stopped at <step>; the cable is pulled there for <seconds>
# while PC 2 appends its record 0; then the cable is plugged in again and PC 1 goes on.
CUT_N=0
cutcase() { # <append|change|delete> <step> <seconds>
    local op=$1 step=$2 seconds=$3 first=3 base=9 t0 t1 r1 r2 s1 s2 v groups expected
    [ "$PCS" -ge 3 ] || first=2
    CUT_N=$((CUT_N + 1))
    rm -f "$HOSTFILE" "$RUN/server/share/成績累積データtemp.dat"
    ask "pc$first" 60 "$W append $SHARE $base 3 /tmp/t" >/dev/null
    rm -f "$RUN/pc1/ready-$CUT_N" "$RUN/pc1/go-$CUT_N"
    if [ "$op" = append ]; then
        send pc1 "CLASSROOM_DEADLINE=400 $W cut append $SHARE 1 0 $step /tmp/host/ready-$CUT_N /tmp/host/go-$CUT_N"
    else
        send pc1 "CLASSROOM_DEADLINE=400 $W cut $op $SHARE $step /tmp/host/ready-$CUT_N /tmp/host/go-$CUT_N"
    fi
    wait_file "$RUN/pc1/ready-$CUT_N" 60
    t0=$(date +%s%N)
    [ "$seconds" = 0 ] || cable 1 down
    send pc2 "CLASSROOM_DEADLINE=400 $W append $SHARE 2 1 /tmp/t2"
    sleep "$([ "$seconds" = 0 ] && echo 0.5 || echo "$seconds")"
    [ "$seconds" = 0 ] || cable 1 up
    : >"$RUN/pc1/go-$CUT_N"
    r2=$(await pc2 420 | oneline)
    s2=$?
    t1=$(date +%s%N)
    r1=$(await pc1 420 | oneline)
    s1=$?
    case $op in
    append) groups="$base:3,1:1,2:1"; v=$("$W" verify "$HOSTFILE" "$groups" 0) ;;
    change) v=$("$W" verify "$HOSTFILE" "$base:3,2:1" 1) ;;
    delete) v=$("$W" verify "$HOSTFILE" "$base:3,2:1" 0 "$base:0") ;;
    esac
    local ok=$?
    # PC 1 must have done what it was asked, or said that it could not (then its record is not there,
    # and only that one: the verdict counts it lost; a failure it reports is not a silent loss).
    if [ "$s1" -ne 0 ] && [ "$op" = append ]; then
        v=$("$W" verify "$HOSTFILE" "$base:3,2:1" 0)
        ok=$?
    fi
    [ "$s2" -eq 0 ] || ok=1
    # What the file held, for a look at a case that went wrong.
    [ "$ok" -eq 0 ] || cp "$HOSTFILE" "$RUN/cut-$CUT_N-$op-$step-$seconds.dat"
    judge "$(printf '  %-6s %-12s %2s s: PC 1 %s; PC 2 %s after %s ms; %s' "$op" "$step" "$seconds" "$r1" \
        "$([ "$s2" -eq 0 ] && echo appended || echo "failed: $r2")" $(((t1 - t0) / 1000000)) "$v")" $ok
}
if part cuts; then
    say ""
    say "== PC 1's network cable pulled at a step of its write, while PC 2 appends"
    if [ -n "${CLASSROOM_CUT_CASES:-}" ]; then
        for seconds in $CUTS; do
            for c in $CLASSROOM_CUT_CASES; do cutcase "${c%%:*}" "${c#*:}" "$seconds"; done
        done
    elif [ "$SHORT" -eq 1 ]; then
        # A change first, then a deletion that PC 2 waits for with the file open: its SMB client
        # still reports the length from before the deletion made the file shorter.
        for seconds in $CUTS; do
            cutcase append LengthRead "$seconds"
            cutcase change Synced "$seconds"
            cutcase delete Locked "$seconds"
        done
    else
        for seconds in $CUTS; do
            for step in Locked LengthRead Written Synced; do cutcase append "$step" "$seconds"; done
            for step in Locked LengthRead Written Synced; do cutcase change "$step" "$seconds"; done
            for step in Locked CopyWritten RecordsMoved VoidWritten Synced Truncated CopyRemoved; do
                cutcase delete "$step" "$seconds"
            done
        done
    fi
fi

# ---- a PC powered off while it holds the lock
killed() { # <victim> <what> <first> <last> <records there before> <changed> [<deleted>]
    local victim=$1 what=$2 first=$3 last=$4 before=$5 changed=$6 deleted=${7:-} n m t0 t1 waiting=0
    local groups=$before reply status finished limit=300
    rm -f "$RUN/pc$victim/holding" "$RUN/pc$victim/holding-history" "$HOSTHISTORY"
    if [ "$what" = delete ]; then
        send "pc$victim" "$W holddelete $SHARE /tmp/host/holding"
    elif [ "$what" = append ] && [ "$HISTORY" -gt 0 ]; then
        # It was recording its answers too: half an answer at the end of the history, under its lock.
        send "pc$victim" "$W holdhistory $SHARE /tmp/host/holding-history & $W hold $SHARE $what /tmp/host/holding"
        wait_file "$RUN/pc$victim/holding-history" 60 || judge "  PC $victim did not take the answer history's lock" 1
    else
        send "pc$victim" "$W hold $SHARE $what /tmp/host/holding"
    fi
    if ! wait_file "$RUN/pc$victim/holding" 60; then
        judge "  PC $victim did not take the lock: $(await "pc$victim" 5 | oneline)" 1
        return
    fi
    for n in $(seq "$first" "$last"); do
        rm -f "$RUN/pc$n/first-done"
        send "pc$n" "CLASSROOM_HISTORY=$HISTORY CLASSROOM_DEADLINE=$limit $W append $SHARE $n $KILL_APPENDS /tmp/host/times-kill-$what.txt /tmp/host/first-done"
    done
    sleep 3
    for n in $(seq "$first" "$last"); do [ -e "$RUN/pc$n/first-done" ] || waiting=$((waiting + 1)); done
    t0=$(date +%s%N)
    classroom_kill_pc "$victim"
    judge "  PC $victim powered off while holding the lock; $waiting of $((last - first + 1)) PCs were waiting" \
        "$([ "$waiting" -eq $((last - first + 1)) ] && echo 0 || echo 1)"
    t1=""
    for n in $(seq 1 $((limit * 20))); do
        for m in $(seq "$first" "$last"); do
            if [ -e "$RUN/pc$m/first-done" ]; then
                t1=$(date +%s%N)
                break 2
            fi
        done
        sleep 0.05
    done
    if [ -n "$t1" ]; then
        say "  the first of the others appended $(((t1 - t0) / 1000000)) ms after the power went"
    else
        judge "  no other PC appended within $limit s" 1
    fi
    for n in $(seq "$first" "$last"); do
        reply=$(await "pc$n" $((limit + 30)) | oneline)
        status=$?
        finished=$(appended "$RUN/pc$n/times-kill-$what.txt")
        judge "  PC $n: $finished of $KILL_APPENDS appends done${reply:+; $reply}" $status
        groups="$groups${groups:+,}$n:$finished"
    done
    if [ "$what" = delete ]; then
        reply=$(ask "pc$last" 60 "$W recover $SHARE" | oneline)
        judge "  PC $last, the next to change the file: $reply" $?
    fi
    reply=$("$W" verify "$HOSTFILE" "$groups" "$changed" $deleted)
    judge "  $reply" $?
    # Only the appenders of this case recorded answers (the records there before came without).
    history_judge "$(echo "$groups" | tr ',' '\n' | tail -n $((last - first + 1)) | paste -sd,)"
}
if part kills && [ "$PCS" -ge 4 ]; then
    say ""
    say "== PC 1 powered off in the middle of an append (half a record written), PCs 2-4 appending $KILL_APPENDS each"
    rm -f "$HOSTFILE"
    killed 1 append 2 4 "" 0
    say ""
    say "== PC 2 powered off after changing record 1 in place, before letting the lock go; PCs 3-4 appending $KILL_APPENDS each"
    rm -f "$HOSTFILE"
    ask pc2 60 "$W append $SHARE 2 1 /tmp/t" >/dev/null
    killed 2 change 3 4 "" 1
    say ""
    say "== PC 3 powered off in the middle of deleting record 1 of its $KILL_APPENDS (later records partly moved down); PC 4 appending $KILL_APPENDS"
    rm -f "$HOSTFILE" "$RUN/server/share/成績累積データtemp.dat"
    ask pc3 120 "$W append $SHARE 3 $KILL_APPENDS /tmp/t" >/dev/null
    killed 3 delete 4 4 "3:$KILL_APPENDS" 0 3:0
fi

say ""
if [ "$PROBLEMS" -eq 0 ]; then
    say "== every figure as expected; took $(($(date +%s) - START)) s (the machines' logs are in $RUN)"
    exit 0
fi
say "== $PROBLEMS figures not as expected; took $(($(date +%s) - START)) s (the machines' logs are in $RUN)"
exit 1
