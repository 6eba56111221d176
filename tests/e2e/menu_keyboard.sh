#!/usr/bin/env bash
# The menus from the keyboard alone, on "Billiards 1" at rest: F10 and Alt+F,
# Alt+O, Alt+H open menus; the arrows, Enter and a label's letter choose;
# Esc closes one level at a time and never also ends the demo, and once
# every menu is closed Esc ends it with status 0. A menu closed with Esc
# leaves the picture under it as it was before it opened. The Controls
# window (Help, Controls, or ?) and the About box close with Esc as well.
# Pictures of the menus and windows are kept in build/tests/e2e_pictures/.
source "$(dirname "$0")/lib.sh"

AREA="640x480+0+$MENU_BAR_HEIGHT"
# Right of the Options menu, where its Shadowing submenu opens.
SUBMENU_AREA="400x120+240+$MENU_BAR_HEIGHT"

area() { # area FILE [GEOMETRY]
    import -window "$WINDOW" -crop "${2:-$AREA}" +repage "$1"
}

alive() {
    kill -0 "$APP_PID" 2>/dev/null || fail "the demo ended: $*"
}

same_as_rest() { # same_as_rest WHAT [GEOMETRY] [REST]
    area "$WORK/now.png" "${2:-$AREA}"
    local changed
    changed=$(differing_pixels "${3:-$WORK/rest.png}" "$WORK/now.png")
    [[ "$changed" -eq 0 ]] || fail "$1: $changed pixels differ from the picture at rest"
}

differs_from_rest() { # differs_from_rest WHAT [GEOMETRY] [REST]
    area "$WORK/now.png" "${2:-$AREA}"
    local changed
    changed=$(differing_pixels "${3:-$WORK/rest.png}" "$WORK/now.png")
    [[ "$changed" -gt 0 ]] || fail "$1: the picture did not change"
}

step() { # step KEY...: keys, then time for a frame or two
    press "$@"
    sleep 0.5
}

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null
# The pointer rests in the 3D area, with no button held.
window_origin
xdotool mousemove --sync $((WIN_X + 600)) $((WIN_Y + 450))
# The camera settles on its aim point; the balls lie still.
sleep 3
area "$WORK/rest.png"
area "$WORK/rest-submenu.png" "$SUBMENU_AREA"
sleep 0.5
same_as_rest "Billiards 1 at rest"

# File with a click, closed with Esc.
click_at "$MENU_FILE_X" "$MENU_TITLE_Y"
keep_picture file_menu_clicked
differs_from_rest "File opened with a click"
window_origin
xdotool mousemove --sync $((WIN_X + 600)) $((WIN_Y + 450))
step Escape
alive "Esc that closed the clicked File menu"
same_as_rest "File closed with Esc"

# File with F10 and Down; Esc closes it, Esc leaves the bar.
step F10
keep_picture menu_bar_f10
step Down
keep_picture file_menu_f10
differs_from_rest "File opened with F10, Down"
step Escape
alive "Esc that closed File"
same_as_rest "File closed with Esc after F10"
step Escape
alive "Esc that left the menu bar"

# Alt+O, Down, Enter opens the Shadowing submenu; Esc closes it alone.
step alt+o
step Down Return
keep_picture options_shadowing_keys
differs_from_rest "Shadowing opened with Alt+O, Down, Enter" "$SUBMENU_AREA" "$WORK/rest-submenu.png"
step Escape
alive "Esc that closed Shadowing"
keep_picture options_after_esc
same_as_rest "Shadowing closed with Esc" "$SUBMENU_AREA" "$WORK/rest-submenu.png"
differs_from_rest "Options still open after one Esc"
step Escape
same_as_rest "Options closed with a second Esc"
step Escape
alive "Esc that left the menu bar"

# Help, Controls: the window lists the controls; Esc closes it. So does ?
step alt+h
keep_picture help_menu_alt_h
step Return
keep_picture controls_window
differs_from_rest "the Controls window"
step Escape
alive "Esc that closed the Controls window"
same_as_rest "Controls window closed with Esc"
step question
differs_from_rest "the Controls window opened with ?"
step Escape
same_as_rest "Controls window closed with Esc"

# About from the keyboard: inside the window, over the scene, closed by Esc.
shown=$(about_count)
step alt+f
keep_picture file_menu_alt_f
press Return
wait_for_about "$shown"
sleep 0.5
keep_picture about_box_keyboard
step Escape
alive "Esc that closed the About box"
same_as_rest "About box closed with Esc"

# Pause with the keyboard alone: Alt+F, Down (Pause), Enter.
step F4
step alt+f
step Down Return
area "$WORK/paused1.png"
sleep 1
area "$WORK/paused2.png"
still=$(differing_pixels "$WORK/paused1.png" "$WORK/paused2.png")
[[ "$still" -eq 0 ]] || fail "$still pixels changed after Pause was chosen from the keyboard"
# Alt+F, P: the label's letter resumes.
step alt+f
step p
area "$WORK/running1.png"
sleep 0.5
area "$WORK/running2.png"
moving=$(differing_pixels "$WORK/running1.png" "$WORK/running2.png")
[[ "$moving" -gt 0 ]] || fail "the picture did not move after Alt+F, P"

# Esc after a menu was closed still ends the demo, with status 0.
click_at "$MENU_FILE_X" "$MENU_TITLE_Y"
step Escape
alive "Esc that closed File the second time"
press Escape
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc"
echo "PASS: the menus work from the keyboard alone; pictures in $PICTURES"
