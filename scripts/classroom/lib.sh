# The machinery of the classroom check, sourced by scripts/classroom-check.sh: a network namespace of
# its own with a bridge, the Samba file server on the bridge's address only, and the PCs as user-mode
# Linux guests (the host's own files as their root, read only), one tap device each. Everything started
# here is stopped by its process group's id, and the namespace is removed, by classroom_stop.
#
# Set before use: RUN (a folder for the machines' files), PCS (how many PCs), SHARE_OPTIONS (lines for
# the share's section of smb.conf), MOUNT_OPTIONS (the PCs' cifs options beyond user and version).

CLASSROOM_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
NS=""
SERVER=10.77.0.1
GROUPS_STARTED=()

pc_address() { echo "10.77.0.$((10 + $1))"; }

classroom_stop() {
    local g
    for g in "${GROUPS_STARTED[@]}"; do
        kill -9 -- "-$g" 2>/dev/null || true
    done
    for g in "${GROUPS_STARTED[@]}"; do
        while kill -0 -- "-$g" 2>/dev/null; do sleep 0.05; done
    done
    GROUPS_STARTED=()
    if [ -n "$NS" ]; then
        ip netns delete "$NS" 2>/dev/null || true
        NS=""
    fi
}

# Starts the namespace and the server; the share's folder is $RUN/server/share.
classroom_start_server() {
    local dir="$RUN/server" n d
    NS="classroom-$$"
    ip netns add "$NS"
    ip -n "$NS" link set lo up
    ip -n "$NS" link add br0 type bridge
    ip -n "$NS" addr add "$SERVER/24" dev br0
    ip -n "$NS" link set br0 up
    for n in $(seq 1 "$PCS"); do
        ip -n "$NS" tuntap add dev "tap$n" mode tap
        ip -n "$NS" link set "tap$n" master br0
        ip -n "$NS" link set "tap$n" up
    done
    for d in lock state cache private pid ncalrpc binddns log share; do mkdir -p "$dir/$d"; done
    local options=${SHARE_OPTIONS//$'\n'/\\n}
    sed -e "s|@STATE@|$dir|g" -e "s|@ADDRESS@|$SERVER|g" -e "/^#/!s|@SHARE_OPTIONS@|$options|" \
        "$CLASSROOM_LIB/smb.conf" >"$dir/smb.conf"
    printf 'classroom\nclassroom\n' | smbpasswd -c "$dir/smb.conf" -s -a root >"$dir/smbpasswd.log" 2>&1
    ip netns exec "$NS" setsid smbd --foreground --no-process-group -s "$dir/smb.conf" \
        >"$dir/smbd.log" 2>&1 </dev/null &
    echo $! >"$dir/group"
    GROUPS_STARTED+=($!)
    disown $!
    local i
    for i in $(seq 1 100); do
        ip netns exec "$NS" ss -ltn | grep -q "$SERVER:445 " && return 0
        sleep 0.1
    done
    return 1
}

# Boots PC <n>; it mounts the share at /tmp/school and creates $RUN/pc<n>/ready.
classroom_start_pc() {
    local n=$1 dir="$RUN/pc$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    ip netns exec "$NS" setsid linux.uml "umid=classroom-$$-pc$n" "uml_dir=$dir" mem=160M \
        root=/dev/root rootfstype=hostfs rootflags=/ ro "init=$CLASSROOM_LIB/pc-init.sh" \
        "vec0:transport=tap,ifname=tap$n,gro=1" con0=null,fd:1 con=null ssl=null \
        "CLASSROOM_FOLDER=$dir" "CLASSROOM_ADDRESS=$(pc_address "$n")" "CLASSROOM_SERVER=$SERVER" \
        "CLASSROOM_MOUNT=username=root,password=classroom,vers=3.1.1,iocharset=utf8${MOUNT_OPTIONS:+,$MOUNT_OPTIONS}" \
        >"$dir/kernel.log" 2>&1 </dev/null &
    echo $! >"$dir/group"
    GROUPS_STARTED+=($!)
    disown $!
}

# Powers PC <n> off at once: every process of its guest is killed.
classroom_kill_pc() {
    local g
    g=$(cat "$RUN/pc$1/group")
    kill -9 -- "-$g" 2>/dev/null
    while kill -0 -- "-$g" 2>/dev/null; do sleep 0.05; done
}

# Pulls PC <n>'s network cable, or plugs it in again: its tap device leaves the bridge (frames to and
# from it go nowhere) and joins it again. The tap itself stays up: a tap that is taken down makes the
# guest's network driver stop receiving for good now and then, which no real cable does.
cable() { # <n> down|up
    if [ "$2" = down ]; then
        ip -n "$NS" link set "tap$1" nomaster
    else
        ip -n "$NS" link set "tap$1" master br0
    fi
}

wait_file() { # <file> <seconds>
    local i
    for i in $(seq 1 $(($2 * 20))); do
        [ -e "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# Leaves a request (a bash script) for a PC; await prints its reply and returns its status. The
# number of the last request is kept in a file, not in a variable: a request sent from a command
# substitution (a subshell) must not hand its number to the next one, whose await would then take the
# old reply for its own while the PC runs the new request later, out of order.
send() { # <pc folder name> <script>
    local id
    id=$(($(cat "$RUN/requests" 2>/dev/null || echo 0) + 1))
    echo "$id" >"$RUN/requests"
    echo "$id" >"$RUN/$1/last-request"
    printf '%s\n' "$2" >"$RUN/$1/request.tmp"
    mv "$RUN/$1/request.tmp" "$RUN/$1/request-$id.sh"
}
await() { # <pc folder name> <seconds>
    local id
    id=$(cat "$RUN/$1/last-request")
    if ! wait_file "$RUN/$1/reply-$id.status" "$2"; then
        echo "($1 gave no answer within $2 s)"
        return 124
    fi
    cat "$RUN/$1/reply-$id.log"
    return "$(cat "$RUN/$1/reply-$id.status")"
}
ask() { # <pc folder name> <seconds> <script>
    send "$1" "$3"
    await "$1" "$2"
}
