#!/usr/bin/env bash
# Starts or stops a private CUPS server with one PDF queue, for the tests that print for real.
#
#   cups-server.sh start <folder>   start it (replacing one left over in <folder>), add the queue, wait
#                                   until it accepts jobs, and write the server's socket to <folder>/server
#   cups-server.sh stop <folder>    stop the one started in <folder>
#
# Everything the server keeps (its configuration, spool, cache, logs and the printed PDF files) lives in
# <folder>; the machine's own CUPS server and configuration are never touched. The queue is "yoji_pdf":
# the PDF printer of printer-driver-cups-pdf (its PPD and its backend), so a job takes the way a real one
# takes: Qt's CUPS support, the scheduler, the filters that make PostScript of it, and Ghostscript, which
# writes the PDF into <folder>/out/ as "<title>-job_<id>.pdf". The PostScript is made with poppler's cairo
# renderer, as Debian advises for this queue: with Ghostscript's own, Japanese text loses the Unicode of
# its glyphs on the way, and pdftotext could not read it back. A landscape page arrives as the printer
# gets it, turned on portrait A4 paper.
#
# The cups-pdf backend reads its settings only from /etc/cups, from a file named after its device URI
# ("cups-pdf:/yoji_pdf" reads cups-pdf-yoji_pdf.conf), and its PPD's defaults override some of them. So the
# server runs in a mount namespace of its own in which <folder>/etc is bound over /etc/cups: the backend
# sees the private settings, and no other process sees a change. That takes root (the backend must run as
# root as well, as it does under the machine's own server). Where the server cannot run - not root, no
# CUPS installed, no mount namespace - the start writes the reason to <folder>/unavailable and succeeds:
# the tests then print with Qt's own PDF output and say why.
#
# A client uses CUPS_SERVER=$(cat <folder>/server).
set -euo pipefail

usage() {
    echo "usage: $0 start|stop <folder>" >&2
    exit 2
}
[ $# -eq 2 ] || usage
command=$1
folder=$(mkdir -p "$2" && cd "$2" && pwd)
pidfile="$folder/server.pid"
queue=yoji_pdf

running() {
    [ -r "/proc/$1/stat" ] && ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null
}

stop_server() {
    if [ -f "$pidfile" ]; then
        local pid
        pid=$(cat "$pidfile")
        rm -f "$pidfile"
        # Only the server this script started for this folder: the process must still be a cupsd whose
        # command line names this folder's configuration.
        if [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] &&
            tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "-c $folder/etc/cupsd.conf"; then
            kill "$pid" 2>/dev/null || true
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

unavailable() {
    echo "$1" >"$folder/unavailable"
    echo "private CUPS server not started: $1" >&2
    exit 0
}

case "$command" in
start)
    stop_server
    rm -rf "$folder/etc" "$folder/spool" "$folder/cache" "$folder/state" "$folder/log" "$folder/out" \
        "$folder/cups-pdf-spool" "$folder/unavailable"
    [ "$(id -u)" -eq 0 ] || unavailable "not running as root (the PDF backend and the private /etc/cups need it)"
    command -v cupsd >/dev/null || unavailable "cupsd is not installed (Debian package cups)"
    command -v lpadmin >/dev/null || unavailable "lpadmin is not installed (Debian package cups-client)"
    [ -x /usr/lib/cups/backend/cups-pdf ] ||
        unavailable "the cups-pdf backend is not installed (Debian package printer-driver-cups-pdf)"
    ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -r "$ppd" ] || unavailable "$ppd is missing (Debian package printer-driver-cups-pdf)"
    command -v unshare >/dev/null || unavailable "unshare is not installed (Debian package util-linux)"
    unshare --mount --propagation private true 2>/dev/null ||
        unavailable "no mount namespace can be made here (unshare --mount fails)"

    mkdir -p "$folder/etc/ppd" "$folder/spool/tmp" "$folder/cache" "$folder/state" "$folder/log" \
        "$folder/out" "$folder/cups-pdf-spool"
    # The scheduler's filters run as lp: they must reach the spool and the socket.
    chmod 755 "$folder" "$folder/out"
    # A unix socket path holds at most 107 bytes; a deep build folder gets its socket in a temporary one.
    socket="$folder/cups.sock"
    if [ ${#socket} -gt 100 ]; then
        socketdir=$(mktemp -d -t yoji-cups.XXXXXX)
        chmod 755 "$socketdir"
        echo "$socketdir" >"$folder/socketdir"
        socket="$socketdir/cups.sock"
    fi
    rm -f "$socket"

    cat >"$folder/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
PreserveJobHistory Yes
PreserveJobFiles No
MaxJobs 500
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$folder/etc/cups-files.conf" <<EOF
ServerRoot $folder/etc
RequestRoot $folder/spool
TempDir $folder/spool/tmp
CacheDir $folder/cache
StateDir $folder/state
ErrorLog $folder/log/error_log
AccessLog $folder/log/access_log
PageLog $folder/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
EOF
    # Read by the cups-pdf backend as /etc/cups/cups-pdf-<queue>.conf inside the namespace.
    cat >"$folder/etc/cups-pdf-$queue.conf" <<EOF
Out $folder/out
AnonDirName $folder/out
Spool $folder/cups-pdf-spool
Label 2
Grp root
UserUMask 0022
AnonUMask 0022
Log $folder/log
LogType 3
EOF
    printf 'ServerName %s\n' "$socket" >"$folder/etc/client.conf"

    (
        unset CUPS_SERVER CUPS_USER
        exec unshare --mount --propagation private /bin/sh -c \
            'mount --bind "$1/etc" /etc/cups && exec cupsd -f -c "$1/etc/cupsd.conf" -s "$1/etc/cups-files.conf"' \
            sh "$folder" </dev/null >"$folder/log/cupsd.out" 2>&1
    ) &
    echo $! >"$pidfile"

    # Tests must not race the start: wait until the socket answers (10 s at most), then add the queue.
    for _ in $(seq 100); do
        if [ -S "$socket" ] && lpstat -h "$socket" -r 2>/dev/null | grep -q 'is running'; then
            if ! lpadmin -h "$socket" -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o printer-error-policy=abort-job \
                -o pdftops-renderer-default=pdftocairo \
                >"$folder/log/lpadmin.out" 2>&1; then
                echo "the private CUPS server does not take the queue $queue:" >&2
                cat "$folder/log/lpadmin.out" >&2
                stop_server
                exit 1
            fi
            lpadmin -h "$socket" -d "$queue" >/dev/null 2>&1 || true
            echo "$socket" >"$folder/server"
            exit 0
        fi
        if ! kill -0 "$(cat "$pidfile")" 2>/dev/null; then
            echo "the private CUPS server ended as it started; its output and log:" >&2
            cat "$folder/log/cupsd.out" "$folder/log/error_log" >&2 2>/dev/null || true
            stop_server
            exit 1
        fi
        sleep 0.1
    done
    echo "the private CUPS server does not answer on $socket; its log:" >&2
    cat "$folder/log/cupsd.out" "$folder/log/error_log" >&2 2>/dev/null || true
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
