#!/bin/sh
# Without a display the game says so in one line and exits with status 1, instead of hanging
# or crashing.
#   no_display_test.sh path/to/kelvo path/to/run-dir
cd "$2" || exit 1
# A login session has an XDG_RUNTIME_DIR; without one, Wayland's library adds a line of its own.
for settings in "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR=$PWD" \
    "-u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:999" "SDL_VIDEODRIVER=no-such-driver"; do
    err=$(timeout 60 env $settings "$1" 2>&1 >/dev/null)
    status=$?
    [ $status -eq 1 ] && [ "$(echo "$err" | wc -l)" -eq 1 ] && echo "$err" | grep -q '^kelvo: .*: .' ||
        { echo "FAIL $settings: status $status, stderr: $err"; exit 1; }
done
