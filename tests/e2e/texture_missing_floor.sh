#!/usr/bin/env bash
# The demo in a folder without floor.bmp: it shows the box
# "floor.bmp\n\nCould not open file.\nNo such file or directory" captioned
# "Error" (once, and no other), goes on when the box is dismissed, reaches its
# frame-rate caption, keeps drawing the scene with the floor in its plain
# material, and exits with 0 on Esc.
source "$(dirname "$0")/lib.sh"

mkdir -p "$WORK/textures"
cp "$ASSETS/body.bmp" "$ASSETS/env.bmp" "$WORK/textures/"
ASSETS="$WORK/textures"

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local deadline=$((SECONDS + $1))
    local what=$2
    shift 2
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "$what"
        sleep 0.2
    done
}

start_xvfb
start_app

# The box is drawn inside the shown window; every box is also written to
# stderr as "caption: text".
box_written() { grep -q '^Error: ' "$WORK/app.err"; }
wait_until 30 "no box captioned Error appeared" box_written
sleep 0.5
keep_picture texture_error_box
boxes=$(cat "$WORK/app.err")
[[ "$boxes" == "Error: floor.bmp"$'\n\n'"Could not open file."$'\n'"No such file or directory" ]] ||
    fail "the one box should read \"floor.bmp\\n\\nCould not open file.\\nNo such file or directory\""

xdotool windowfocus "$WINDOW" 2>/dev/null || true
press Return

caption_re='^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $'
wait_for_caption "$caption_re" 30 >/dev/null
xdotool windowfocus "$WINDOW" 2>/dev/null || true

# A second later it still runs and draws: a patch of the near floor, left of
# the balls and their shadows, is lit and even, the plain material without
# the tiles a loaded texture would show (their spread is over 0.08), and no
# further box came up.
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "the demo ended by itself"
wait_for_caption "$caption_re" 5 >/dev/null
screenshot "$WORK/shot.png"
read -r mean spread < <(convert "$WORK/shot.png" -crop 120x50+108+407 +repage \
    -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]\n' info:)
awk -v m="$mean" -v s="$spread" 'BEGIN { exit !(m > 0.3 && s < 0.02) }' ||
    fail "the near floor should be lit and plain: mean $mean, spread $spread"
[[ "$(cat "$WORK/app.err")" == "$boxes" ]] || fail "another box came up after the first"

press Escape
wait_for_exit 10
((EXIT_STATUS == 0)) || fail "exit status $EXIT_STATUS after Esc"
echo "PASS: box shown and dismissed, caption reached, drawing on, exit 0"
