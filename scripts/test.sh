#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with CTest. Works from any folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
check_format
build_all
cd "$ROOT"
# Two tests per core: most of the tests' time is waiting (the smoke test on its program, timers, locks,
# the sound and print servers), so with twice the cores the same work takes about half the time.
if ctest --preset default --parallel "$(($(nproc) * 2))" >"$LOGS/test.log" 2>&1; then
    grep -E 'tests passed' "$LOGS/test.log" | tail -n 1
else
    sed -n '/tests passed\|tests failed/,$p' "$LOGS/test.log" >&2
    grep -E '^\s*(Failure|Expected|Value of|  Actual|Which is|.*Test.*Failure)' "$LOGS/test.log" | head -n 60 >&2 || true
    echo "The whole output is in $LOGS/test.log" >&2
    exit 1
fi
