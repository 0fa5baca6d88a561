#!/usr/bin/env bash
# Builds the fuzz targets under tests/fuzz with clang++-14, libFuzzer and the address and undefined
# behaviour sanitizers (into build-fuzz/), and runs each for a while (default 60 seconds each):
#   scripts/fuzz.sh [seconds] [format...]
# The corpus grows in build-fuzz/corpus/<format>/; an input that fails a target is written to
# build-fuzz/crashes/<format>/. Once it is fixed, copy it into tests/fuzz/<format>/crashes/ so that the
# normal test suite replays it from then on.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_EACH=${1:-60}
shift || true
BUILD="$ROOT/build-fuzz"

command -v clang++-14 >/dev/null || { echo "error: clang++-14 is needed (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 1; }
if [ ! -f "$BUILD/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DYOJI_BUILD_FUZZERS=ON -DYOJI_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$BUILD" --target fuzzers --parallel "$(nproc)"

formats=("$@")
if [ ${#formats[@]} -eq 0 ]; then
    for dir in "$ROOT"/tests/fuzz/*/; do
        formats+=("$(basename "$dir")")
    done
fi
status=0
for format in "${formats[@]}"; do
    [ -x "$BUILD/tests/fuzz/fuzz_$format" ] || continue
    mkdir -p "$BUILD/corpus/$format" "$BUILD/crashes/$format"
    echo "== fuzz_$format for ${SECONDS_EACH}s"
    "$BUILD/tests/fuzz/fuzz_$format" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$BUILD/crashes/$format/" "$BUILD/corpus/$format" "$ROOT/tests/fuzz/$format/seeds" \
        2>"$BUILD/fuzz_$format.log" || { status=1; echo "   failed: see $BUILD/fuzz_$format.log and $BUILD/crashes/$format/"; }
    tail -n 1 "$BUILD/fuzz_$format.log"
done
exit $status
