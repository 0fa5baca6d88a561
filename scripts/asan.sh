#!/usr/bin/env bash
# Builds GUI tests with AddressSanitizer and UndefinedBehaviorSanitizer (CMake preset "asan", into
# build-asan/) and runs them offscreen; a use of freed memory or undefined behaviour stops the run with
# the sanitizer's report. By default the drill's and the result screen's tests:
#   scripts/asan.sh [test-program...]      e.g. scripts/asan.sh guitest_drill guitest_hub
# Leak reports are off: the toolkit keeps allocations until the process ends.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(guitest_drill guitest_records)
cd "$ROOT"
ensure_packages
mkdir -p "$LOGS"
if [ ! -f "$ROOT/build-asan/build.ninja" ]; then
    cmake --preset asan >"$LOGS/asan-configure.log" 2>&1 || fail "configuring the sanitizer build failed" "$LOGS/asan-configure.log"
fi
cmake --build --preset asan --parallel "$(nproc)" --target "${targets[@]}" >"$LOGS/asan-build.log" 2>&1 ||
    fail "building the sanitizer build failed" "$LOGS/asan-build.log"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
    echo "== $target (address and undefined behaviour sanitizers)"
    if "$ROOT/build-asan/tests/$target" >"$LOGS/asan-$target.log" 2>&1; then
        grep -E '^\[  PASSED  \]' "$LOGS/asan-$target.log" || true
    else
        status=1
        grep -E '^\[  FAILED  \]|ERROR: AddressSanitizer|runtime error|SUMMARY' "$LOGS/asan-$target.log" | head -n 20 || true
        echo "   the whole output is in $LOGS/asan-$target.log"
    fi
done
exit $status
