#!/usr/bin/env bash
# End to end, the main window: its title, icon and outer size when started empty,
# a stored position above the screen brought back down to the top edge and
# the corrected one stored at exit. Showing a picture, F makes it cover the
# screen without frame and Esc gives back the window as it was; moved and
# closed while full screen, it stores the position it had.
#
# usage: test_window.sh PATH-TO-VORLANE
# With VORLANE_SCREENSHOT_DIR set, keeps empty-window.png and full-screen.png
# there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"
vorlane=${1:?usage: test_window.sh PATH-TO-VORLANE}
xsession_start
conf=$XDG_CONFIG_HOME/vorlane/vorlane.conf

# The window's outer top-left corner is at X Y ("*" for any) and its size
# is the empty view's 4440 x 2940 twips plus 300 x 1000 of frame, menu bar
# and borders: 316 x 263 px, within a pixel.
window_is() { # X Y
    local x y w h
    read -r x y w h <<<"$(outer_geometry "$wid")"
    # shellcheck disable=SC2053 # $1 and $2 are patterns
    [[ -n $h && $x == $1 && $y == $2 ]] && ((w >= 315 && w <= 317 && h >= 262 && h <= 264))
}

start_and_expect() { # X Y
    xsession_spawn "$vorlane"
    app=$XSESSION_PID
    wid=$(wait_for_window Vorlane 20)
    wait_until window_is "$1" "$2" ||
        fail "expected the window at $1 $2 sized 316x263, saw $(outer_geometry "$wid")"
}

# Closes the window; the program must quit with status 0 having stored TOP
# and LEFT (twips) under [window].
close_and_expect_stored() { # TOP LEFT
    quit_and_expect_success "$wid" "$app"
    grep -qix "top=$1" "$conf" && grep -qix "left=$2" "$conf" ||
        fail "expected top=$1 left=$2 in $conf:"$'\n'"$(cat "$conf" 2>/dev/null)"
}

[[ ! -e $conf ]] || fail "settings file exists before the first start: $conf"
start_and_expect '*' '*'
# The icon comes once the window is up: all four sizes a window manager shows.
has_icons() { local p; p=$(xprop -id "$wid" _NET_WM_ICON 2>/dev/null) &&
    for n in 16 32 48 64; do [[ $p == *"Icon ($n x $n)"* ]] || return 1; done; }
wait_until has_icons || fail "the window carries no icon of 16, 32, 48 and 64 px"
pass "first start: a window titled \"Vorlane\", 316x263 px, with its icon"
keep_screenshot empty-window.png "$wid"
quit_and_expect_success "$wid" "$app"

printf '[window]\ntop=-900\nleft=1500\n' >"$conf"
start_and_expect 100 0
close_and_expect_stored 0 1500
pass "a stored top above the screen is moved to 0, left kept at 100 px, and stored so"

full_screen() { # F: the window covers the screen without frame
    xdotool windowactivate --sync "$wid" key f
    wait_until eval '[[ $(outer_geometry "$wid") == "0 0 1024 768" && $(xprop -id "$wid" _NET_FRAME_EXTENTS) == *"= 0, 0, 0, 0" ]]' ||
        fail "F: expected 0 0 1024 768 without frame, saw $(outer_geometry "$wid")"; }
cp "$here/../../data/samples/08-grid.bmp" "$XSESSION_DIR/grid.bmp"
xsession_spawn "$vorlane" "$XSESSION_DIR/grid.bmp"
app=$XSESSION_PID
wid=$(wait_for_window grid.bmp 20)
move_window "$wid" 200 150 || fail "could not move the window to 200,150"
before=$(outer_geometry "$wid")
full_screen
keep_screenshot full-screen.png "$wid"
xdotool key Escape
wait_until eval '[[ "$(outer_geometry "$wid")" == "$before" ]]' || fail "Esc: expected $before, saw $(outer_geometry "$wid")"
full_screen
close_and_expect_stored 2250 3000
pass "F covers the screen without frame, Esc gives back the window at $before; closed full screen, it stores where it was (200,150 px)"
