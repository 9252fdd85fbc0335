# shellcheck shell=bash disable=SC2034 # XSESSION_* are read by the tests
# Sourced by the end-to-end tests. Gives a test its own X server (Xvfb) with
# a window manager (openbox), its own empty home and configuration folders,
# and helpers to start programs, find their windows, measure, move, close and
# photograph them.
#
#   xsession_start                 X server + window manager; exports DISPLAY
#   xsession_spawn CMD...          start a program; its pid in XSESSION_PID
#   xsession_at_exit CMD...        extra clean-up to run when the test ends
#   wait_until [-t SECS] CMD...    poll CMD until it succeeds or time runs out
#   wait_for_window TITLE [SECS]   print the id of the shown window titled TITLE
#   outer_geometry WID             print the frame's outer "x y w h"
#   move_window WID X Y            ask the window manager to move a window
#   close_window WID               ask the window manager to close a window
#   wait_for_exit PID [SECS]       wait for a spawned program; its status in XSESSION_STATUS
#   screenshot FILE [WID]          PNG of the screen, or of a window's outer rectangle
#   fail MESSAGE / pass MESSAGE    report a check
#
# Everything the session starts is stopped when the test exits, by pid: other
# X servers and programs on the machine are left alone.

XSESSION_TIMEOUT=${XSESSION_TIMEOUT:-10} # default for the waits, in seconds
XSESSION_PID=""                          # pid of the last xsession_spawn
XSESSION_STATUS=""                       # exit status seen by wait_for_exit
XSESSION_DIR=""                          # private folder of this session
XSESSION_PASSED=0

_xs_pids=()     # started by us, oldest first
_xs_logs=()     # their logs, same order
_xs_names=()    # their program names, same order
_xs_at_exit=()  # extra clean-up commands (strings for eval)
_xs_own=0       # index of the first program spawned by the test itself

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

pass() {
    XSESSION_PASSED=$((XSESSION_PASSED + 1))
    echo "ok: $*"
}

xsession_at_exit() {
    _xs_at_exit+=("$(printf '%q ' "$@")")
}

# wait_until [-t SECONDS] CMD...: runs CMD every 0.1 s until it succeeds.
# Returns 1 when it has not succeeded within the time.
wait_until() {
    local timeout=$XSESSION_TIMEOUT
    if [[ ${1:-} == -t ]]; then
        timeout=$2
        shift 2
    fi
    local deadline=$((SECONDS + timeout))
    while true; do
        "$@" && return 0
        ((SECONDS < deadline)) || break
        sleep 0.1
    done
    "$@" # one last try: a slow machine may just have got there
}

_xs_alive() {
    kill -0 "$1" 2>/dev/null
}

_xs_forget() {
    local i
    for i in "${!_xs_pids[@]}"; do
        [[ ${_xs_pids[i]} == "$1" ]] && _xs_pids[i]=""
    done
    return 0 # not the last comparison's status: callers run under set -e
}

_xs_name_of() {
    local i
    for i in "${!_xs_pids[@]}"; do
        if [[ ${_xs_pids[i]} == "$1" ]]; then
            echo "${_xs_names[i]}"
            return
        fi
    done
    echo "process $1"
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
    _xs_names+=("$(basename "$1")")
}

_xs_display_free() {
    [[ ! -e /tmp/.X11-unix/X$1 && ! -e /tmp/.X$1-lock ]]
}

_xs_server_up() { # pid display
    _xs_alive "$1" && xdpyinfo -display ":$2" >/dev/null 2>&1
}

_xs_wm_up() { # pid
    _xs_alive "$1" && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

_xs_stop() {
    local status=$1 i pid cmd
    set +e
    for cmd in "${_xs_at_exit[@]}"; do
        eval "$cmd"
    done
    if ((status != 0)); then
        # The X server's and window manager's logs only when they failed.
        for ((i = _xs_own; i < ${#_xs_logs[@]}; i++)); do
            [[ -s ${_xs_logs[i]} ]] || continue
            echo "--- ${_xs_logs[i]##*/} (last lines) ---" >&2
            tail -n 30 "${_xs_logs[i]}" >&2
        done
    fi
    # Newest first: the programs, then the window manager, then the server.
    for ((i = ${#_xs_pids[@]} - 1; i >= 0; i--)); do
        pid=${_xs_pids[$i]}
        if [[ -z $pid ]] || ! _xs_alive "$pid"; then
            continue
        fi
        kill -TERM "$pid" 2>/dev/null
        wait_until -t 3 eval "! kill -0 $pid 2>/dev/null" || kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    if [[ -n $XSESSION_DIR && -d $XSESSION_DIR ]]; then
        rm -rf -- "$XSESSION_DIR"
    fi
}

# Starts Xvfb on a free display and openbox on it, in a private home.
xsession_start() {
    local cmd
    for cmd in Xvfb openbox xdotool xdpyinfo xprop xwininfo wmctrl import; do
        command -v "$cmd" >/dev/null || fail "$cmd is not installed (scripts/install-deps installs it)"
    done

    XSESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vorlane-e2e.XXXXXX")
    trap '_xs_stop $?' EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    mkdir -p "$XSESSION_DIR"/{log,home/.config,home/.cache,home/.local/share,home/.local/state,runtime}
    chmod 700 "$XSESSION_DIR/runtime"

    # A home of its own: the user's settings are never read nor written.
    export HOME=$XSESSION_DIR/home
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_CACHE_HOME=$HOME/.cache
    export XDG_DATA_HOME=$HOME/.local/share
    export XDG_STATE_HOME=$HOME/.local/state
    export XDG_RUNTIME_DIR=$XSESSION_DIR/runtime
    export LC_ALL=C.UTF-8
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS \
        XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION LANGUAGE \
        QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
        QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI

    local n=$((90 + RANDOM % 400)) tries pid=""
    for ((tries = 0; tries < 20; tries++, n++)); do
        _xs_display_free "$n" || continue
        xsession_spawn Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset
        pid=$XSESSION_PID
        # Gone early when another server took the number meanwhile: try the next.
        if wait_until -t 10 eval "! kill -0 $pid 2>/dev/null || xdpyinfo -display :$n >/dev/null 2>&1" &&
            _xs_server_up "$pid" "$n"; then
            break
        fi
        _xs_alive "$pid" && kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null || true
        _xs_forget "$pid"
        pid=""
    done
    [[ -n $pid ]] || fail "could not start Xvfb on any display from :$((n - tries)) to :$((n - 1))"
    export DISPLAY=:$n

    xsession_spawn openbox --sm-disable
    pid=$XSESSION_PID
    wait_until eval "! kill -0 $pid 2>/dev/null || _xs_wm_up $pid" || true
    _xs_wm_up "$pid" || fail "openbox did not come up on $DISPLAY within ${XSESSION_TIMEOUT}s"
    XSESSION_PID=""
    _xs_own=${#_xs_pids[@]}
}

# Prints "id<TAB>title" for each window the window manager has framed, with
# the title as the program set it (_NET_WM_NAME, UTF-8).
_xs_managed_windows() {
    local line re='^0x([0-9a-fA-F]+) +-?[0-9]+ [^ ]+ (.*)$'
    wmctrl -l 2>/dev/null | while IFS= read -r line; do
        [[ $line =~ $re ]] && printf '%d\t%s\n' "0x${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
    done
    return 0
}

_xs_viewable() { # wid
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

_xs_managed() { # wid: framed by the window manager
    xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='
}

_xs_find_window() { # title: sets _xs_found
    local id name
    while IFS=$'\t' read -r id name; do
        if [[ $name == "$1" ]] && _xs_viewable "$id" && _xs_managed "$id"; then
            _xs_found=$id
            return 0
        fi
    done < <(_xs_managed_windows)
    return 1
}

_xs_window_or_exit() { # title pid
    [[ -n $2 ]] && ! _xs_alive "$2" && return 0
    _xs_find_window "$1"
}

# Prints the id of the visible, managed window titled exactly TITLE. Fails
# early when the program last spawned exits before its window shows.
wait_for_window() {
    local title=$1 timeout=${2:-$XSESSION_TIMEOUT} _xs_found=""
    wait_until -t "$timeout" _xs_window_or_exit "$title" "$XSESSION_PID" || true
    if [[ -n $_xs_found ]]; then
        echo "$_xs_found"
        return 0
    fi
    if [[ -n $XSESSION_PID ]] && ! _xs_alive "$XSESSION_PID"; then
        fail "no window \"$title\": the program exited first"
    fi
    local seen
    seen=$(_xs_managed_windows | cut -f2- | sed 's/.*/"&"/' | paste -sd ',' -)
    fail "no window \"$title\" within ${timeout}s; windows: ${seen:-none}"
}

# Prints "x y w h": the window's outer rectangle (frame included) in pixels.
outer_geometry() {
    local wid=$1 info extents x y w h left right top bottom
    info=$(xwininfo -id "$wid" 2>/dev/null) || {
        echo "outer_geometry: no window $wid" >&2
        return 1
    }
    extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS 2>/dev/null)
    if [[ $extents != *=* ]]; then
        echo "outer_geometry: window $wid has no _NET_FRAME_EXTENTS (not managed)" >&2
        return 1
    fi
    x=$(awk -F: '/Absolute upper-left X/ {print $2 + 0}' <<<"$info")
    y=$(awk -F: '/Absolute upper-left Y/ {print $2 + 0}' <<<"$info")
    w=$(awk -F: '/^ *Width:/ {print $2 + 0}' <<<"$info")
    h=$(awk -F: '/^ *Height:/ {print $2 + 0}' <<<"$info")
    IFS=', ' read -r left right top bottom <<<"${extents#*= }"
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# Moves the window so that its outer top-left corner is at X Y. Whether the
# window manager places the frame or the client area at the requested point
# depends on the window's gravity, so correct once if it landed elsewhere.
move_window() {
    local wid=$1 x=$2 y=$3 geom ox oy w h rx ry try
    geom=$(outer_geometry "$wid") || return 1
    read -r ox oy w h <<<"$geom"
    rx=$((x + $(_xs_client_x "$wid") - ox))
    ry=$((y + $(_xs_client_y "$wid") - oy))
    for ((try = 0; try < 2; try++)); do
        [[ $ox == "$x" && $oy == "$y" ]] && return 0
        xdotool windowmove "$wid" "$rx" "$ry" || return 1
        wait_until -t 3 _xs_geometry_changed "$wid" "$geom" || true
        geom=$(outer_geometry "$wid") || return 1
        read -r ox oy w h <<<"$geom"
        rx=$((rx + x - ox))
        ry=$((ry + y - oy))
    done
    [[ $ox == "$x" && $oy == "$y" ]] || {
        echo "move_window: asked for $x $y, the window is at $ox $oy" >&2
        return 1
    }
}

_xs_geometry_changed() { # wid previous-geometry
    [[ "$(outer_geometry "$1")" != "$2" ]]
}

_xs_client_x() {
    xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {print $2 + 0}'
}

_xs_client_y() {
    xwininfo -id "$1" | awk -F: '/Absolute upper-left Y/ {print $2 + 0}'
}

# Asks the window manager to close the window (as its close button does):
# the program gets WM_DELETE_WINDOW and decides what to do.
close_window() {
    wmctrl -i -c "$1"
}

# Waits until PID (spawned by xsession_spawn) exits; its status goes to
# XSESSION_STATUS. Fails when it is still running after the time.
wait_for_exit() {
    local pid=$1 timeout=${2:-$XSESSION_TIMEOUT}
    wait_until -t "$timeout" eval "! kill -0 $pid 2>/dev/null" ||
        fail "$(_xs_name_of "$pid") still running ${timeout}s after it was asked to quit"
    XSESSION_STATUS=0
    wait "$pid" || XSESSION_STATUS=$?
    _xs_forget "$pid"
    [[ $XSESSION_PID == "$pid" ]] && XSESSION_PID=""
    return 0
}

_xs_grab() { # file [WxH+X+Y]
    if [[ -n ${2:-} ]]; then
        import -window root -crop "$2" +repage -strip -define png:exclude-chunks=date,time "png:$1"
    else
        import -window root -strip -define png:exclude-chunks=date,time "png:$1"
    fi
}

# Saves a PNG of the screen, or of the outer rectangle of window WID, once
# two grabs in a row are the same (the picture has stopped changing).
screenshot() {
    local file=$1 wid=${2:-} crop="" geom x y w h tmp
    if [[ -n $wid ]]; then
        geom=$(outer_geometry "$wid") || return 1
        read -r x y w h <<<"$geom"
        ((x < 0)) && w=$((w + x)) && x=0
        ((y < 0)) && h=$((h + y)) && y=0
        crop=${w}x${h}+${x}+${y}
    fi
    tmp=$XSESSION_DIR/grab.png
    _xs_grab "$tmp" "$crop" || return 1
    wait_until -t 5 _xs_grab_again "$tmp" "$crop" || true
    mkdir -p "$(dirname "$file")"
    mv -f "$tmp" "$file"
}

_xs_grab_again() { # previous crop: true when a new grab equals the previous
    sleep 0.2
    _xs_grab "$1.new" "$2" || return 1
    if cmp -s "$1" "$1.new"; then
        rm -f "$1.new"
        return 0
    fi
    mv -f "$1.new" "$1"
    return 1
}
