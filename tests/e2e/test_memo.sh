#!/usr/bin/env bash
# End to end, the side windows: "Memo" on the menu bar opens the memo window
# of the picture shown, a memo typed there is saved by "更新" as a Shift-JIS
# file beside the picture (today's date on its first line); "情報" opens the
# about window; the Open dialog speaks Japanese.
#
# usage: test_memo.sh PATH-TO-VORLANE
# With VORLANE_SCREENSHOT_DIR set, keeps memo-window.png, about-window.png
# and open-dialog.png there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"
vorlane=${1:?usage: test_memo.sh PATH-TO-VORLANE}

xsession_start
pics=$XSESSION_DIR/pictures
mkdir -p "$pics"
# A small picture keeps the window narrow, its menu bar on one line.
convert -size 120x90 xc:skyblue "$pics/sky.jpg"
xsession_spawn "$vorlane" "$pics/sky.jpg"
app=$XSESSION_PID
wid=$(wait_for_window sky.jpg 20)

# Clicks along the menu bar leftwards from bar_x until the window TITLE
# opens: the commands placed straight on the bar sit at its right end.
bar_x=$(($(xwininfo -id "$wid" | awk -F: '/^ *Width:/ {print $2}') - 4))
click_bar_until() { # TITLE
    local i _xs_found x y
    read -r x y < <(client_origin "$wid")
    for (( ; bar_x > 0; bar_x -= 6)); do
        xdotool mousemove $((x + bar_x)) $((y + 10)) click 1
        for ((i = 0; i < 5; i++)); do
            _xs_find_window "$1" && return 0
            sleep 0.1
        done
    done
    fail "no window \"$1\" from the menu bar"
}

click_bar_until "メモの表示"
mwid=$(wait_for_window "メモの表示")
move_window "$mwid" 600 400 # out of the way of the menu bar
# メモの入力・編集 and 更新 sit in a row near the window's bottom.
read -r x y < <(client_origin "$mwid")
y=$((y + $(xwininfo -id "$mwid" | awk -F: '/^ *Height:/ {print $2}') - 40))
xdotool mousemove $((x + 40)) $y click 1 type --delay 50 "hello"
xdotool mousemove $((x + 259)) $y click 1
expected=$(printf '%s\r\nhello\r\n' "$(date +%Y年%m月%d日)" | iconv -f UTF-8 -t CP932 | od -An -tx1)
has_memo() { [[ "$(od -An -tx1 "$pics/sky.txt" 2>/dev/null)" == "$expected" ]]; }
wait_until has_memo || fail "memo file holds: $(od -An -c "$pics/sky.txt" 2>/dev/null || echo none)"
pass "更新 writes the typed memo in Shift-JIS"
keep_screenshot memo-window.png "$mwid"

bar_x=$((bar_x - 6)) # on to the left of "Memo"
click_bar_until "VORLANEのﾊﾞｰｼﾞｮﾝ情報"
keep_screenshot about-window.png "$(wait_for_window "VORLANEのﾊﾞｰｼﾞｮﾝ情報")"
xdotool key Escape
xdotool windowactivate --sync "$wid" key ctrl+o
owid=$(wait_for_window "開く") # Qt's own dialog, translated
keep_screenshot open-dialog.png "$owid"
xdotool key Escape
quit_and_expect_success "$wid" "$app"
pass "Memo, 情報 and the Japanese Open dialog open; the program ends"
