#!/usr/bin/env bash
# Builds the Debian package build/package/yojidrill_<version>_amd64.deb (the CMake target `deb`: only
# the programs, the idiom data and the voices it holds, then CPack) and checks it with lintian.
# Installs what is missing first. Works from any folder. scripts/package-check.sh installs the package
# in a fresh Debian root and starts it there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
mkdir -p "$LOGS"
cd "$ROOT"
if [ ! -f "$ROOT/build/CMakeCache.txt" ] || [ ! -f "$ROOT/build/build.ninja" ]; then
    cmake --preset default >"$LOGS/configure.log" 2>&1 || fail "configuring failed" "$LOGS/configure.log"
fi
cmake --build "$ROOT/build" --target deb --parallel "$(nproc)" >"$LOGS/package.log" 2>&1 ||
    fail "building the package failed" "$LOGS/package.log"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$ROOT/build/CPackConfig.cmake")
deb="$ROOT/build/package/yojidrill_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "the package was not written: $deb" "$LOGS/package.log"
echo "Package: $deb"

# Errors fail the build of the package; warnings are listed (see the README for the ones that remain).
lintian_status=0
lintian "$deb" >"$LOGS/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$LOGS/lintian.log" || true
if grep -q '^E:' "$LOGS/lintian.log" || [ "$lintian_status" -gt 1 ]; then
    fail "lintian found errors in $deb (see $LOGS/lintian.log)"
fi
echo "lintian: no errors"
