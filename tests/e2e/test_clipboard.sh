#!/usr/bin/env bash
# End to end, the view shared with other programs: Ctrl+C puts the view on
# the system clipboard, where xclip reads it back as a PNG of the view's
# size. Saved with Ctrl+S in Qt's dialog, a name typed without extension
# becomes NAME.bmp, a BMP of the view; saving over it asks first ("いいえ"
# keeps the file, "はい" replaces it); a name in a missing folder is refused
# with a message and the dialog stays for a name that works. A picture
# another program offers is pasted by Ctrl+V and written as Vorlane.bmp
# beside the picture shown before; an owner that never answers does not
# hold the viewer.
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

# The save dialog and the boxes it shows over itself share its title.
# expect_windows N WHAT: N such windows; press KEY N: KEY, then N such windows.
expect_windows() { wait_until -t 60 eval "[[ \$(wmctrl -l | grep -c ' 名前を付けて保存\$') == $1 ]]" || fail "$2"; }
press() { xdotool key "$1" && expect_windows "$2" "not $2 windows after $1"; }
enter_name() { # NAME [KEY]: after KEY (Ctrl+S), types NAME in the save dialog and Enter
    [[ -z ${2:-} ]] || xdotool windowactivate --sync "$wid" key "$2"
    wait_until -t 60 eval '[[ $(xdotool getactivewindow getwindowname) == 名前を付けて保存 ]]' || fail "no dialog"
    xdotool key ctrl+a && xdotool type "$1" && xdotool key Return
}
bmp_is() { [[ $(identify -format '%m %wx%h' "$dir/$1" 2>/dev/null) == BMP*" $2" ]]; }
enter_name shot ctrl+s
wait_until -t 60 bmp_is shot.bmp 60x40 || fail "no 60x40 BMP shot.bmp"
xdotool windowactivate --sync "$wid" key ctrl+e # zoomed to 110 %: the view is 66x44
enter_name shot ctrl+s
expect_windows 2 "the question before replacing"
press n 1
bmp_is shot.bmp 60x40 || fail "いいえ replaced the file"
press Return 2
xdotool key y
wait_until -t 60 bmp_is shot.bmp 66x44 || fail "はい did not replace the file"
enter_name none/c ctrl+s
expect_windows 2 "the missing folder's message"
press Return 1
enter_name c
wait_until -t 60 bmp_is c.bmp 66x44 || fail "no c.bmp after the refusal"
pass "saved as NAME.bmp; replacing asks first; a missing folder is refused in the dialog"

xsession_spawn xclip -quiet -selection clipboard -t image/png -i "$dir/offered.png"
# Until xclip owns it, the clipboard still holds the view copied above.
wait_until eval '[[ $(xclip -selection clipboard -t image/png -o 2>/dev/null |
    identify -format %wx%h - 2>/dev/null) == 50x30 ]]' || fail "xclip did not take the clipboard"
xdotool key ctrl+v
wait_until test -s "$dir/Vorlane.bmp" || fail "Ctrl+V: no Vorlane.bmp beside a.bmp"
[[ $(identify -format '%wx%h %[pixel:p{10,10}]' "$dir/Vorlane.bmp") == "50x30 srgb(0,0,255)" ]] ||
    fail "Ctrl+V: Vorlane.bmp is not the 50x30 blue picture"
pass "Ctrl+V writes the offered picture as Vorlane.bmp beside a.bmp"

# An owner that never answers (stopped): the paste gives up within Qt's one
# wait of five seconds, and the next key (Ctrl+L, the list window) is
# handled well before the minute Qt's own reading would take.
xsession_spawn xclip -quiet -selection clipboard -t image/png -i "$dir/offered.png"
stalled=$XSESSION_PID
wait_until eval 'timeout 2 xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png' ||
    fail "xclip did not take the clipboard"
kill -STOP "$stalled"
xdotool windowactivate --sync "$wid" key ctrl+v ctrl+l
wait_until -t 40 eval "wmctrl -l | grep -q ' リスト$'" || fail "Ctrl+V from an owner that never answers held the viewer"
kill -CONT "$stalled"
pass "Ctrl+V gives up on an owner that never answers, and the next key is handled"

echo "test_clipboard: all $XSESSION_PASSED checks passed"
