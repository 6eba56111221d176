#!/usr/bin/env bash
# The menu bar: keys do not reach the world while a menu is open; Options,
# Next Scene does what F1 does; File, About... shows the About box inside the
# window, which Return dismisses; File, Exit ends with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' >/dev/null

# While a menu is open, keys are the menu's: F1 does not change the scene.
click_at "$MENU_OPTIONS_X" "$MENU_TITLE_Y"
press F1
sleep 1.5
[[ "$(caption)" =~ ^Clatterbox\ -\ Billiards\ 1\  ]] ||
    fail "F1 reached the world with the menu open: $(caption)"

# Options (still open): Enviroment Mapping, Shadowing, separator, Next Scene.
click_at 90 "$(menu_row_y 2 1)"
echo "after Options, Next Scene: $(wait_for_caption '^Clatterbox - Rings 1  \([0-9]+\.[0-9] fps\)   $')"

# File: About...
shown=$(about_count)
click_at "$MENU_FILE_X" "$MENU_TITLE_Y"
click_at 40 "$(menu_row_y 0)"
wait_for_about "$shown"
grep -qx 'About Clatterbox: Clatterbox version 1.05' "$WORK/app.err" ||
    fail "the About text does not begin with the version line"
sleep 0.5
keep_picture about_box_clicked
press Return

# The loop runs on after the box: the caption refreshes again.
before=$(caption)
deadline=$((SECONDS + 10))
while [[ "$(caption)" == "$before" ]]; do
    ((SECONDS < deadline)) || fail "the caption stopped refreshing after the About box"
    sleep 0.1
done

# File: About..., separator, Pause, Single Step, separator, Save Screenshot,
# separator, Exit.
click_at "$MENU_FILE_X" "$MENU_TITLE_Y"
click_at 40 "$(menu_row_y 4 3)"
wait_for_exit 20
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after File, Exit"
echo "PASS: menu items reach their commands"
