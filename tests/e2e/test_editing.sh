#!/usr/bin/env bash
# End to end, editing: with a 400x300 picture open, Ctrl+E zooms in (the
# window grows) and Ctrl+Z takes it back; a right-button drag crops (the
# window shrinks round the selection) and F11 undoes the crop.
#
# usage: test_editing.sh PATH-TO-VORLANE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_editing.sh PATH-TO-VORLANE}

xsession_start
picture=$XSESSION_DIR/tiles.bmp
convert -size 400x300 xc:teal "$picture"
xsession_spawn "$vorlane" "$picture"
wid=$(wait_for_window tiles.bmp 20)
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true

# The window is 300 x 1000 twips (20 x 67 pixels) larger than the view.
size_is() { [[ "$(outer_geometry "$wid" | awk '{print $3 "x" $4}')" == "$1" ]]; }
expect_size() { # WxH WHAT
    wait_until size_is "$1" || fail "$2: expected a $1 window, saw $(outer_geometry "$wid")"
    pass "$2: the window is $1"
}
expect_size 420x367 "the picture at 100 %"
xdotool key ctrl+e
expect_size 460x397 "Ctrl+E zooms to 110 %"
xdotool key ctrl+z
expect_size 420x367 "Ctrl+Z restores 100 %"

# A right-button drag over 200 x 100 pixels round the window's centre, which
# lies on the picture. The crop's window is held at its minimum width of
# 4000 twips (267 pixels).
read -r x y w h < <(outer_geometry "$wid")
cx=$((x + w / 2)) cy=$((y + h / 2))
xdotool mousemove $((cx - 100)) $((cy - 50)) mousedown 3
xdotool mousemove "$cx" "$cy"
xdotool mousemove $((cx + 100)) $((cy + 50)) mouseup 3
expect_size 267x167 "a right-button drag crops"
xdotool key F11
expect_size 420x367 "F11 undoes the crop"

quit_and_expect_success "$wid" "$XSESSION_PID"
echo "test_editing: all $XSESSION_PASSED checks passed"
