#!/usr/bin/env bash
# The instruments in a real window: F12 saves the 3D view as a 640 x 480 PNG
# in $XDG_PICTURES_DIR and the caption says where; a middle click on the cue
# ball makes the camera follow it; at a quarter of real time the statistics
# show the simulated clock advancing at a quarter of the wall clock.
source "$(dirname "$0")/lib.sh"

start_xvfb
export XDG_PICTURES_DIR="$WORK/Pictures"
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
# The camera glides to its aim point first.
sleep 2

press F12
saved=$(wait_for_caption 'saved .*\.png$')
files=("$XDG_PICTURES_DIR"/clatterbox-*.png)
[[ ${#files[@]} -eq 1 && -f "${files[0]}" ]] || fail "no screenshot in $XDG_PICTURES_DIR"
[[ "$saved" == *"${files[0]}" ]] || fail "the caption names another file: $saved"
size=$(identify -format '%wx%h' "${files[0]}")
[[ "$size" == 640x480 ]] || fail "screenshot is $size"
# The picture is the 3D view as on screen, without the menu bar.
screenshot "$WORK/view.png"
[[ $(compare -metric AE -fuzz 2% "${files[0]}" "$WORK/view.png" null: 2>&1 || true) -lt 20000 ]] ||
    fail "the screenshot is not the view"
echo "screenshot: ${files[0]} ($size)"

# The cue ball lies in the middle of the lower half of the view.
screenshot "$WORK/before.png"
window_origin
xdotool mousemove --sync $((WIN_X + 320)) $((WIN_Y + MENU_BAR_HEIGHT + 322))
sleep 0.3
xdotool click 2
wait_for_caption 'following body 0$' >/dev/null
sleep 1.5
screenshot "$WORK/after.png"
moved=$(differing_pixels "$WORK/before.png" "$WORK/after.png")
[[ "$moved" -gt 10000 ]] || fail "the view did not turn to the ball ($moved pixels changed)"
echo "middle click: following body 0, $moved pixels changed"

press s minus minus
line=$(wait_for_caption 'speed 1/4  sim [0-9.]+x real')
sleep 2
line=$(caption)
ratio=$(sed -E 's/.*sim ([0-9.]+)x real.*/\1/' <<<"$line")
awk -v r="$ratio" 'BEGIN { exit !(r >= 0.2 && r <= 0.3) }' ||
    fail "at a quarter of real time the simulation ran at $ratio: $line"
echo "speed 1/4: $line"

press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"
echo "PASS: screenshot, picking and slow motion in the window"
