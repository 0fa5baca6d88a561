#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo school (once; a school's results and edited files
# are never overwritten) and starts the program on it. Works from any folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all

DEMO="$ROOT/build/demo-school"
"$ROOT/build/bin/make-demo-school" "$DEMO" >"$LOGS/demo.log" 2>&1 || fail "laying out the demo school failed" "$LOGS/demo.log"
# The application folder holds the program itself and its idiom data.
APP="$DEMO/四字熟語"
install -m 755 "$ROOT/build/bin/yojidrill" "$APP/yojidrill"
for f in "$ROOT"/build/data/*; do
    [ -e "$f" ] && cp -r "$f" "$APP/"
done
# The idioms' voice files, spoken by espeak-ng (made once; files already there are kept). Without
# espeak-ng the drill runs without voices.
if command -v espeak-ng >/dev/null 2>&1; then
    "$ROOT/build/bin/yoji-data" voices "$APP/四字02vv.ccc" "$APP" >"$LOGS/voices.log" 2>&1 ||
        echo "warning: some idiom voices could not be made; see $LOGS/voices.log" >&2
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: to run the demo school without a screen, use: xvfb-run -a $0" >&2
    exit 1
fi

# The program plays its sounds through the machine's sound server. Where none answers (a fresh machine,
# xvfb-run), a private PulseAudio is started for it in build/demo-pulse/ and stopped when it ends: on
# the sound card when there is one, else into a null sink (nothing is heard, but the drill runs). The
# program itself never starts a server; without one it reports its sound error after four answers.
PULSE_SCRIPT="$ROOT/tests/platform/pulse-server.sh"
PULSE_DIR="$ROOT/build/demo-pulse"
if ! timeout 5 pactl info >/dev/null 2>&1; then
    output=""
    if grep -qE '^ *[0-9]+ ' /proc/asound/cards 2>/dev/null &&
        "$PULSE_SCRIPT" start "$PULSE_DIR" card >"$LOGS/pulse.log" 2>&1; then
        output="on the sound card"
    elif "$PULSE_SCRIPT" start "$PULSE_DIR" null >>"$LOGS/pulse.log" 2>&1; then
        output="into a null sink: no sound card was found, nothing will be heard"
    fi
    if [ -n "$output" ]; then
        trap '"$PULSE_SCRIPT" stop "$PULSE_DIR" >>"$LOGS/pulse.log" 2>&1' EXIT
        export PULSE_SERVER="$(cat "$PULSE_DIR/server")" PULSE_COOKIE="$PULSE_DIR/home/cookie"
        echo "No sound server answers: started a private PulseAudio for the program ($output)."
    else
        echo "warning: no sound server answers and none could be started (see $LOGS/pulse.log)" >&2
    fi
fi

echo "Demo school in $DEMO; starting the program."
status=0
"$APP/yojidrill" || status=$?
exit $status
