#!/usr/bin/env bash
# On a display of 192 dots per inch the menu bar is drawn twice as large:
# the window is the 640 x 480 3D area plus a bar twice the ordinary height,
# and its text is as large to the eye as at 96. Esc ends with 0.
source "$(dirname "$0")/lib.sh"

XVFB_ARGS="-dpi 192"
start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
bar=$((HEIGHT - 480))
echo "window $WIDTH x $HEIGHT: a menu bar of $bar pixels"
((WIDTH == 640)) || fail "the window is $WIDTH wide"
((bar >= 2 * MENU_BAR_HEIGHT - 2)) || fail "a menu bar of $bar pixels at 192 dpi"
press F10 Down
sleep 0.5
keep_picture file_menu_192dpi
press Escape Escape
sleep 0.3
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS"
echo "PASS: the menu bar follows the display's density"
