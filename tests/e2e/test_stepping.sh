#!/usr/bin/env bash
# End to end, stepping through a folder: opening a folder shows its first
# picture in file-manager order (case-insensitive, numbers by value), Space
# steps on through every picture and wraps round to the first, Backspace from
# the first wraps back to the last, a file that does not decode changes only
# the title, and the bundled samples (every picture kind) step in order.
#
# usage: test_stepping.sh PATH-TO-VORLANE
# With VORLANE_SCREENSHOT_DIR set, keeps sample-picture.png (the first sample)
# and sample-wmf.png (the WMF sample) there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

vorlane=${1:?usage: test_stepping.sh PATH-TO-VORLANE}
[[ -x $vorlane ]] || fail "not an executable program: $vorlane"
command -v convert >/dev/null || fail "convert (ImageMagick) is not installed (scripts/install-deps installs it)"
shots=${VORLANE_SCREENSHOT_DIR:-}
[[ -z $shots || $shots == /* ]] || shots=$PWD/$shots
samples=$(cd "$here/../../data/samples" && pwd)
export SDL_AUDIODRIVER=dummy
# Each picture on screen is announced on stderr: "shown <name> decode=...".
export QT_LOGGING_RULES="vorlane.timing=true"

xsession_start

# --- Pictures ----------------------------------------------------------------
# Twenty pictures, listed in the order the viewer must show them. Plain byte
# order would start with A10.jpg and put Pic10 before pic2; a case-blind but
# digit-by-digit order would put A10 before a2 and pic100 before pic11.
sorted=(
    a2.gif A10.jpg b3.bmp B20.gif c.jpeg
    Pic1.bmp pic2.gif PIC3.jpg pic9.bmp Pic10.gif
    pic11.jpg PIC12.bmp pic20.jpeg Pic21.bmp pic100.gif
    PIC101.jpg x5.bmp X40.gif y7.jpg Y300.bmp
)
colours=(
    red green blue yellow cyan magenta orange purple brown pink
    navy olive teal maroon lime gray gold coral khaki black
)
pics=$XSESSION_DIR/pictures
mkdir -p "$pics"
# Created back to front, so that the folder's own listing order is unlikely
# to be the expected one by chance.
for ((i = ${#sorted[@]} - 1; i >= 0; i--)); do
    convert -size 40x30 "xc:${colours[i]}" "$pics/${sorted[i]}"
done
count=${#sorted[@]}

# A second folder with a file that is named like a picture but holds text,
# between two pictures of plain colours the screen can be checked against.
odd=$XSESSION_DIR/odd
mkdir -p "$odd"
convert -size 40x30 xc:red "$odd/c1.gif"
echo "this is not a picture" >"$odd/broken.jpg"
convert -size 40x30 xc:blue "$odd/a1.bmp"

# --- Helpers -----------------------------------------------------------------
# Starts the program on PATH and waits for its window titled TITLE: sets
# app, wid, log and shown (the "shown" lines expected so far).
start_vorlane() { # PATH TITLE
    xsession_spawn "$vorlane" "$1"
    app=$XSESSION_PID
    log=${_xs_logs[-1]} # where xsession_spawn sends the program's output
    shown=0
    wid=$(wait_for_window "$2" 20)
    xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
    wait_until -t 5 is_active ||
        fail "window \"$2\" ($wid) did not become the active window; active: $(xdotool getactivewindow 2>&1)"
}

is_active() {
    [[ "$(xdotool getactivewindow 2>/dev/null)" == "$wid" ]]
}

title() {
    xdotool getwindowname "$wid" 2>/dev/null || echo "(no window)"
}

title_is() {
    [[ "$(title)" == "$1" ]]
}

shown_names() {
    grep '^shown ' "$log" | cut -d' ' -f2 || true
}

shown_count() {
    grep -c '^shown ' "$log" || true
}

has_shown() { # N: at least N pictures reported on screen
    (($(shown_count) >= $1))
}

log_tail() {
    echo "last lines of the program's output:"
    tail -n 5 "$log" | sed 's/^/  /'
}

# Waits for the next "shown" line and checks that it names NAME and that the
# title is NAME.
expect_shown() { # NAME WHAT
    shown=$((shown + 1))
    wait_until has_shown "$shown" ||
        fail "$2: no picture reported on screen (expected \"shown $1\"); title \"$(title)\""$'\n'"$(log_tail)"
    local got
    got=$(shown_names | sed -n "${shown}p")
    [[ $got == "$1" ]] || fail "$2: expected $1 on screen, the program showed $got"
    wait_until -t 3 title_is "$1" || fail "$2: $1 on screen but the title is \"$(title)\""
}

# Sends a key to the focused window (the picture surface has the focus when
# the window is active).
press() { # KEY
    is_active || fail "window $wid is no longer active before pressing $1; active: $(xdotool getactivewindow 2>&1)"
    xdotool key "$1"
}

# The number of pixels of exactly COLOUR (#RRGGBB) in the window.
pixels_of() { # COLOUR
    local grab=$XSESSION_DIR/window.png
    screenshot "$grab" "$wid" >/dev/null || {
        echo 0
        return
    }
    convert "$grab" -depth 8 txt:- | grep -ci " $1 " || true
}

close_and_expect_exit() {
    close_window "$wid" || fail "could not ask the window manager to close window $wid"
    wait_for_exit "$app" 10
    ((XSESSION_STATUS == 0)) || fail "vorlane exited with status $XSESSION_STATUS after its window was closed"
}

# --- Twenty pictures: sorted order, forward wrap, backward wrap -------------
start_vorlane "$pics" "${sorted[0]}"
expect_shown "${sorted[0]}" "opening the folder"
first_listed=$(find "$pics" -mindepth 1 -maxdepth 1 -printf '%f\n' | head -n 1)
pass "opening the folder shows ${sorted[0]} first (the folder lists $first_listed first)"

for ((i = 1; i <= count; i++)); do
    press space
    expect_shown "${sorted[i % count]}" "Space number $i"
    if ((i == 7)); then
        pass "after 7 Spaces: ${sorted[7]}, the 8th in sorted order"
    fi
done
pass "$count Spaces step through all $count pictures in sorted order and wrap back to ${sorted[0]}"

press BackSpace
expect_shown "${sorted[count - 1]}" "Backspace from the first picture"
pass "Backspace from the first picture wraps back to the last, ${sorted[count - 1]}"

(($(shown_count) == shown)) ||
    fail "$((count + 2)) pictures shown, but the program reported $(shown_count):"$'\n'"$(shown_names | paste -sd ' ' -)"
close_and_expect_exit
pass "closing the window quits with status 0"

# --- A file that does not decode -----------------------------------------
start_vorlane "$odd" a1.bmp
expect_shown a1.bmp "opening the second folder"
blue_before=$(pixels_of '#0000FF')
((blue_before >= 40 * 30)) || fail "a1.bmp (40x30, blue) shown, but only $blue_before blue pixels in the window"

press space
wait_until title_is broken.jpg || fail "Space onto broken.jpg: the title stayed \"$(title)\""
blue_after=$(pixels_of '#0000FF')
((blue_after == blue_before)) ||
    fail "broken.jpg does not decode: a1.bmp should stay on screen ($blue_before blue pixels), now $blue_after"
pass "Space onto a file that is not a picture: title \"broken.jpg\", the previous picture stays"

press space
expect_shown c1.gif "Space after broken.jpg"
((shown == $(shown_count))) || fail "a picture was reported on screen for broken.jpg:"$'\n'"$(log_tail)"
red=$(pixels_of '#FF0000')
((red >= 40 * 30)) || fail "c1.gif (40x30, red) shown, but only $red red pixels in the window"
pass "the next Space moves on to c1.gif"

press BackSpace
wait_until title_is broken.jpg || fail "Backspace onto broken.jpg: the title stayed \"$(title)\""
press BackSpace
expect_shown a1.bmp "Backspace after broken.jpg"
pass "stepping back over broken.jpg works the same way"
close_and_expect_exit
pass "closing the window quits with status 0"

# --- The bundled samples --------------------------------------------------
# All the picture kinds the viewer reads. Their names start with two digits
# and a hyphen, so byte order is the viewer's order.
mapfile -t sample_names < <(find "$samples" -mindepth 1 -maxdepth 1 -type f -printf '%f\n' |
    grep -iE '\.(bmp|gif|jpe?g|ico|wmf)$' | LC_ALL=C sort)
((${#sample_names[@]} >= 2)) || fail "too few pictures in $samples"
start_vorlane "$samples" "${sample_names[0]}"
expect_shown "${sample_names[0]}" "opening $samples"
if [[ -n $shots ]]; then
    screenshot "$shots/sample-picture.png" "$wid" || fail "could not save $shots/sample-picture.png"
    pass "screenshot kept in $shots/sample-picture.png"
fi
for ((i = 1; i <= ${#sample_names[@]}; i++)); do
    name=${sample_names[i % ${#sample_names[@]}]}
    press space
    expect_shown "$name" "samples, Space number $i"
    if [[ -n $shots && $name == *.wmf ]]; then
        screenshot "$shots/sample-wmf.png" "$wid" || fail "could not save $shots/sample-wmf.png"
        pass "screenshot kept in $shots/sample-wmf.png"
    fi
done
pass "every sample (${sample_names[*]}) is drawn, in order"
close_and_expect_exit
pass "closing the window quits with status 0"

echo "test_stepping: all $XSESSION_PASSED checks passed"
