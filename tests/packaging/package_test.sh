#!/bin/sh
# What a player gets. "install": the build installed under a prefix with a space in it, its desktop
# entry and metainfo validated, the launcher run as a new player, a returning player and after an
# update. "deb": the package that tools/package builds. Both: every file an installation needs.
#   package_test.sh install|deb build-dir bin-dir app-id icon-sizes
set -u
mode=$1 build=$2 bin=$3 app=$4 iconSizes=$5 fail=0 tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
bad() { echo "FAIL $*"; fail=1; }
if [ "$mode" = deb ]; then
    "$(dirname "$0")/../../tools/package" "$build/package" >"$tmp/log" 2>&1 &&
        deb=$(tail -n 1 "$tmp/log") && dpkg-deb -x "$deb" "$tmp/root" || { cat "$tmp/log"; exit 1; }
    prefix=$tmp/root/usr
    dpkg-deb -f "$deb" Depends | grep -q 'libsdl-ttf2.0-0, libsdl1.2' || bad "no dependency on SDL"
else
    prefix="$tmp/pre fix"
    cmake --install "$build" --prefix "$prefix" >"$tmp/log" 2>&1 || { cat "$tmp/log"; exit 1; }
    out=$(desktop-file-validate "$prefix/share/applications/$app.desktop" 2>&1) && [ -z "$out" ] || bad "desktop-file-validate: $out"
    appstreamcli validate --no-net --strict "$prefix/share/metainfo/$app.metainfo.xml" || bad appstreamcli
fi
# Every file a player's installation needs, with everything the build puts in the game's rc/.
for f in "$bin/kelvo" "$bin/kelvo-solve" libexec/kelvo/kelvo share/man/man6/kelvo.6.gz \
    share/man/man6/kelvo-solve.6.gz share/doc/kelvo/copyright share/doc/kelvo/changelog.gz \
    share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
    $(cd "$build/run" && ls rc/* | sed 's|^|share/kelvo/|'); do
    [ -f "$prefix/$f" ] || bad "not installed: $f"
done
for s in $iconSizes; do
    file -b "$prefix/share/icons/hicolor/${s}x$s/apps/$app.png" | grep -q "PNG image data, $s x $s," || bad "no $s x $s icon"
done
[ "$mode" = deb ] && exit "$fail"

# The launcher prepares the player's folder, then runs the game, which has no display here: the
# game says so in one line of its own (kelvo: what: why) and exits with status 1. A login session
# has an XDG_RUNTIME_DIR; without one, Wayland's library adds a line of its own.
started() {
    out=$(XDG_RUNTIME_DIR=$tmp env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" 2>&1 >/dev/null)
    [ $? -eq 1 ] && [ "$(echo "$out" | wc -l)" -eq 1 ] && echo "$out" | grep '^kelvo: .*: .' |
        grep -qv -e folder -e missing -e 'not set' -e 'cannot copy' -e 'cannot enter' -e 'cannot find' ||
        bad "the game did not start: $out"
    # Everything installed is in the player's folder, the same but for the player's own motif.
    for f in "$prefix"/share/kelvo/rc/*; do
        [ "${f##*/}" = motif.txt ] && [ -f "$player/rc/motif.txt" ] || cmp -s "$f" "$player/rc/${f##*/}" || bad "$player/rc/${f##*/} differs"
    done
}
home="$tmp/home dir" player="$tmp/home dir/.local/share/kelvo"
mkdir "$home" && started -u XDG_DATA_HOME HOME="$home" "$prefix/$bin/kelvo"
# A returning player keeps the motif; a damaged picture is mended; an update brings new pictures.
printf '1 0 1 \n0 1 0 \n1 0 1 \n' >"$player/rc/motif.txt"
: >"$player/rc/0.bmp"
printf 'new picture' >"$prefix/share/kelvo/rc/win.bmp"
started -u XDG_DATA_HOME HOME="$home" "$prefix/$bin/kelvo"
[ "$(cat "$player/rc/motif.txt")" = "$(printf '1 0 1 \n0 1 0 \n1 0 1 ')" ] || bad "the motif was replaced"
ls -a "$player/rc" | grep -q '\.new\.' && bad "temporary files left in $player/rc"
player="$tmp/data home/kelvo"
started HOME="$home" XDG_DATA_HOME="$tmp/data home" "$prefix/$bin/kelvo"
exit "$fail"
