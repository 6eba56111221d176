#!/usr/bin/env bash
# The running demo shows the textured floor in its 3D area: both kinds of the
# floor texture's tiles (cream and blue) cover the near part of the picture,
# which a black, blank or untextured floor would not. Then each shadow mode is
# chosen through the Options > Shadowing menu: the picture changes with it,
# and the frame rate of each mode (seven balls of "Billiards 1" on the floor)
# is printed. The frame rates are information, not a pass condition.
#
# The screenshots are kept in e2e_pictures/ beside the test tools in the
# build tree.
source "$(dirname "$0")/lib.sh"

PICTURES="$TOOLS/e2e_pictures"
mkdir -p "$PICTURES"

# fraction_where FILE EXPR: the share of the near floor (the lower part of the
# 3D area, in front of the balls) where the ImageMagick expression holds.
fraction_where() {
    convert "$1" -crop 440x110+100+360 +repage -fx "($2) ? 1 : 0" -format '%[fx:mean]' info:
}

# choose_shadow Y: opens Options > Shadowing and clicks the item at height Y
# of the submenu (window coordinates, as Dear ImGui lays the menu out).
choose_shadow() {
    click_at 80 9
    window_origin
    # Along the popup to "Shadowing", click it open, then sideways into the
    # submenu at the same height before going down to the item, so that the
    # submenu stays open.
    xdotool mousemove --sync $((WIN_X + 80)) $((WIN_Y + 48))
    sleep 0.3
    xdotool mousemove --sync $((WIN_X + 90)) $((WIN_Y + 50))
    sleep 0.3
    xdotool click 1
    sleep 0.3
    xdotool mousemove --sync $((WIN_X + 250)) $((WIN_Y + 50))
    sleep 0.3
    xdotool mousemove --sync $((WIN_X + 260)) $((WIN_Y + $1))
    sleep 0.3
    xdotool click 1
    sleep 0.3
    # Off the menu and out of the 3D area's way.
    xdotool mousemove --sync $((WIN_X + 630)) $((WIN_Y + 9))
}

# frame_rate: the median of eight caption readings over four seconds.
frame_rate() {
    local readings=()
    for _ in 1 2 3 4 5 6 7 8; do
        sleep 0.5
        if [[ "$(caption)" =~ \(([0-9]+\.[0-9])\ fps\) ]]; then
            readings+=("${BASH_REMATCH[1]}")
        fi
    done
    ((${#readings[@]} > 0)) || fail "no frame rate in the caption '$(caption)'"
    printf '%s\n' "${readings[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $' >/dev/null
# Let the balls settle on the floor after the first steps.
sleep 2
screenshot "$PICTURES/floor_start.png"

mean=$(convert "$PICTURES/floor_start.png" -colorspace Gray -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }' || fail "the 3D area is dark (mean $mean)"
cream=$(fraction_where "$PICTURES/floor_start.png" 'r - b > 0.03')
blue=$(fraction_where "$PICTURES/floor_start.png" 'b - r > 0.03')
echo "near floor: cream tiles $cream, blue tiles $blue"
awk -v c="$cream" -v b="$blue" 'BEGIN { exit !(c > 0.2 && b > 0.2) }' ||
    fail "the near floor does not show both kinds of tile (cream $cream, blue $blue)"

# The start mode is True Shadow (8 stencil bits); None first, then the others.
declare -A item_y=([none]=50 [fake]=67 [true]=84)
declare -A rates
for mode in none fake true; do
    choose_shadow "${item_y[$mode]}"
    sleep 0.5
    screenshot "$PICTURES/floor_shadow_$mode.png"
    rates[$mode]=$(frame_rate)
done

for mode in fake true; do
    changed=$(differing_pixels "$PICTURES/floor_shadow_none.png" "$PICTURES/floor_shadow_$mode.png")
    echo "pixels changed from None to $mode shadows: $changed"
    ((${changed%.*} > 500)) || fail "choosing $mode shadows did not change the picture ($changed)"
done
changed=$(differing_pixels "$PICTURES/floor_shadow_fake.png" "$PICTURES/floor_shadow_true.png")
echo "pixels changed from fake to true shadows: $changed"
((${changed%.*} > 500)) || fail "choosing true shadows after fake did not change the picture ($changed)"
echo "frame rates under Xvfb (llvmpipe), seven balls: none ${rates[none]} fps," \
    "fake ${rates[fake]} fps, true ${rates[true]} fps"

press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc"
echo "PASS: textured floor shown; shadow modes switch"
