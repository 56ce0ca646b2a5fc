#!/bin/sh
# Without a display the game says so in one line and exits with status 1, instead of hanging
# or crashing.
#   no_display_test.sh path/to/kelvo path/to/run-dir
set -u
game=$1
cd "$2" || exit 1
fail=0
check() {
    what=$1
    shift
    err=$(timeout 60 env "$@" "$game" 2>&1 >/dev/null)
    status=$?
    lines=$(printf '%s\n' "$err" | wc -l)
    if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! printf '%s' "$err" | grep -q '^kelvo: .*: .'; then
        echo "FAIL $what: status $status, stderr: $err"
        fail=1
    else
        echo "ok   $what: $err"
    fi
}
# A login session has an XDG_RUNTIME_DIR; without one, Wayland's library adds its own line when
# SDL looks for a display.
check "no display" -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$PWD"
check "unreachable display" -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:999
check "unknown video driver" SDL_VIDEODRIVER=no-such-driver
exit $fail
