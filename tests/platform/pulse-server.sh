#!/usr/bin/env bash
# Starts or stops a private PulseAudio server with one null sink, for the tests that play real sounds
# (and, for the run command, on the machine's sound card).
#
#   pulse-server.sh start <folder> [null|card]
#                                    start it (replacing one left over in <folder>), wait until it
#                                    answers, and write its server string ("unix:<socket>") to
#                                    <folder>/server. "null" (the default) plays into the null sink;
#                                    "card" plays on the machine's sound cards instead.
#   pulse-server.sh stop <folder>    stop the one started in <folder>
#
# Everything the server keeps (runtime files, state, its home, the cookie) lives in <folder>, so a
# user's own sound server and settings are never touched. It also runs as root and on a machine without
# a session bus or audio hardware. The sink is "yoji_null"; its monitor source "yoji_null.monitor"
# records what was played. A low-latency recording of that monitor is kept running for the server's life:
# without one, the null sink renders in two-second blocks while it is idle, and the first sound of a new
# stream would wait for the next block (the program avoids that by opening its stream at start-up). A
# client uses PULSE_SERVER=$(cat <folder>/server) and
# PULSE_COOKIE=<folder>/home/cookie.
set -euo pipefail

usage() {
    echo "usage: $0 start|stop <folder>" >&2
    exit 2
}
[ $# -eq 2 ] || [ $# -eq 3 ] || usage
command=$1
folder=$(mkdir -p "$2" && cd "$2" && pwd)
sink=${3:-null}
case "$sink" in
null) output_module="module-null-sink sink_name=yoji_null rate=44100 channels=2" ;;
card) output_module="module-detect" ;;
*) usage ;;
esac
pidfile="$folder/server.pid"
keeperfile="$folder/keeper.pid"

running() {
    [ -r "/proc/$1/stat" ] && ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null
}

stop_server() {
    if [ -f "$keeperfile" ]; then
        local keeper
        keeper=$(cat "$keeperfile")
        rm -f "$keeperfile"
        if [ -n "$keeper" ] && [ -r "/proc/$keeper/cmdline" ] &&
            tr '\0' ' ' <"/proc/$keeper/cmdline" | grep -q "^parec --device=yoji_null.monitor"; then
            kill "$keeper" 2>/dev/null || true
        fi
    fi
    if [ -f "$pidfile" ]; then
        local pid
        pid=$(cat "$pidfile")
        rm -f "$pidfile"
        # Only the server this script started for this folder: the process must still be a pulseaudio
        # whose command line names this folder.
        if [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] &&
            tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "--log-target=file:$folder/server.log"; then
            kill "$pid" 2>/dev/null || true
            # Gone, or a zombie that its new parent has not reaped yet: either way it has ended.
            for _ in $(seq 100); do
                running "$pid" || break
                sleep 0.05
            done
            running "$pid" && kill -9 "$pid" 2>/dev/null || true
        fi
    fi
    if [ -f "$folder/socketdir" ]; then
        rm -rf "$(cat "$folder/socketdir")"
        rm -f "$folder/socketdir"
    fi
    rm -f "$folder/server"
}

case "$command" in
start)
    command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed" >&2; exit 1; }
    command -v pactl >/dev/null || { echo "pactl (pulseaudio-utils) is not installed" >&2; exit 1; }
    stop_server
    rm -rf "$folder/runtime" "$folder/state" "$folder/home" "$folder/server.log"
    mkdir -p "$folder/runtime/pulse" "$folder/state" "$folder/home"
    chmod 700 "$folder/runtime" "$folder/runtime/pulse"
    # A unix socket path holds at most 107 bytes; a deep build folder gets its socket in a temporary one.
    socket="$folder/native"
    if [ ${#socket} -gt 100 ]; then
        socketdir=$(mktemp -d -t yoji-pulse.XXXXXX)
        echo "$socketdir" >"$folder/socketdir"
        socket="$socketdir/native"
    fi
    rm -f "$socket"
    (
        export HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime" PULSE_RUNTIME_PATH="$folder/runtime/pulse"
        export PULSE_STATE_PATH="$folder/state" XDG_CONFIG_HOME="$folder/home"
        # No D-Bus for this server: on a desktop's session bus another PulseAudio already holds the name
        # org.PulseAudio1, and the server would end at once. Without an address libdbus would find, or
        # start and leave running, a session bus through the X display; so the display goes too, and the
        # address is one libdbus refuses, after which the server runs without D-Bus.
        unset PULSE_SERVER PULSE_COOKIE DISPLAY WAYLAND_DISPLAY
        export DBUS_SESSION_BUS_ADDRESS=disabled:
        # -n: no configuration script, only the two modules named here. As root the server warns that it
        # is not meant to run as root, and runs.
        exec pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --disallow-module-loading \
            --use-pid-file=no --log-target=file:"$folder/server.log" -n \
            --load="$output_module" \
            --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
            </dev/null >/dev/null 2>&1
    ) &
    echo $! >"$pidfile"
    # Tests must not race the start: wait until the socket answers (10 s at most).
    for _ in $(seq 100); do
        if PULSE_SERVER="unix:$socket" PULSE_COOKIE="$folder/home/cookie" pactl info >/dev/null 2>&1; then
            export PULSE_SERVER="unix:$socket" PULSE_COOKIE="$folder/home/cookie"
            if [ "$sink" = null ]; then
                parec --device=yoji_null.monitor --latency-msec=20 --rate=8000 --channels=1 --format=u8 \
                    </dev/null >/dev/null 2>&1 &
                echo $! >"$keeperfile"
            fi
            # Ten milliseconds of silence return once the sink has woken up to the short latency.
            head -c 1764 /dev/zero | timeout 10 pacat --raw --format=s16le --rate=44100 --channels=2 \
                --latency-msec=20 >/dev/null 2>&1 || true
            echo "unix:$socket" >"$folder/server"
            exit 0
        fi
        if ! kill -0 "$(cat "$pidfile")" 2>/dev/null; then
            echo "the PulseAudio server ended as it started; its log:" >&2
            cat "$folder/server.log" >&2 2>/dev/null || true
            stop_server
            exit 1
        fi
        sleep 0.1
    done
    echo "the PulseAudio server does not answer on $socket; its log:" >&2
    cat "$folder/server.log" >&2 2>/dev/null || true
    stop_server
    exit 1
    ;;
stop)
    stop_server
    ;;
*)
    usage
    ;;
esac
