#!/bin/sh
# The source release: unpacked where there is no .git and git cannot run, its format check passes
# and its board tests build and pass. Skipped (77) outside a git checkout, which has no file list.
#   dist_test.sh
set -u
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
top=$(dirname "$0")/../..
git -C "$top" rev-parse --git-dir >/dev/null 2>&1 || { echo "not a git checkout: no release to make"; exit 77; }
tarball=$("$top/tools/dist" "$tmp") && tar -xzf "$tarball" -C "$tmp" || exit 1
source=$tmp/$(basename "$tarball" .tar.gz)
[ -x "$source/test" ] && [ -x "$source/play" ] && [ ! -e "$source/.git" ] || { echo "FAIL not a release: $source"; exit 1; }
mkdir "$tmp/bin" && printf '#!/bin/sh\necho "git: not installed" >&2\nexit 127\n' >"$tmp/bin/git" &&
    chmod +x "$tmp/bin/git" || exit 1
export PATH="$tmp/bin:$PATH"
cd "$source" && tools/check-format &&
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$tmp/log" 2>&1 &&
    cmake --build build -j "$(nproc)" --target board_tests >>"$tmp/log" 2>&1 ||
    { cat "$tmp/log"; echo "FAIL the release does not build"; exit 1; }
build/tests/board_tests --gtest_brief=1
