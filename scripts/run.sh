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
echo "Demo school in $DEMO; starting the program."
exec "$APP/yojidrill"
