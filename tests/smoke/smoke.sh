#!/usr/bin/env bash
# The smoke test: lays out the demo school in WORK (as scripts/run.sh does, without the voices, which
# the drill does without) and lets drive.py take the program through its screens by mouse on a virtual
# display. Exits 77 (a skip) with the reason when a tool it needs is missing.
# Usage: smoke.sh PROGRAM BIN_FOLDER DATA_FOLDER WORK
# SMOKE_PROGRAM, when set, is started instead of PROGRAM (an older build, say).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${SMOKE_PROGRAM:-$1}
bin=$2
data=$3
work=$4

skip() {
    echo "SKIPPED: $1 (Debian packages: xvfb xdotool dbus-daemon at-spi2-core python3-pyatspi)"
    exit 77
}
for tool in Xvfb xdotool dbus-daemon; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the accessibility bus (at-spi2-core) is not installed"
python=""
for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null 2>&1 && "$candidate" -c 'import pyatspi' >/dev/null 2>&1; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || skip "no python3 with pyatspi (python3-pyatspi)"

rm -rf "$work"
mkdir -p "$work"
"$bin/make-demo-school" "$work/school" >"$work/demo.log" 2>&1 || {
    cat "$work/demo.log"
    exit 1
}
app="$work/school/四字熟語"
install -m 755 "$program" "$app/yojidrill"
cp -r "$data"/. "$app/"
# Level 2 (the first test level) gets a minimum time of one second, so that its test times out after
# five and reaches the result screen without answering twenty questions.
standards="$work/school/塾データ/四字熟語/タイム回数データ.txt"
"$python" - "$standards" <<'EOF' || exit 1
import sys
path = sys.argv[1]
lines = open(path, "rb").read().split(b"\r\n")
fields = lines[2].split(b",")
fields[1] = b"1"
lines[2] = b",".join(fields)
open(path, "wb").write(b"\r\n".join(lines))
EOF
exec "$python" "$here/drive.py" "$app/yojidrill" "$app" "$work/out"
