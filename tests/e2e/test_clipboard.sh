#!/usr/bin/env bash
# End to end, the clipboard shared with other programs: Ctrl+C puts the view
# on the system clipboard, where xclip reads it back as a PNG of the view's
# size; a picture another program offers is pasted by Ctrl+V and written as
# Vorlane.bmp beside the picture shown before; an owner that never answers
# does not hold the viewer.
#
# usage: test_clipboard.sh PATH-TO-VORLANE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_clipboard.sh PATH-TO-VORLANE}

xsession_start
dir=$XSESSION_DIR
convert -size 60x40 xc:red "$dir/a.bmp"
convert -size 50x30 xc:blue "$dir/offered.png"
xsession_spawn "$vorlane" "$dir/a.bmp"
wid=$(wait_for_window a.bmp 20)
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || fail "the window did not become active"

xdotool key ctrl+c
wait_until eval 'xclip -selection clipboard -t image/png -o >"$dir/copied.png" 2>/dev/null &&
    [[ -s $dir/copied.png ]]' || fail "Ctrl+C: no image/png on the clipboard"
# The size and a colour inside each picture file, "WxH colour".
[[ $(identify -format '%wx%h %[pixel:p{10,10}]' "$dir/copied.png") == "60x40 srgb(255,0,0)" ]] ||
    fail "Ctrl+C: the clipboard does not hold the 60x40 red view"
pass "Ctrl+C puts the 60x40 view on the clipboard, readable as PNG by another program"

xsession_spawn xclip -quiet -selection clipboard -t image/png -i "$dir/offered.png"
wait_until eval 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png' ||
    fail "xclip did not take the clipboard"
xdotool key ctrl+v
wait_until test -s "$dir/Vorlane.bmp" || fail "Ctrl+V: no Vorlane.bmp beside a.bmp"
[[ $(identify -format '%wx%h %[pixel:p{10,10}]' "$dir/Vorlane.bmp") == "50x30 srgb(0,0,255)" ]] ||
    fail "Ctrl+V: Vorlane.bmp is not the 50x30 blue picture"
pass "Ctrl+V writes the offered picture as Vorlane.bmp beside a.bmp"

# An owner that never answers (stopped): the paste gives up within Qt's one
# wait of five seconds, and the next key (Ctrl+C, taking the clipboard back)
# is handled well before the minute Qt's own reading would take.
xsession_spawn xclip -quiet -selection clipboard -t image/png -i "$dir/offered.png"
stalled=$XSESSION_PID
wait_until eval 'timeout 2 xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png' ||
    fail "xclip did not take the clipboard"
kill -STOP "$stalled"
xdotool key ctrl+v ctrl+c
wait_until -t 40 eval 'timeout 1 xclip -selection clipboard -t image/png -o 2>/dev/null | identify - >/dev/null 2>&1' ||
    fail "Ctrl+V from an owner that never answers held the viewer"
kill -CONT "$stalled"
pass "Ctrl+V gives up on an owner that never answers, and the next key is handled"

echo "test_clipboard: all $XSESSION_PASSED checks passed"
