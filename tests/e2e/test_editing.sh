#!/usr/bin/env bash
# End to end, editing: with a picture open, Ctrl+E zooms in (the window grows)
# and Ctrl+Z takes it back; a right-button drag crops (the window shrinks
# round the selection) and F11 undoes the crop.
#
# usage: test_editing.sh PATH-TO-VORLANE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_editing.sh PATH-TO-VORLANE}
[[ -x $vorlane ]] || fail "not an executable program: $vorlane"
command -v convert >/dev/null || fail "convert (ImageMagick) is not installed (scripts/install-deps installs it)"
export SDL_AUDIODRIVER=dummy

xsession_start
# 400 x 300 pixels: at 100 % its window is 420 x 367 (300 x 1000 twips
# round the picture at 15 twips per pixel).
picture=$XSESSION_DIR/tiles.bmp
convert -size 400x300 xc:teal "$picture"
xsession_spawn "$vorlane" "$picture"
app=$XSESSION_PID
wid=$(wait_for_window tiles.bmp 20)
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true

size() {
    outer_geometry "$wid" 2>/dev/null | awk '{print $3 "x" $4}'
}
size_is() { # WxH
    [[ "$(size)" == "$1" ]]
}
expect_size() { # WxH WHAT
    wait_until size_is "$1" || fail "$2: expected the window at $1, saw $(size)"
}

expect_size 420x367 "opening a 400x300 picture"
pass "a 400x300 picture opens in a 420x367 window"

xdotool key ctrl+e
expect_size 460x397 "Ctrl+E"
pass "Ctrl+E zooms to 110 %: the window grows to 460x397"
xdotool key ctrl+z
expect_size 420x367 "Ctrl+Z after Ctrl+E"
pass "Ctrl+Z restores 100 % and the 420x367 window"

# The surface sits 10 px in from the frame's left edge and below the menu
# bar: find it as the top-left teal pixel of a screenshot.
shot=$XSESSION_DIR/window.png
screenshot "$shot" "$wid" || fail "could not photograph the window"
read -r wx wy _ < <(outer_geometry "$wid")
convert "$shot" -depth 8 "txt:$shot.txt"
origin=$(grep -m 1 -i ' #008080 ' "$shot.txt" | cut -d: -f1)
[[ -n $origin ]] || fail "no teal pixel of the picture in the window"
sx=$((wx + ${origin%,*}))
sy=$((wy + ${origin#*,}))

# Right-button drag over 200 x 100 pixels of the picture.
xdotool mousemove "$((sx + 50))" "$((sy + 40))" mousedown 3
xdotool mousemove "$((sx + 150))" "$((sy + 90))"
xdotool mousemove "$((sx + 250))" "$((sy + 140))" mouseup 3
# A 200 x 100 crop: 300 twips wider than 200 px is below the minimum width
# of 4000 twips (267 px); the height is 100 px + 1000 twips.
expect_size 267x167 "a right-button drag over 200x100 pixels"
pass "a right-button drag crops: the window shrinks to 267x167 round the selection"

xdotool key F11
expect_size 420x367 "F11 after the crop"
pass "F11 undoes the crop: the window is 420x367 again"

close_window "$wid" || fail "could not ask the window manager to close window $wid"
wait_for_exit "$app" 10
((XSESSION_STATUS == 0)) || fail "vorlane exited with status $XSESSION_STATUS"
echo "test_editing: all $XSESSION_PASSED checks passed"
