#!/usr/bin/env bash
# Closing the window as a window manager asks ends the demo with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $' >/dev/null
"$TOOLS/x11_close_window" "$WINDOW" || fail "could not send the close request"
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after closing the window"
echo "PASS: closing the window ends the demo with status 0"
