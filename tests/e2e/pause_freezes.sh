#!/usr/bin/env bash
# Pause freezes the picture of the 3D area while the loop goes on drawing and
# the caption keeps refreshing; Esc then ends with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
# Let the camera settle on its aim point, then set every body flying.
sleep 2
press F4
sleep 0.3
screenshot "$WORK/running1.png"
sleep 0.5
screenshot "$WORK/running2.png"
moving=$(differing_pixels "$WORK/running1.png" "$WORK/running2.png")
[[ "$moving" -gt 0 ]] || fail "the picture did not change while running"

press Pause
sleep 0.5
paused_caption=$(caption)
screenshot "$WORK/paused1.png"
sleep 1
screenshot "$WORK/paused2.png"
still=$(differing_pixels "$WORK/paused1.png" "$WORK/paused2.png")
[[ "$still" -eq 0 ]] || fail "$still pixels changed while paused"

deadline=$((SECONDS + 10))
while [[ "$(caption)" == "$paused_caption" ]]; do
    ((SECONDS < deadline)) || fail "the caption did not refresh while paused"
    sleep 0.1
done
[[ "$(caption)" =~ ^Clatterbox\ -\ Billiards\ 1\ \ \([0-9]+\.[0-9]\ fps\)\ \ \ $ ]] ||
    fail "caption while paused: $(caption)"
echo "running: $moving pixels changed in 0.5 s; paused: $still in 1 s; caption: $(caption)"

press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"
echo "PASS: Pause freezes the picture"
