#!/usr/bin/env bash
# The window does not get smaller than the size at which the whole menu bar
# fits: made 40 x 20 it comes back to that size, with every title of the
# bar drawn as at full size; its menus still open there. Esc ends with 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
import -window "$WINDOW" -crop "640x$MENU_BAR_HEIGHT+0+0" +repage "$WORK/bar-full.png"

xdotool windowsize "$WINDOW" 40 20
sleep 1
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
echo "asked for 40 x 20, got $WIDTH x $HEIGHT"
((WIDTH > 40 && HEIGHT > 20)) || fail "the window stayed at 40 x 20"
((HEIGHT > MENU_BAR_HEIGHT + 100)) || fail "no room for the menus below the bar: $WIDTH x $HEIGHT"
keep_picture minimum_size
# Every title of the bar, as it is drawn at full size (the last column is
# the bar's right edge).
import -window "$WINDOW" -crop "$((WIDTH - 1))x$MENU_BAR_HEIGHT+0+0" +repage "$WORK/bar-small.png"
convert "$WORK/bar-full.png" -crop "$((WIDTH - 1))x$MENU_BAR_HEIGHT+0+0" +repage "$WORK/bar-full-cut.png"
changed=$(differing_pixels "$WORK/bar-full-cut.png" "$WORK/bar-small.png")
[[ "$changed" -eq 0 ]] || fail "the menu bar at $WIDTH x $HEIGHT is not the full bar ($changed pixels differ)"
MIN_W=$WIDTH
MIN_H=$HEIGHT

# One side too small is enough to be held.
xdotool windowsize "$WINDOW" 900 20
sleep 1
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
((WIDTH == 900 && HEIGHT == MIN_H)) || fail "asked for 900 x 20, got $WIDTH x $HEIGHT"

# The last menu opens at the smallest size.
xdotool windowsize "$WINDOW" 40 20
sleep 1
press alt+h
sleep 0.5
keep_picture help_menu_at_minimum
press Escape Escape
sleep 0.3
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"
echo "PASS: the window keeps at least $MIN_W x $MIN_H, where the whole menu bar fits"
