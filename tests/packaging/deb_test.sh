#!/bin/sh
# Builds the Debian package into a temporary folder and checks its files and its control data.
#   deb_test.sh build-dir expected-files.txt
set -u
build=$1
expected=$2
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
fail=0
bad() {
    echo "FAIL $*"
    fail=1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; echo "FAIL cpack"; exit 1; }
set -- "$tmp"/kelvo_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { cat "$tmp/cpack.log"; echo "FAIL no single kelvo_*.deb"; exit 1; }
deb=$1

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$tmp/contents"
while read -r file; do
    grep -qxF "./usr/$file" "$tmp/contents" || bad "not in the package: /usr/$file"
done <"$expected"

[ "$(dpkg-deb -f "$deb" Package)" = kelvo ] || bad "package name"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || bad "section"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libsdl libsdl-ttf2.0-0; do
    printf '%s' "$depends" | grep -q "$lib" || bad "Depends lacks $lib: $depends"
done

dpkg-deb -x "$deb" "$tmp/root"
file -b "$tmp/root/usr/libexec/kelvo/kelvo" | grep -q ', stripped' || bad "the game is not stripped"

[ "$fail" -eq 0 ] && echo "ok: $(basename "$deb"), Depends: $depends"
exit "$fail"
