#!/usr/bin/env bash
# SIGTERM and SIGINT end the demo promptly with status 0: while it runs, while
# an error box of its start-up is open, and while the colour warning of a
# 16-bit display waits for an answer; no box window stays behind.
source "$(dirname "$0")/lib.sh"

# expect_quick_zero WHAT: the demo ends within 5 s with status 0.
expect_quick_zero() {
    wait_for_exit 5
    [[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after $1, not 0"
}

start_xvfb
for signal in TERM INT; do
    start_app
    wait_for_caption 'fps' >/dev/null
    kill -s "$signal" "$APP_PID"
    expect_quick_zero "SIG$signal while running"
done

# signal_during_box TITLE SIGNAL FOLDER: starts the demo in FOLDER, waits for
# its box TITLE (every box is also written to stderr as "TITLE: text"; a box
# of the shown window is drawn inside it, one before it is a window of its
# own), sends SIGNAL; the demo must end with 0 and leave no window behind.
signal_during_box() {
    (cd "$3" && exec "$CLATTERBOX") >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    local deadline=$((SECONDS + 30))
    until grep -q "^$1: " "$WORK/app.err" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "no box '$1' within 30 s"
        kill -0 "$APP_PID" 2>/dev/null || fail "the demo ended before its box '$1'"
        sleep 0.2
    done
    # Until the box is on the screen.
    sleep 1
    kill -s "$2" "$APP_PID"
    expect_quick_zero "SIG$2 with the box '$1' open"
    wait_for_window_gone "$1" 5
    wait_for_window_gone "Clatterbox" 5
    local left
    left=$(xdotool search --name '^Clatterbox' 2>/dev/null || true)
    [[ -z "$left" ]] || fail "a window of the demo stayed after SIG$2: $left"
}

# Without floor.bmp the start-up shows an "Error" box and waits.
mkdir -p "$WORK/textures"
cp "$ASSETS/body.bmp" "$ASSETS/env.bmp" "$WORK/textures/"
signal_during_box "Error" TERM "$WORK/textures"

# A second server, 16-bit only: the colour warning waits for Yes or No.
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
rm -f "$WORK/display"
start_xvfb 16 -extension Composite
signal_during_box "Clatterbox Warning" INT "$ASSETS"
echo "PASS: SIGTERM and SIGINT end the demo with 0, running or with a box open"
