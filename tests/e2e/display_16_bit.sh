#!/usr/bin/env bash
# On a display whose only visuals are 16-bit (no Composite, so no 32-bit
# visual either) the demo still starts: it asks again for the colour the
# display has, shows the colour warning before its window, and Yes runs the
# demo in 16-bit colour with its shadows; No ends it with -1 (255).
source "$(dirname "$0")/lib.sh"

start_xvfb 16 -extension Composite

# start_warned: starts the demo and waits for the colour warning; sets BOX.
start_warned() {
    (cd "$ASSETS" && exec "$CLATTERBOX") >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    BOX=$(wait_for_window "Clatterbox Warning" 30)
    grep -q '^Clatterbox Warning: Clatterbox is optimized for 32 bits colors' "$WORK/app.err" ||
        fail "stderr lacks the colour warning"
    grep -q 'GLX visual' "$WORK/app.err" && fail "the window was refused: $(cat "$WORK/app.err")"
    return 0
}

start_warned
xdotool key --window "$BOX" Return
wait_for_window_gone "Clatterbox Warning" 10
WINDOW=$(xdotool search --pid "$APP_PID" --name '^Clatterbox' | head -n 1)
[[ -n "$WINDOW" ]] || fail "no demo window after Yes"
xdotool windowfocus "$WINDOW" 2>/dev/null || true
text=$(wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $')
echo "caption after Yes: $text"
sleep 1
screenshot "$WORK/frame.png"
# The floor fills the lower middle of the view; a failed context would leave
# it black.
mean=$(convert "$WORK/frame.png" -crop 200x100+220+330 -colorspace gray -format '%[fx:mean*255]' info:)
echo "mean grey of the near floor: $mean"
awk -v m="$mean" 'BEGIN { exit !(m > 40) }' || fail "the near floor is not drawn (mean $mean)"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Yes and Esc"

start_warned
xdotool key --window "$BOX" Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 255 ]] || fail "exit status $EXIT_STATUS after No, not 255"
echo "PASS: a 16-bit display warns; Yes runs the demo in 16-bit colour, No ends it with 255"
