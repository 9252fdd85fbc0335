#!/usr/bin/env bash
# End to end, stepping with the keys and the wheel: the bundled samples
# (every picture kind) open at the first in name order, and Space or a notch
# of the wheel towards the user steps through each in turn and wraps round to
# the first; Backspace from there goes back to the last, the wheel away one
# more.
#
# usage: test_stepping.sh PATH-TO-VORLANE
# With VORLANE_SCREENSHOT_DIR set, keeps sample-picture.png (the first sample)
# and sample-wmf.png (the WMF sample) there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"
vorlane=${1:?usage: test_stepping.sh PATH-TO-VORLANE}
samples=$(cd "$here/../../data/samples" && pwd)
# Each picture on screen is announced on stderr: "shown <name> decode=...".
export QT_LOGGING_RULES="vorlane.timing=true"
xsession_start

# Their names start with two digits and a hyphen: byte order is the viewer's.
mapfile -t names < <(find "$samples" -maxdepth 1 -type f -printf '%f\n' |
    grep -iE '\.(bmp|gif|jpe?g|ico|wmf)$' | LC_ALL=C sort)
((${#names[@]} >= 2)) || fail "too few pictures in $samples"
n=${#names[@]}
xsession_spawn "$vorlane" "$samples"
app=$XSESSION_PID
log=${_xs_logs[-1]}
wid=$(wait_for_window "${names[0]}" 20)
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
wait_until -t 5 eval '[[ "$(xdotool getactivewindow 2>/dev/null)" == "$wid" ]]' ||
    fail "the window did not become the active window"

shown() { # N NAME: picture number N reported on screen was NAME, and is the title
    (($(grep -c '^shown ' "$log") >= $1)) &&
        [[ "$(grep '^shown ' "$log" | sed -n "${1}p" | cut -d' ' -f2)" == "$2" ]] &&
        [[ "$(xdotool getwindowname "$wid" 2>/dev/null)" == "$2" ]]
}

# Forward Space, every third step a notch towards the user; back Backspace,
# then a notch away.
forward=("key space" "key space" "click 5")
for ((i = 0; i <= n + 2; i++)); do
    name=${names[i % n]}
    ((i <= n)) && input=${forward[i % 3]} || name=${names[2 * n - i]} input=$( ((i == n + 1)) && echo key BackSpace || echo click 4)
    # shellcheck disable=SC2086 # the words of one input
    ((i == 0)) || xdotool mousemove --window "$wid" 60 60 $input
    wait_until shown $((i + 1)) "$name" ||
        fail "step $i: expected $name; shown: $(grep '^shown ' "$log" | cut -d' ' -f2 | paste -sd ' ' -)"
    ((i != 0)) || keep_screenshot sample-picture.png "$wid"
    [[ $name != *.wmf ]] || keep_screenshot sample-wmf.png "$wid"
done
quit_and_expect_success "$wid" "$app"
pass "every sample (${names[*]}) is drawn in order by Space and the wheel, wrapping round, Backspace and the wheel go back; closing quits with status 0"
