#!/usr/bin/env bash
# The demo opens its window on the first scene, shows the frame rate in the
# caption, and ends with status 0 on Esc.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
text=$(wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $')
echo "caption: $text"
# A few more refreshes, for the frame rate of a settled run.
sleep 2
echo "caption after 2 s: $(caption)"

press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc"
echo "PASS: Esc ends the demo with status 0"
