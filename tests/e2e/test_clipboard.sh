#!/usr/bin/env bash
# End to end, the clipboard shared with other programs: Ctrl+C puts the view
# on the system clipboard, where xclip reads it back as a PNG of the view's
# size; a picture another program offers is pasted by Ctrl+V, shown, and
# written as Vorlane.bmp beside the picture shown before.
#
# usage: test_clipboard.sh PATH-TO-VORLANE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_clipboard.sh PATH-TO-VORLANE}
[[ -x $vorlane ]] || fail "not an executable program: $vorlane"
for cmd in xclip convert identify; do
    command -v "$cmd" >/dev/null || fail "$cmd is not installed (scripts/install-deps installs it)"
done
export SDL_AUDIODRIVER=dummy

xsession_start
pics=$XSESSION_DIR/pictures
mkdir -p "$pics"
convert -size 60x40 xc:red "$pics/a.bmp"
convert -size 50x30 xc:blue "$XSESSION_DIR/offered.png"

xsession_spawn "$vorlane" "$pics/a.bmp"
app=$XSESSION_PID
wid=$(wait_for_window a.bmp 20)
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
wait_until eval '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$wid" ]]' ||
    fail "the window did not become active"

# The size and the colour in the middle of a picture file, "WxH colour".
describe() {
    identify -format '%wx%h %[pixel:p{10,10}]' "$1" 2>/dev/null
}

# --- Copy --------------------------------------------------------------------
copied=$XSESSION_DIR/copied.png
clipboard_png() {
    xclip -selection clipboard -t image/png -o >"$copied" 2>/dev/null && [[ -s $copied ]]
}
xdotool key ctrl+c
wait_until clipboard_png || fail "Ctrl+C: no image/png on the clipboard"
[[ $(describe "$copied") == "60x40 srgb(255,0,0)" ]] ||
    fail "Ctrl+C: the clipboard holds \"$(describe "$copied")\", expected the 60x40 red view"
pass "Ctrl+C puts the 60x40 view on the clipboard, readable as PNG by another program"

# --- Paste -------------------------------------------------------------------
xsession_spawn xclip -quiet -selection clipboard -t image/png -i "$XSESSION_DIR/offered.png"
wait_until eval 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png' ||
    fail "xclip did not take the clipboard"
xdotool key ctrl+v
pasted=$pics/Vorlane.bmp
wait_until test -s "$pasted" || fail "Ctrl+V: no Vorlane.bmp beside a.bmp"
[[ $(describe "$pasted") == "50x30 srgb(0,0,255)" ]] ||
    fail "Ctrl+V: Vorlane.bmp holds \"$(describe "$pasted")\", expected the 50x30 blue picture"
shot=$XSESSION_DIR/window.png
screenshot "$shot" "$wid"
blue=$(convert "$shot" -depth 8 txt:- | grep -ci ' #0000FF ' || true)
((blue >= 50 * 30)) || fail "Ctrl+V: only $blue blue pixels in the window, expected the 50x30 picture"
[[ $(xdotool getwindowname "$wid") == a.bmp ]] || fail "Ctrl+V changed the title"
pass "Ctrl+V shows the offered picture and writes it as Vorlane.bmp beside a.bmp"

close_window "$wid"
wait_for_exit "$app" 10
((XSESSION_STATUS == 0)) || fail "vorlane exited with status $XSESSION_STATUS"
echo "test_clipboard: all $XSESSION_PASSED checks passed"
