#!/usr/bin/env bash
# F1 and F2 are the accelerators of Next Scene and Previous Scene: from the
# first scene they lead to "Rings 1" and to "Rings 2", as the caption shows.
source "$(dirname "$0")/lib.sh"

start_xvfb

start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
press F1
echo "after F1: $(wait_for_caption '^Clatterbox - Rings 1  \([0-9]+\.[0-9] fps\)   $')"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"

start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
press F2
echo "after F2: $(wait_for_caption '^Clatterbox - Rings 2  \([0-9]+\.[0-9] fps\)   $')"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"
echo "PASS: F1 and F2 change the scene"
