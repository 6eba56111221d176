# Shared steps of the end-to-end tests: a private Xvfb, the demo started in
# the folder of its textures, and bounded waits on its window. Every wait has
# a limit; a test fails rather than hangs.
#
# Arguments of every test script: CLATTERBOX ASSETS-DIR TOOLS-DIR

set -euo pipefail

CLATTERBOX=$(realpath "$1")
ASSETS=$(realpath "$2")
TOOLS=$(realpath "$3")
WORK=$(mktemp -d)
# Screenshots kept for people to look at after the run.
PICTURES="$TOOLS/e2e_pictures"
XVFB_PID=""
APP_PID=""
WINDOW=""

cleanup() {
    if [[ -n "$APP_PID" ]] && kill -0 "$APP_PID" 2>/dev/null; then
        kill -9 "$APP_PID" 2>/dev/null || true
    fi
    if [[ -n "$XVFB_PID" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -f "$WORK/app.err" ]]; then
        echo "--- the demo's stderr:" >&2
        cat "$WORK/app.err" >&2
    fi
    exit 1
}

# Skips the test (status 77) only when there is no X server to start.
require_xvfb() {
    if ! command -v Xvfb >/dev/null; then
        echo "SKIP: Xvfb is not installed"
        exit 77
    fi
    for tool in xdotool import compare; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
}

# start_xvfb [DEPTH [MORE-XVFB-ARGUMENTS...]]: a screen of 1024 x 768 at
# DEPTH bits (default 24).
start_xvfb() {
    require_xvfb
    local depth=${1:-24}
    shift || true
    # Xvfb picks a free display number and writes it to fd 3. Without
    # -noreset the server resets whenever its last client leaves, as each
    # xdotool call does, and a demo that connects during a reset finds no
    # display.
    # start_xvfb [DEPTH [SERVER-OPTIONS...]]; XVFB_ARGS: more options for the
    # server, such as -dpi.
    # shellcheck disable=SC2086
    Xvfb -displayfd 3 -screen 0 "1024x768x$depth" "$@" -nolisten tcp -noreset ${XVFB_ARGS:-} 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local deadline=$((SECONDS + 20))
    while [[ ! -s "$WORK/display" ]]; do
        ((SECONDS < deadline)) || fail "Xvfb did not start within 20 s: $(cat "$WORK/xvfb.log")"
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended: $(cat "$WORK/xvfb.log")"
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$WORK/display")"
    # Proof that a client gets in before the demo tries.
    while ! xdotool getdisplaygeometry >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "Xvfb on $DISPLAY takes no client within 20 s: $(cat "$WORK/xvfb.log")"
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended: $(cat "$WORK/xvfb.log")"
        sleep 0.1
    done
}

# Starts the demo in the folder of its textures.
start_app() {
    # F12 among random keys must not leave pictures in the textures' folder
    # (the working directory) or the user's own.
    export XDG_PICTURES_DIR="${XDG_PICTURES_DIR:-$WORK/Pictures}"
    (cd "$ASSETS" && exec "$CLATTERBOX") >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    WINDOW=""
    local deadline=$((SECONDS + 30))
    while ((SECONDS < deadline)); do
        WINDOW=$(xdotool search --pid "$APP_PID" --name '^Clatterbox' 2>/dev/null | head -n 1 || true)
        [[ -n "$WINDOW" ]] && break
        kill -0 "$APP_PID" 2>/dev/null || fail "the demo ended during start-up"
        # The error's message box would hold the demo until the limit.
        grep -q '^Clatterbox Error: ' "$WORK/app.err" 2>/dev/null &&
            fail "the demo reported a start-up error (DISPLAY=$DISPLAY)"
        sleep 0.2
    done
    [[ -n "$WINDOW" ]] || fail "no Clatterbox window within 30 s"
    # Without a window manager the keyboard goes to the focused window.
    xdotool windowfocus "$WINDOW" 2>/dev/null || true
    sleep 0.2
}

caption() {
    xdotool getwindowname "$WINDOW" 2>/dev/null || true
}

# wait_for_caption REGEX [SECONDS]: until the caption matches; prints it.
wait_for_caption() {
    local pattern=$1
    local limit=${2:-20}
    local deadline=$((SECONDS + limit))
    local text=""
    while ((SECONDS < deadline)); do
        text=$(caption)
        if [[ "$text" =~ $pattern ]]; then
            echo "$text"
            return 0
        fi
        sleep 0.1
    done
    fail "caption '$text' did not match '$pattern' within $limit s"
}

# wait_for_exit [SECONDS]: until the demo ends; sets EXIT_STATUS.
wait_for_exit() {
    local limit=${1:-20}
    local deadline=$((SECONDS + limit))
    while kill -0 "$APP_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "the demo did not end within $limit s"
        sleep 0.1
    done
    set +e
    wait "$APP_PID"
    EXIT_STATUS=$?
    set -e
    APP_PID=""
}

press() {
    xdotool key --delay 50 "$@"
}

# The window's top-left corner on the screen: sets WIN_X and WIN_Y.
window_origin() {
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    WIN_X=$X
    WIN_Y=$Y
}

# click_at X Y: a left click at a point of the window.
click_at() {
    window_origin
    xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2))
    sleep 0.3
    xdotool click 1
    sleep 0.3
}

MENU_BAR_HEIGHT=19

# screenshot FILE: the 3D area below the menu bar.
screenshot() {
    import -window "$WINDOW" -crop "640x480+0+$MENU_BAR_HEIGHT" +repage "$1"
}

# keep_picture NAME: the whole window into $PICTURES/NAME.png.
keep_picture() {
    mkdir -p "$PICTURES"
    import -window "$WINDOW" "$PICTURES/$1.png"
}

# about_count: how many About boxes the demo has shown; each is also written
# to its stderr.
about_count() {
    grep -c '^About Clatterbox: ' "$WORK/app.err" 2>/dev/null || true
}

# wait_for_about COUNT [SECONDS]: until more than COUNT About boxes were shown.
wait_for_about() {
    local limit=${2:-20}
    local deadline=$((SECONDS + limit))
    while (($(about_count) <= $1)); do
        ((SECONDS < deadline)) || fail "no About box within $limit s"
        sleep 0.1
    done
}

# differing_pixels A B
differing_pixels() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

# window_named TITLE: the id of a window whose title is exactly TITLE. SDL's
# message boxes may carry the title only as _NET_WM_NAME, which `search --name`
# does not see; getwindowname reads either.
window_named() {
    local id
    for id in $(xdotool search --class '.*' 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$1" ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# wait_for_window TITLE [SECONDS]: prints its id.
wait_for_window() {
    local limit=${2:-20}
    local deadline=$((SECONDS + limit))
    local id=""
    while ((SECONDS < deadline)); do
        if id=$(window_named "$1"); then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    fail "no window titled '$1' within $limit s"
}

# wait_for_window_gone TITLE [SECONDS]
wait_for_window_gone() {
    local limit=${2:-20}
    local deadline=$((SECONDS + limit))
    while window_named "$1" >/dev/null; do
        ((SECONDS < deadline)) || fail "window '$1' still there after $limit s"
        sleep 0.2
    done
}

# Where the menu bar's titles and items sit in the window, in pixels, with
# Dear ImGui's default font: the bar is 19 high, each item row 17 below the
# popup's top padding.
MENU_FILE_X=20
MENU_OPTIONS_X=70
MENU_VIEW_X=135
MENU_HELP_X=178
MENU_TITLE_Y=9
menu_row_y() {
    # Row 0 is the first item; a separator takes 4 pixels.
    echo $((35 + 17 * $1 + 4 * ${2:-0}))
}

# drag X Y DY: a left-button drag from a point of the window, DY pixels
# downwards (negative: upwards) in 20 moves.
drag() {
    window_origin
    xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2))
    sleep 0.3
    xdotool mousedown 1
    sleep 0.3
    local i
    for i in $(seq 1 20); do
        xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2 + i * $3 / 20))
        sleep 0.03
    done
    xdotool mouseup 1
    sleep 0.3
}

# lower_view FILE: the lower part of the 3D area, clear of the open menus.
lower_view() {
    import -window "$WINDOW" -crop "640x300+0+$((MENU_BAR_HEIGHT + 180))" +repage "$1"
}
