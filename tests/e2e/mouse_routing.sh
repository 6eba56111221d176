#!/usr/bin/env bash
# The mouse and the keys belong to the menu while the pointer is over the menu
# bar or a menu is open: a drag that starts there leaves the pusher where it
# is, and F4 (throw every body) does nothing. The same drag in the 3D area
# shoves the pusher, and F4 with the pointer there throws the bodies. The
# menu's shortcuts still work over the bar: Esc there ends the demo.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
# The first scene comes to rest (and the camera to its aim) within a few seconds.
sleep 3
lower_view "$WORK/rest1.png"
sleep 1
lower_view "$WORK/rest2.png"
[[ $(differing_pixels "$WORK/rest1.png" "$WORK/rest2.png") -eq 0 ]] ||
    fail "the scene is not at rest; the test cannot tell a push"

# F4 (throw every body) with the pointer resting on the empty part of the bar.
window_origin
xdotool mousemove --sync $((WIN_X + 400)) $((WIN_Y + 9))
sleep 0.3
press F4
sleep 0.5
lower_view "$WORK/key_bar.png"
key_bar=$(differing_pixels "$WORK/rest2.png" "$WORK/key_bar.png")
[[ $key_bar -eq 0 ]] || fail "F4 with the pointer over the menu bar changed $key_bar pixels"

# From the empty part of the bar down into the 3D area.
drag 400 9 300
sleep 0.5
lower_view "$WORK/bar.png"
from_bar=$(differing_pixels "$WORK/rest2.png" "$WORK/bar.png")
[[ $from_bar -eq 0 ]] || fail "a drag from the menu bar changed $from_bar pixels"

# With the Options menu open, a drag in the 3D area only closes the menu.
click_at "$MENU_OPTIONS_X" "$MENU_TITLE_Y"
drag 320 400 -200
sleep 0.5
lower_view "$WORK/open.png"
with_menu=$(differing_pixels "$WORK/rest2.png" "$WORK/open.png")
[[ $with_menu -eq 0 ]] || fail "a drag while a menu was open changed $with_menu pixels"

# The same drag with no menu open pushes the pusher up the floor.
drag 320 400 -200
sleep 0.5
lower_view "$WORK/view.png"
in_view=$(differing_pixels "$WORK/open.png" "$WORK/view.png")
[[ $in_view -gt 0 ]] || fail "a drag in the 3D area changed nothing"

# F4 with the pointer in the 3D area throws the bodies.
xdotool mousemove --sync $((WIN_X + 320)) $((WIN_Y + 300))
sleep 0.3
press F4
sleep 0.5
lower_view "$WORK/key_view.png"
key_view=$(differing_pixels "$WORK/view.png" "$WORK/key_view.png")
[[ $key_view -gt 0 ]] || fail "F4 with the pointer in the 3D area changed nothing"
echo "changed pixels: from the bar $from_bar, menu open $with_menu, in the view $in_view;" \
    "F4 over the bar $key_bar, over the view $key_view"

xdotool mousemove --sync $((WIN_X + 400)) $((WIN_Y + 9))
sleep 0.3
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc over the menu bar"
echo "PASS: the menu keeps its mouse and key input; its shortcuts work over the bar"
