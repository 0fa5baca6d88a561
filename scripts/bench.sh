#!/usr/bin/env bash
# Builds the program (default preset, optimised with debug info) and runs every benchmark program
# bench_* under build/bench/. Extra arguments go to each benchmark (e.g. --benchmark_filter=Statistics).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
mkdir -p "$LOGS"
cd "$ROOT"
# The build folder is the test command's; the benchmarks are switched on in it (and stay on there).
cmake --preset default -DYOJI_BUILD_BENCHMARKS=ON >"$LOGS/configure.log" 2>&1 || fail "configuring failed" "$LOGS/configure.log"
build_all
found=0
for bench in build/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    found=1
    echo "== $(basename "$bench")"
    "$bench" "$@"
done
[ "$found" -eq 1 ] || fail "no benchmark programs under build/bench (is libbenchmark-dev installed?)"
