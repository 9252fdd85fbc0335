# shellcheck shell=bash disable=SC2034 # XSESSION_* are read by the tests
# Sourced by the end-to-end tests. Gives a test its own X server (Xvfb) with
# a window manager (openbox), its own empty home and configuration folders,
# and helpers to start programs, find their windows, measure, move, close and
# photograph them.
#
#   xsession_start                 X server + window manager; exports DISPLAY
#   xsession_spawn CMD...          start a program; its pid in XSESSION_PID
#   wait_until [-t SECS] CMD...    poll CMD until it succeeds or time runs out
#   wait_for_window TITLE [SECS]   print the id of the shown window titled TITLE
#   outer_geometry WID             print the frame's outer "x y w h"
#   move_window WID X Y            ask the window manager to move a window
#   close_window WID               ask the window manager to close a window
#   wait_for_exit PID [SECS]       wait for a spawned program; its status in XSESSION_STATUS
#   screenshot FILE [WID]          PNG of the screen, or of a window's outer rectangle
#   keep_screenshot NAME WID       screenshot into $VORLANE_SCREENSHOT_DIR, when it is set
#   client_origin WID              print the client area's top-left "x y" on the screen
#   quit_and_expect_success WID PID  close the window; the program must exit with status 0
#   fail MESSAGE / pass MESSAGE    report a check
#
# Everything the session starts is stopped when the test exits, by pid: other
# X servers and programs on the machine are left alone.

XSESSION_TIMEOUT=${XSESSION_TIMEOUT:-10} # default for the waits, in seconds
XSESSION_PID=""                          # pid of the last xsession_spawn
XSESSION_STATUS=""                       # exit status seen by wait_for_exit
XSESSION_DIR=""                          # private folder of this session
XSESSION_PASSED=0

_xs_pids=()    # started by us, oldest first
_xs_logs=()    # their logs, same order

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

pass() {
    XSESSION_PASSED=$((XSESSION_PASSED + 1))
    echo "ok: $*"
}

# Runs CMD every 0.1 s until it succeeds; 1 when it has not within the time.
wait_until() {
    local timeout=$XSESSION_TIMEOUT
    if [[ ${1:-} == -t ]]; then
        timeout=$2
        shift 2
    fi
    local deadline=$((SECONDS + timeout))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

_xs_gone() {
    ! kill -0 "$1" 2>/dev/null
}

# Starts CMD in the background with its output in a log of the session.
# Not to be called inside $(...): the program must be a child of the test.
xsession_spawn() {
    local log
    log=$XSESSION_DIR/log/$(basename "$1").${#_xs_pids[@]}.log
    "$@" >"$log" 2>&1 </dev/null &
    XSESSION_PID=$!
    _xs_pids+=("$XSESSION_PID")
    _xs_logs+=("$log")
}

_xs_stop() {
    local status=$1 i pid
    set +e
    # The logs, when the test failed.
    ((status == 0 || ${#_xs_logs[@]} == 0)) || tail -n 30 "${_xs_logs[@]}" >&2
    # Newest first: the programs, then the window manager, then the server.
    for ((i = ${#_xs_pids[@]} - 1; i >= 0; i--)); do
        pid=${_xs_pids[i]}
        _xs_gone "$pid" && continue
        kill -TERM "$pid" 2>/dev/null
        wait_until -t 3 _xs_gone "$pid" || kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [[ -n $XSESSION_DIR ]] && rm -rf -- "$XSESSION_DIR"
}

_xs_server_up() { # pid display
    _xs_gone "$1" || xdpyinfo -display ":$2" >/dev/null 2>&1
}

_xs_wm_up() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts Xvfb on a free display and openbox on it, in a private home.
xsession_start() {
    local n tries pid=""
    XSESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vorlane-e2e.XXXXXX")
    trap '_xs_stop $?' EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    mkdir -p "$XSESSION_DIR"/{log,home/.config,home/.cache,home/.local/share,home/.local/state,runtime}
    chmod 700 "$XSESSION_DIR/runtime"
    # A home of its own: the user's settings are never read nor written.
    export HOME=$XSESSION_DIR/home XDG_RUNTIME_DIR=$XSESSION_DIR/runtime
    export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
    export XDG_DATA_HOME=$HOME/.local/share XDG_STATE_HOME=$HOME/.local/state
    export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
    unset WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS \
        XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION LANGUAGE \
        QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
        QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI

    n=$((90 + RANDOM % 400))
    for ((tries = 0; tries < 20; tries++, n++)); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        xsession_spawn Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset
        pid=$XSESSION_PID
        # Gone early when another server took the number meanwhile: try the next.
        wait_until _xs_server_up "$pid" "$n" && ! _xs_gone "$pid" && break
        kill -KILL "$pid" 2>/dev/null
        pid=""
    done
    [[ -n $pid ]] || fail "could not start Xvfb on a free display"
    export DISPLAY=:$n
    xsession_spawn openbox --sm-disable
    wait_until _xs_wm_up || fail "openbox did not come up on $DISPLAY within ${XSESSION_TIMEOUT}s"
    XSESSION_PID=""
}

# The id of a visible window, framed by the window manager, whose title
# (_NET_WM_NAME, UTF-8) is exactly $1; sets _xs_found.
_xs_find_window() {
    local line id re='^0x([0-9a-fA-F]+) +-?[0-9]+ [^ ]+ (.*)$'
    while IFS= read -r line; do
        [[ $line =~ $re && ${BASH_REMATCH[2]} == "$1" ]] || continue
        id=$((0x${BASH_REMATCH[1]}))
        if xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' &&
            xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; then
            _xs_found=$id
            return 0
        fi
    done < <(wmctrl -l 2>/dev/null)
    return 1
}

_xs_window_or_exit() { # title pid
    [[ -n $2 ]] && _xs_gone "$2" && return 0
    _xs_find_window "$1"
}

# Prints the id of the visible, managed window titled exactly TITLE. Fails
# early when the program last spawned exits before its window shows.
wait_for_window() {
    local _xs_found=""
    wait_until -t "${2:-$XSESSION_TIMEOUT}" _xs_window_or_exit "$1" "$XSESSION_PID" || true
    [[ -n $_xs_found ]] && echo "$_xs_found" && return 0
    [[ -n $XSESSION_PID ]] && _xs_gone "$XSESSION_PID" && fail "no window \"$1\": the program exited first"
    fail "no window \"$1\"; windows: $(wmctrl -l 2>/dev/null | cut -d' ' -f5- | paste -sd ',' -)"
}

# Prints "x y w h": the window's outer rectangle (frame included) in pixels.
outer_geometry() {
    local info extents x y w h left right top bottom
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null)
    [[ $extents == *=* ]] || return 1
    read -r x y w h < <(awk -F: '/Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2}
        /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x + 0, y + 0, w + 0, h + 0}' <<<"$info")
    IFS=', ' read -r left right top bottom <<<"${extents#*= }"
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# Prints "x y": the client area's top-left corner on the screen.
client_origin() {
    xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {print x + 0, $2 + 0}'
}

# Moves the window so that its outer top-left corner is at X Y. Whether the
# window manager places the frame or the client area at the requested point
# depends on the window's gravity, so correct once if it landed elsewhere.
move_window() {
    local wid=$1 x=$2 y=$3 geom ox oy try rx=$2 ry=$3
    for ((try = 0; try < 3; try++)); do
        geom=$(outer_geometry "$wid") || return 1
        read -r ox oy _ _ <<<"$geom"
        [[ $ox == "$x" && $oy == "$y" ]] && return 0
        ((try == 0)) || { rx=$((rx + x - ox)) && ry=$((ry + y - oy)); }
        xdotool windowmove "$wid" "$rx" "$ry" || return 1
        wait_until -t 3 eval '[[ "$(outer_geometry "$wid")" != "$geom" ]]' || true
    done
    echo "move_window: asked for $x $y, the window is at $ox $oy" >&2
    return 1
}

# Asks the window manager to close the window (as its close button does).
close_window() {
    wmctrl -i -c "$1"
}

# Closes window WID; PID must then exit with status 0.
quit_and_expect_success() {
    close_window "$1" || fail "could not ask the window manager to close window $1"
    wait_for_exit "$2" 20
    ((XSESSION_STATUS == 0)) || fail "vorlane exited with status $XSESSION_STATUS"
}

# Waits until PID (spawned by xsession_spawn) exits; its status goes to
# XSESSION_STATUS. Fails when it is still running after the time.
wait_for_exit() {
    wait_until -t "${2:-$XSESSION_TIMEOUT}" _xs_gone "$1" ||
        fail "process $1 still running ${2:-$XSESSION_TIMEOUT}s after it was asked to quit"
    XSESSION_STATUS=0
    wait "$1" || XSESSION_STATUS=$?
    [[ $XSESSION_PID == "$1" ]] && XSESSION_PID=""
    return 0
}

_xs_grab() { # file [WxH+X+Y]
    import -window root ${2:+-crop "$2" +repage} -strip -define png:exclude-chunks=date,time "png:$1"
}

_xs_settled() { # file crop: true when a new grab equals the last one
    sleep 0.2
    _xs_grab "$1.new" "$2" || return 1
    cmp -s "$1" "$1.new" && rm -f "$1.new" && return 0
    mv -f "$1.new" "$1"
    return 1
}

# Saves a PNG of the screen, or of the outer rectangle of window WID, once
# two grabs in a row are the same (the picture has stopped changing).
screenshot() {
    local crop="" x y w h tmp=$XSESSION_DIR/grab.png
    if [[ -n ${2:-} ]]; then
        read -r x y w h <<<"$(outer_geometry "$2")"
        [[ -n $h ]] || return 1
        crop=$((w + (x < 0 ? x : 0)))x$((h + (y < 0 ? y : 0)))+$((x < 0 ? 0 : x))+$((y < 0 ? 0 : y))
    fi
    _xs_grab "$tmp" "$crop" || return 1
    wait_until -t 5 _xs_settled "$tmp" "$crop" || true
    mkdir -p "$(dirname "$1")"
    mv -f "$tmp" "$1"
}

# Keeps a screenshot of window WID as NAME in $VORLANE_SCREENSHOT_DIR, when set.
keep_screenshot() {
    [[ -z ${VORLANE_SCREENSHOT_DIR:-} ]] && return 0
    screenshot "$(realpath -m "$VORLANE_SCREENSHOT_DIR")/$1" "$2" || fail "could not save $1"
}
