#!/bin/sh
# Runs a validator and passes only when it succeeds without a word: warnings fail too.
#   quiet.sh command args...
out=$("$@" 2>&1)
status=$?
if [ "$status" -ne 0 ] || [ -n "$out" ]; then
    printf '%s\n' "$out"
    echo "FAIL: $* (status $status)"
    exit 1
fi
echo "ok: $*"
