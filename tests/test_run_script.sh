#!/usr/bin/env bash
# scripts/run starts the program in the folder the command was given in, so
# that relative paths in any position name files there, with each argument
# passed on as it was given. Checked on a copy of the script whose build
# steps and program are stand-ins that record what they were given.
set -euo pipefail
script=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/scripts/run
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
mkdir -p "$tmp/root/scripts" "$tmp/root/build" "$tmp/here"
cp "$script" "$tmp/root/scripts/run"
printf '#!/bin/sh\nexit 0\n' >"$tmp/root/scripts/install-deps"
cp "$tmp/root/scripts/install-deps" "$tmp/root/scripts/build"
printf '#!/bin/sh\npwd >"%s/seen"\nprintf "%%s|" "$@" >>"%s/seen"\n' "$tmp" "$tmp" >"$tmp/root/build/vorlane"
chmod +x "$tmp/root/scripts/"* "$tmp/root/build/vorlane"

check() { # EXPECTED ARGUMENTS...
    local expected=$1
    shift
    (cd "$tmp/here" && DISPLAY=:0 "$tmp/root/scripts/run" "$@" >/dev/null)
    [[ "$(cat "$tmp/seen")" == "$expected" ]] ||
        { echo "FAIL: run $*: expected \"$expected\", got \"$(cat "$tmp/seen")\"" >&2; exit 1; }
}
check "$tmp/here"$'\n''-A|pic.jpg|' -A pic.jpg
check "$tmp/here"$'\n''my "odd" pic.jpg|' 'my "odd" pic.jpg'
check "$tmp/here"$'\n'"$tmp/root/data/samples|"
echo "test_run_script: passed"
