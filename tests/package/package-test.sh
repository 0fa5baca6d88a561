#!/usr/bin/env bash
# Usage: package-test.sh CMAKE CPACK BUILD_FOLDER WORK VERSION IDIOM_LIST
# Exits 77 (a skip) with the reason when a tool the package is built with is missing.
set -uo pipefail
cmake=$1 cpack=$2 build=$3 work=$4 version=$5 list=$6
app=./opt/kamirato/四字熟語
path_data=./opt/kamirato/パスデータ.txt

skip() {
    echo "SKIPPED: $1"
    exit 77
}
command -v dpkg-deb >/dev/null 2>&1 || skip "dpkg-deb is not installed (Debian package dpkg)"
command -v dpkg-shlibdeps >/dev/null 2>&1 || skip "dpkg-shlibdeps is not installed (Debian package dpkg-dev)"
command -v file >/dev/null 2>&1 || skip "file is not installed (Debian package file)"
for tool in espeak-ng mecab; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed: the package's voices cannot be spoken"
done

failures=0
fail() {
    echo "FAIL: $1"
    failures=$((failures + 1))
}
expect() { # expect "what" command...
    local what=$1
    shift
    "$@" || fail "$what"
}

rm -rf "$work"
mkdir -p "$work"
"$cmake" --build "$build" --target package-voices >"$work/voices.log" 2>&1 || {
    cat "$work/voices.log"
    exit 1
}
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
arch=$(dpkg --print-architecture)
deb="$work/out/yojidrill_${version}_${arch}.deb"
[ -f "$deb" ] || {
    ls -l "$work/out"
    echo "FAIL: no package named $(basename "$deb")"
    exit 1
}

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
expect "Package" test "$(field Package)" = yojidrill
expect "Version is the project's" test "$(field Version)" = "$version"
expect "Architecture" test "$(field Architecture)" = "$arch"
expect "Section" test "$(field Section)" = education
expect "Priority" test "$(field Priority)" = optional
expect "Maintainer with an address" grep -qE '^[^<]+ <[^@> ]+@[^> ]+>$' <<<"$(field Maintainer)"
expect "Description with a summary and a long text" test "$(field Description | wc -l)" -ge 3
depends=$(field Depends)
for want in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libicu libpulse0 \
    libsndfile1 libcups2 qt6-qpa-plugins fonts-ipafont-gothic; do
    grep -qE "(^|, )${want//+/\\+}[^,]*" <<<"$depends" || fail "Depends lacks $want: $depends"
done
expect "Depends names versions found by dpkg-shlibdeps" grep -qE 'libqt6core6 \(>= 6\.[0-9.]+\)' <<<"$depends"
expect "Installed-Size of the voices and programs (KiB)" test "$(field Installed-Size)" -gt 10000

mkdir -p "$work/control"
dpkg-deb -e "$deb" "$work/control"
expect "control members" test "$(ls "$work/control" | tr '\n' ' ')" = "conffiles control md5sums "
expect "the one conffile is パスデータ.txt" test "$(cat "$work/control/conffiles")" = "${path_data#.}"

# File list: owners, modes, where things are, nothing elsewhere.
dpkg-deb -c "$deb" >"$work/contents.txt"
awk '$2 != "root/root" { print "FAIL: not owned by root: " $0 }' "$work/contents.txt" | grep . && failures=$((failures + 1))
entries=$(awk '{ print substr($1, 1, 1) substr($1, 2, 9) " " $6 }' "$work/contents.txt")
for want in "-rwxr-xr-x $app/yojidrill" "-rw-r--r-- $app/四字02vv.ccc" "drwxr-xr-x $app/四字熟語音声/" \
    "-rw-r--r-- $path_data" "-rwxr-xr-x ./usr/bin/yojidrill" "-rwxr-xr-x ./usr/bin/yoji-data" \
    "-rwxr-xr-x ./usr/bin/yojidrill-demo" "-rwxr-xr-x ./usr/lib/yojidrill/make-demo-school" \
    "-rw-r--r-- ./usr/share/applications/yojidrill.desktop" \
    "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/yojidrill.svg" \
    "-rw-r--r-- ./usr/share/doc/yojidrill/copyright" "-rw-r--r-- ./usr/share/doc/yojidrill/changelog.gz" \
    "-rw-r--r-- ./usr/share/lintian/overrides/yojidrill"; do
    grep -qxF -- "$want" <<<"$entries" || fail "missing or wrong mode: $want"
done
outside=$(awk '{ print $6 }' "$work/contents.txt" | grep -vE '^\./(opt/(kamirato/.*)?|usr/(bin/.*|lib/(yojidrill/.*)?|share/(applications|icons|doc|lintian)/.*)?|usr/share/)?$')
[ -z "$outside" ] || fail "files outside the package's folders: $outside"
idioms=$(awk -F, '$1 ~ /^[0-9]+$/' "$list" | wc -l)
voices=$(grep -c "^$app/四字熟語音声/.*[12]\.wav\$" <<<"$(awk '{ print $6 }' "$work/contents.txt")")
expect "two voices for each of the $idioms idioms (found $voices)" test "$voices" -eq $((idioms * 2))

# The files themselves.
root="$work/root"
dpkg-deb -x "$deb" "$root"
expect "the idiom data file is the build's" cmp -s "$root/$app/四字02vv.ccc" "$build/data/四字02vv.ccc"
printf -v default_path_data '"/srv/juku/","","","","","","","","",""\r\n'
expect "パスデータ.txt names /srv/juku/ in ten items with CRLF" \
    test "$(od -An -c "$root/$path_data")" = "$(printf '%s' "$default_path_data" | od -An -c)"
bad_voices=0
for wav in "$root/$app/四字熟語音声"/*.wav; do
    IFS= read -r -N 4 magic <"$wav"
    [ "$magic" = RIFF ] || bad_voices=$((bad_voices + 1))
done
expect "every voice is a WAV file ($bad_voices are not)" test "$bad_voices" -eq 0
launcher=$(sed -n 's/^exec "\([^"]*\)".*/\1/p' "$root/usr/bin/yojidrill")
expect "/usr/bin/yojidrill starts the program by its path in the package ($launcher)" \
    test "$launcher" = "${app#.}/yojidrill" -a -x "$root/$launcher"
for script in yojidrill yojidrill-demo; do
    expect "$script is a shell script without syntax errors" sh -n "$root/usr/bin/$script"
done
demo_links=$(grep -o '/opt/kamirato/[^"]*' "$root/usr/bin/yojidrill-demo" | sort -u)
expect "yojidrill-demo links the installed application folder ($demo_links)" test "$demo_links" = "${app#.}"
for program in "$app/yojidrill" ./usr/bin/yoji-data ./usr/lib/yojidrill/make-demo-school; do
    readelf -S "$root/$program" | grep -q '\.debug_info' && fail "not stripped: $program"
done
"$root/usr/bin/yoji-data" --help >"$work/help.txt" 2>&1
expect "the packaged yoji-data runs and explains school" grep -q 'yoji-data school <共通フォルダ>' "$work/help.txt"
desktop="$root/usr/share/applications/yojidrill.desktop"
for line in "Exec=yojidrill" "Icon=yojidrill" "Type=Application" "Name[ja]=四字熟語ドリル"; do
    grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
if command -v desktop-file-validate >/dev/null 2>&1; then
    expect "desktop-file-validate" desktop-file-validate "$desktop"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; the package is $deb"
    exit 1
fi
echo "package $(basename "$deb"): control fields, conffiles and $(wc -l <"$work/contents.txt") entries as expected"
