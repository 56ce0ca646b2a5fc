#!/bin/sh
# Installs the build under a temporary prefix with a space in it, checks that every file is
# there, then runs the launcher as a new player, a returning player and after an update.
#   install_test.sh build-dir expected-files.txt launcher-under-the-prefix
set -u
build=$1
expected=$2
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/pre fix"
fail=0
bad() {
    echo "FAIL $*"
    fail=1
}

kelvo=$prefix/$3
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log"; bad "cmake --install"; exit 1; }

while read -r file; do
    [ -f "$prefix/$file" ] || bad "not installed: $file"
    case $file in
    */hicolor/*/apps/*)
        size=${file#*/hicolor/}
        size=${size%%x*}
        file -b "$prefix/$file" | grep -q "PNG image data, $size x $size," ||
            bad "$file is not a $size x $size PNG: $(file -b "$prefix/$file")"
        ;;
    esac
done <"$expected"
[ -x "$kelvo" ] || bad "the launcher is not executable"
[ -x "$prefix/libexec/kelvo/kelvo" ] || bad "the game is not executable"
file -b "$build/packaging/screenshot.png" | grep -q 'PNG image data, 700 x 480,' ||
    bad "the screenshot is not the game's 700 x 480 window"

# The launcher ends by running the game, which has no display here: it says so in one line of
# its own and exits with status 1, after the launcher has prepared the player's folder. A login
# session has an XDG_RUNTIME_DIR; without one, Wayland's library adds its own line.
launch() {
    out=$(XDG_RUNTIME_DIR=$tmp env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" \
        2>&1 >/dev/null)
    status=$?
}
started() {
    what=$1
    shift
    launch "$@"
    if [ "$status" -ne 1 ] || [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ] ||
        ! printf '%s' "$out" | grep -q '^kelvo: .*: .' ||
        printf '%s' "$out" | grep -q -e 'folder' -e 'missing' -e 'not set' -e 'cannot copy' \
            -e 'cannot enter' -e 'cannot find'; then
        bad "$what: the game did not start (status $status): $out"
    fi
}
same_pictures() {
    for f in "$prefix"/share/kelvo/rc/*; do
        cmp -s "$f" "$1/rc/$(basename "$f")" || bad "$2: $1/rc/$(basename "$f") differs"
    done
}

home="$tmp/home dir"
mkdir "$home"
player="$home/.local/share/kelvo"
started "first launch" -u XDG_DATA_HOME HOME="$home" "$kelvo"
same_pictures "$player" "first launch"

# A returning player keeps the motif; a damaged picture is mended; an update brings new pictures.
printf '1 0 1 \n0 1 0 \n1 0 1 \n' >"$player/rc/motif.txt"
: >"$player/rc/0.bmp"
printf 'new picture' >"$prefix/share/kelvo/rc/win.bmp"
ln -s "$kelvo" "$tmp/kelvo-link"
started "second launch through a link" -u XDG_DATA_HOME HOME="$home" "$tmp/kelvo-link"
[ "$(cat "$player/rc/motif.txt")" = "$(printf '1 0 1 \n0 1 0 \n1 0 1 ')" ] ||
    bad "the player's motif was replaced"
cmp -s "$player/rc/0.bmp" "$prefix/share/kelvo/rc/0.bmp" || bad "a damaged picture was kept"
cmp -s "$player/rc/win.bmp" "$prefix/share/kelvo/rc/win.bmp" || bad "the update was not copied"
ls -a "$player/rc" | grep -q '\.new\.' && bad "temporary files left in $player/rc"

started "XDG_DATA_HOME" HOME="$home" XDG_DATA_HOME="$tmp/data home" "$kelvo"
same_pictures "$tmp/data home/kelvo" "XDG_DATA_HOME"
started "relative XDG_DATA_HOME, ignored" HOME="$tmp/other" XDG_DATA_HOME=relative "$kelvo"
[ -f "$tmp/other/.local/share/kelvo/rc/motif.txt" ] || bad "a relative XDG_DATA_HOME was used"

# A folder that cannot be made: one clear line, status 1, and the game not started.
: >"$tmp/a file"
launch HOME="$home" XDG_DATA_HOME="$tmp/a file" "$kelvo"
[ "$status" -eq 1 ] && [ "${out%: *}" = "kelvo: cannot make the folder $tmp/a file/kelvo/rc" ] &&
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] ||
    bad "unusable folder: status $status, stderr: $out"
launch -u HOME -u XDG_DATA_HOME "$kelvo"
[ "$status" -eq 1 ] && printf '%s' "$out" | grep -q '^kelvo: HOME is not set' ||
    bad "no HOME: status $status, stderr: $out"

[ "$fail" -eq 0 ] && echo "ok: $(wc -l <"$expected") files installed, launcher checked"
exit "$fail"
