#!/usr/bin/env bash
# End to end, the main window: its title and outer size when started empty,
# and its position kept in the settings file from one run to the next, with a
# stored position above the screen brought back down to the top edge.
#
# usage: test_window.sh PATH-TO-VORLANE
# With VORLANE_SCREENSHOT_DIR set, keeps empty-window.png there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_window.sh PATH-TO-VORLANE}
[[ -x $vorlane ]] || fail "not an executable program: $vorlane"
shots=${VORLANE_SCREENSHOT_DIR:-}
[[ -z $shots || $shots == /* ]] || shots=$PWD/$shots
export SDL_AUDIODRIVER=dummy

# The empty window: a 4440 x 2940 twip view plus 300 x 1000 twips of frame,
# menu bar and borders, at 15 twips per pixel.
empty_w=316
empty_h=263

xsession_start
conf=$XDG_CONFIG_HOME/vorlane/vorlane.conf

# ini_value SECTION KEY: the value stored in the settings file ("" if none).
ini_value() {
    [[ -f $conf ]] || return 0
    awk -v section="[$1]" -v key="$2" '
        { sub(/\r$/, ""); sub(/^[ \t]+/, ""); sub(/[ \t]+$/, "") }
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, "=") {
            k = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
            sub(/[ \t]+$/, "", k); sub(/^[ \t]+/, "", v)
            if (k == key) { print v; exit }
        }' "$conf"
}

# Starts the program without arguments and waits for its window: sets app
# and wid.
start_vorlane() {
    xsession_spawn "$vorlane"
    app=$XSESSION_PID
    wid=$(wait_for_window Vorlane 20)
}

geometry() {
    outer_geometry "$wid" 2>/dev/null || echo "? ? ? ?"
}

size_near() { # W H: the outer size is W x H within a pixel
    local x y w h
    read -r x y w h <<<"$(geometry)"
    [[ $w != "?" ]] && ((w - $1 <= 1 && $1 - w <= 1 && h - $2 <= 1 && $2 - h <= 1))
}

at() { # X Y: the outer top-left corner is at X Y
    local x y w h
    read -r x y w h <<<"$(geometry)"
    [[ $x == "$1" && $y == "$2" ]]
}

expect_size() { # W H
    wait_until size_near "$1" "$2" ||
        fail "outer size: expected ${1}x${2} px (within 1), saw $(geometry | awk '{print $3 "x" $4}')"
}

# Closes the window through the window manager; the program must quit with
# status 0 and leave the settings file behind.
close_and_expect_exit() {
    close_window "$wid" || fail "could not ask the window manager to close window $wid"
    wait_for_exit "$app" 10
    ((XSESSION_STATUS == 0)) || fail "vorlane exited with status $XSESSION_STATUS after its window was closed"
    [[ -f $conf ]] || fail "no settings file at $conf after the window was closed"
}

expect_stored_position() { # TOP LEFT, in twips
    local top left
    top=$(ini_value window top)
    left=$(ini_value window left)
    [[ $top == "$1" && $left == "$2" ]] ||
        fail "[window] in $conf: expected top=$1 left=$2, found top=${top:-(none)} left=${left:-(none)}"$'\n'"$(cat "$conf")"
}

# --- First start, no settings -----------------------------------------------
[[ ! -e $conf ]] || fail "settings file exists before the first start: $conf"
start_vorlane
pass "first start: a window titled \"Vorlane\" is shown"
expect_size "$empty_w" "$empty_h"
pass "first start: outer size ${empty_w}x${empty_h} px"

if [[ -n $shots ]]; then
    screenshot "$shots/empty-window.png" "$wid" || fail "could not save $shots/empty-window.png"
    pass "screenshot kept in $shots/empty-window.png"
fi

# Wherever the window manager put it, the position at exit is what is kept.
move_window "$wid" 200 150 || fail "could not move the window to 200,150"
close_and_expect_exit
pass "closing the window quits the program"
expect_stored_position $((150 * 15)) $((200 * 15))
pass "the position at exit (200,150 px) is stored as top=2250 left=3000"

# --- Stored position above the screen ---------------------------------------
cat >"$conf" <<'EOF'
[window]
top=-900
left=1500
EOF
start_vorlane
wait_until at 100 0 ||
    fail "stored top=-900 left=1500 (-60 px, 100 px): expected the outer top-left at 100,0, saw $(geometry | awk '{print $1 "," $2}')"
pass "a stored top above the screen is moved to 0, left kept at 100 px"
expect_size "$empty_w" "$empty_h"
pass "same outer size when placed from the settings"
close_and_expect_exit
expect_stored_position 0 1500
pass "the corrected position is stored as top=0 left=1500"

echo "test_window: all $XSESSION_PASSED checks passed"
