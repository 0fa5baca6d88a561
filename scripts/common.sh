# Shared by run.sh and test.sh: install what is missing, then configure and build quietly.
# Everything a step prints goes to build/logs/; a failing step shows the end of its log.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LOGS="$ROOT/build/logs"

# Debian packages the build, the tests, the demo school and the program need.
PACKAGES="cmake ninja-build g++ pkg-config git user-mode-linux samba cifs-utils kmod iproute2
  qt6-base-dev qt6-qpa-plugins libgl-dev libicu-dev
  libsndfile1-dev libpulse-dev pulseaudio pulseaudio-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth
  espeak-ng mecab mecab-ipadic-utf8
  dpkg-dev file lintian debootstrap
  cups libcups2-dev printer-driver-cups-pdf poppler-utils qt6-translations-l10n clang-format
  xdotool dbus-daemon at-spi2-core python3-pyatspi lld"

fail() {
    echo "error: $1" >&2
    if [ -n "${2:-}" ] && [ -f "$2" ]; then
        echo "---- last lines of $2 ----" >&2
        tail -n 40 "$2" >&2
    fi
    exit 1
}

ensure_packages() {
    local missing="" p
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    mkdir -p "$LOGS"
    echo "Installing Debian packages:$missing"
    $sudo apt-get update -qq >"$LOGS/apt.log" 2>&1 || fail "apt-get update failed" "$LOGS/apt.log"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing \
        >>"$LOGS/apt.log" 2>&1 || fail "installing packages failed" "$LOGS/apt.log"
}

build_all() {
    mkdir -p "$LOGS"
    cd "$ROOT"
    if [ ! -f "$ROOT/build/CMakeCache.txt" ] || [ ! -f "$ROOT/build/build.ninja" ]; then
        cmake --preset default >"$LOGS/configure.log" 2>&1 || fail "configuring failed" "$LOGS/configure.log"
    fi
    cmake --build --preset default --parallel "$(nproc)" >"$LOGS/build.log" 2>&1 || fail "building failed" "$LOGS/build.log"
}

# Every C++ source tracked by git must be as clang-format leaves it with the root .clang-format.
check_format() {
    cd "$ROOT"
    local deviating
    deviating=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run 2>&1 | grep -o '^[^:]*:[0-9]*:[0-9]*: warning' | cut -d: -f1 | sort -u || true)
    if [ -n "$deviating" ]; then
        echo "error: these sources are not formatted with the root .clang-format (run clang-format -i on them):" >&2
        echo "$deviating" >&2
        exit 1
    fi
}
