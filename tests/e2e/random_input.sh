#!/usr/bin/env bash
# Random input in a real window, as a demo left out for visitors gets it:
# keys from the program's key set (and a few it ignores), held keys with
# their autorepeat, F5 up to 200 bodies and F6 down again, drags with either
# button and with Ctrl or Shift, menu clicks (the About box answered),
# resizes down to a 3D area of height 0. The demo is the sanitizer build: it
# must not crash, not freeze, print no sanitizer report, keep its memory
# steady over the rounds, and end with status 0 on Esc.
#
# CLATTERBOX_RANDOM_INPUT_SECONDS  length of the run (default 30)
# CLATTERBOX_RANDOM_INPUT_SEED     seed of the input (default: from the clock;
#                                  printed, so a run's input can be replayed)
source "$(dirname "$0")/lib.sh"

SECONDS_WANTED=${CLATTERBOX_RANDOM_INPUT_SECONDS:-30}
[[ "$SECONDS_WANTED" =~ ^[0-9]+$ && "$SECONDS_WANTED" -ge 10 ]] ||
    fail "CLATTERBOX_RANDOM_INPUT_SECONDS must be a whole number of seconds, at least 10"
SEED=${CLATTERBOX_RANDOM_INPUT_SEED:-$(($(date +%s) % 32768))}
[[ "$SEED" =~ ^[0-9]+$ ]] || fail "CLATTERBOX_RANDOM_INPUT_SEED must be a whole number"
RANDOM=$SEED
# Memory the demo may gain from the end of the first round to the end of the
# last, in kB: the sanitizer's quarantine and the driver's compiled state
# settle within it; a leak of a round's bodies and their lists does not.
RSS_SLACK_KB=$((24 * 1024))
# Over four rounds or more, what the trend may gain a round, in kB. Mesa keeps
# a few hundred bytes of every ball's lists (about 0.1 MB a round) and the
# allocators settle slowly; a round's 200 bodies leaking with their lists
# would add several MB.
RSS_SLOPE_KB=2048
# Bodies in "Billiards 1", where every round starts.
FIRST_SCENE_BODIES=7
SCENES=("Billiards 1" "Rings 1" "Bowling" "Rail and Balls" "Spinning Tops" "Billiards 2"
    "A Disk on Balls" "Tower" "Billiards 3" "Dominoes" "Rings 2")

LIBRARIES=$(ldd "$CLATTERBOX")
[[ "$LIBRARIES" == *libasan* ]] || {
    echo "SKIP: $CLATTERBOX is not the sanitizer build (the asan preset runs this test)"
    exit 77
}

# The sanitizers' settings, and a wrapper that starts the demo with them, so
# that the tools driving it do not run under them too. The GL driver is kept
# loaded: SDL unloads it at exit, before LeakSanitizer looks, and its known
# leaks would then have no module name to be suppressed by.
ASAN_LIB=$(awk '/libasan/ { print $3 }' <<<"$LIBRARIES")
PRELOAD=$ASAN_LIB
for driver in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/*/dri/swrast_dri.so; do
    if [[ -f "$driver" ]]; then
        PRELOAD="$PRELOAD $driver"
        break
    fi
done
# Leaks inside Mesa, as the unit tests skip them, and the one D-Bus keeps
# from SDL's start-up.
{
    cat "$(dirname "$0")/../lsan.supp"
    echo "leak:libdbus-1.so"
} >"$WORK/lsan.supp"
cat >"$WORK/sanitized-demo" <<EOF
#!/bin/sh
export LD_PRELOAD="$PRELOAD"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:quarantine_size_mb=16:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$WORK/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
exec "$CLATTERBOX" "\$@"
EOF
chmod +x "$WORK/sanitized-demo"
CLATTERBOX="$WORK/sanitized-demo"

sanitizer_report() {
    grep -E 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: (Address|Undefined)' \
        "$WORK/app.err" || true
}

alive() {
    kill -0 "$APP_PID" 2>/dev/null ||
        fail "the demo ended during the random input (seed $SEED)$(sanitizer_report | sed 's/^/\n/')"
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status"
}

# Draws without subshells, which would reseed RANDOM and lose the replay:
# roll LOW HIGH sets R to a number in the range; choose WORD... sets C.
roll() { R=$(($1 + RANDOM % ($2 - $1 + 1))); }
choose() {
    local words=("$@")
    C=${words[RANDOM % ${#words[@]}]}
}

WIN_W=640
WIN_H=$((480 + MENU_BAR_HEIGHT))
COUNT_KEYS=0
COUNT_DRAGS=0
COUNT_MENU=0
COUNT_RESIZES=0
COUNT_BALLS=0
COUNT_ABOUT=0
SCENE=0

# Keys of the program, and a few it has no use for. Esc is left out: it
# would end the run.
KEYS=(0 1 2 3 4 5 6 7 8 9 KP_0 KP_1 KP_5 KP_9 KP_Subtract f F1 F2 F3 F4 F5 F6 Pause space
    Left Right Up Down Home End a z Tab Return BackSpace F7 F12 KP_Add)
HELD_KEYS=(Left Right Up Down Home End F5 F6 F4 space Control_L Shift_L)

random_key() {
    choose "${KEYS[@]}"
    press "$C"
    ((COUNT_KEYS += 1))
}

# A key held down for a while: the X server repeats it.
held_key() {
    local key
    choose "${HELD_KEYS[@]}"
    key=$C
    roll 1 15
    xdotool keydown "$key"
    sleep "$((R / 10)).$((R % 10))"
    xdotool keyup "$key"
    ((COUNT_KEYS += 1))
}

# A drag over the 3D area with either button, now and then with Ctrl or
# Shift held as well; or Ctrl or Shift alone while the mouse moves.
drag_around() {
    window_origin
    local button modifier x y steps i low high
    choose 1 3 1 3 none
    button=$C
    choose none none Control_L Shift_L
    modifier=$C
    roll 20 $((WIN_W > 40 ? WIN_W - 20 : 20))
    x=$R
    low=$((MENU_BAR_HEIGHT + 10))
    high=$((WIN_H > low + 10 ? WIN_H - 10 : low))
    roll "$low" "$high"
    y=$R
    xdotool mousemove $((WIN_X + x)) $((WIN_Y + y))
    [[ $modifier != none ]] && xdotool keydown "$modifier"
    [[ $button != none ]] && xdotool mousedown "$button"
    roll 3 25
    steps=$R
    for ((i = 0; i < steps; i++)); do
        roll -60 60
        x=$((x + R))
        roll -60 60
        y=$((y + R))
        # Out of the window is fine, off the screen's top or left is not.
        if ((x < -WIN_X)); then x=$((-WIN_X)); fi
        if ((y < -WIN_Y)); then y=$((-WIN_Y)); fi
        xdotool mousemove $((WIN_X + x)) $((WIN_Y + y))
        roll 1 5
        sleep "0.0$R"
    done
    [[ $button != none ]] && xdotool mouseup "$button"
    [[ $modifier != none ]] && xdotool keyup "$modifier"
    ((COUNT_DRAGS += 1))
}

move_to() { # move_to X Y within the window
    window_origin
    xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2))
    sleep 0.15
}

click() { # click X Y within the window
    move_to "$1" "$2"
    xdotool click 1
    sleep 0.2
}

# The About box is modal: the loop waits until it is answered. A click that
# missed the item (the menu not open yet) brings no box. $1: the number of
# boxes shown before the click.
answer_about() {
    local deadline=$((SECONDS + 5))
    while (($(about_count) <= $1)); do
        ((SECONDS < deadline)) || return 0
        sleep 0.2
    done
    sleep 0.3
    press Return
    ((COUNT_ABOUT += 1))
}

# One item of the menus, never File, Exit. Only while the window is large
# enough for the menus to open where the clicks expect them.
menu_click() {
    ((WIN_W >= 320 && WIN_H >= 200)) || return 0
    roll 0 9
    case $R in
    0)
        local shown
        shown=$(about_count)
        click "$MENU_FILE_X" "$MENU_TITLE_Y"
        click 40 "$(menu_row_y 0)"
        answer_about "$shown"
        ;;
    1)
        click "$MENU_FILE_X" "$MENU_TITLE_Y"
        click 40 "$(menu_row_y 1 1)" # Pause
        ;;
    2)
        click "$MENU_FILE_X" "$MENU_TITLE_Y"
        click 40 "$(menu_row_y 2 1)" # Single Step, greyed unless paused
        ;;
    3)
        click "$MENU_OPTIONS_X" "$MENU_TITLE_Y"
        click 90 "$(menu_row_y 0)" # Enviroment Mapping
        ;;
    4 | 5)
        # Shadowing opens to the right; along its row, then down to an item.
        click "$MENU_OPTIONS_X" "$MENU_TITLE_Y"
        move_to 90 "$(menu_row_y 1)"
        move_to 260 "$(menu_row_y 1)"
        roll 1 3
        click 260 "$(menu_row_y "$R")"
        ;;
    6 | 7 | 8)
        click "$MENU_OPTIONS_X" "$MENU_TITLE_Y"
        roll 2 4
        click 90 "$(menu_row_y "$R" 1)" # Next, Previous, Reset Scene
        ;;
    9)
        # Opened and left by a click in the 3D area.
        choose "$MENU_FILE_X" "$MENU_OPTIONS_X"
        click "$C" "$MENU_TITLE_Y"
        click 320 300
        ;;
    esac
    ((COUNT_MENU += 1))
}

# A new size, down to a 3D area of no height at all; X refuses a window of
# height 0, which is tried as well.
resize() {
    local w h
    roll 0 2
    if ((R == 0)); then
        # Back to the first size, where the menus can be clicked again.
        xdotool windowsize "$WINDOW" 640 $((480 + MENU_BAR_HEIGHT))
        WIN_W=640
        WIN_H=$((480 + MENU_BAR_HEIGHT))
        sleep 0.3
        ((COUNT_RESIZES += 1))
        return 0
    fi
    roll 1 1000
    choose 1 50 320 640 800 1000 "$R"
    w=$C
    roll 0 760
    choose 0 1 10 "$MENU_BAR_HEIGHT" $((MENU_BAR_HEIGHT + 1)) 200 499 700 "$R"
    h=$C
    xdotool windowsize "$WINDOW" "$w" "$h" 2>/dev/null || true
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    WIN_W=$WIDTH
    WIN_H=$HEIGHT
    ((COUNT_RESIZES += 1))
}

# F5 until the list holds 200 bodies; F6 until one is left.
fill_and_empty() {
    xdotool key --delay 8 --repeat $((200 - FIRST_SCENE_BODIES)) F5
    ((COUNT_BALLS += 200 - FIRST_SCENE_BODIES))
    sleep 2
    alive
    xdotool key --delay 8 --repeat 220 F6
}

# The scene the caption names, as an index; after the caption has had time
# to show the latest change.
scene_index() {
    local text name index
    sleep 1.5
    text=$(wait_for_caption '^Clatterbox - ' 30)
    name=${text#Clatterbox - }
    name=${name%%  (*}
    for index in "${!SCENES[@]}"; do
        if [[ "${SCENES[$index]}" == "$name" ]]; then
            SCENE=$index
            return 0
        fi
    done
    fail "unknown scene in the caption: '$text'"
}

# The same state at the end of every round: the window at its first size,
# nothing held, no menu open, one body, and the first scene built again.
settle() {
    xdotool keyup Control_L Shift_L F5 F6 Left Right Up Down Home End 2>/dev/null || true
    xdotool mouseup 1 2>/dev/null || true
    xdotool mouseup 3 2>/dev/null || true
    xdotool windowsize "$WINDOW" 640 $((480 + MENU_BAR_HEIGHT))
    WIN_W=640
    WIN_H=$((480 + MENU_BAR_HEIGHT))
    sleep 0.5
    click 320 300 # closes an open menu
    xdotool key --delay 8 --repeat 220 F6
    local attempt
    for attempt in 1 2 3; do
        scene_index
        ((SCENE == 0)) && break
        xdotool key --delay 30 --repeat "$SCENE" F2
    done
    press F3
    wait_for_caption '^Clatterbox - Billiards 1  \(' 30 >/dev/null
}

# The caption must keep refreshing: the loop runs.
still_running() {
    local before deadline
    before=$(caption)
    deadline=$((SECONDS + 30))
    while [[ "$(caption)" == "$before" ]]; do
        ((SECONDS < deadline)) || fail "the caption stopped refreshing: the demo froze (seed $SEED)"
        sleep 0.2
    done
}

start_xvfb
start_app
wait_for_caption '^Clatterbox - Billiards 1  \(' 60 >/dev/null
echo "seed $SEED (CLATTERBOX_RANDOM_INPUT_SEED=$SEED replays the input), $SECONDS_WANTED s"

# Rounds of a burst to 200 bodies, random input, and the settling that makes
# the rounds' memory comparable; at least two of them.
ACTION_SECONDS=$((SECONDS_WANTED < 60 ? 6 : 20))
START=$SECONDS
RSS=()
round=0
while ((round < 2 || SECONDS - START < SECONDS_WANTED)); do
    ((round += 1))
    fill_and_empty
    round_end=$((SECONDS + ACTION_SECONDS))
    while ((SECONDS < round_end)); do
        alive
        roll 0 19
        case $R in
        0 | 1 | 2 | 3 | 4 | 5) random_key ;;
        6 | 7) held_key ;;
        8 | 9 | 10 | 11 | 12) drag_around ;;
        13 | 14 | 15) menu_click ;;
        16 | 17) resize ;;
        18)
            roll 5 40
            choose F5 F6 F4 F1 F2
            xdotool key --delay 10 --repeat "$R" "$C"
            ;;
        19)
            roll 0 39
            sleep "0.$((R / 10))$((R % 10))"
            ;;
        esac
    done
    alive
    settle
    still_running
    RSS+=("$(rss_kb)")
    echo "round $round: memory ${RSS[-1]} kB after $((SECONDS - START)) s"
done

report=$(sanitizer_report)
[[ -z "$report" ]] || fail "sanitizer report during the run (seed $SEED):
$report"
growth=$((RSS[-1] - RSS[0]))
echo "memory by round (kB): ${RSS[*]}; growth from the first round $growth kB"
if ((${#RSS[@]} >= 4)); then
    # Over many rounds, the trend: a least-squares line through the rounds.
    slope=$(printf '%s\n' "${RSS[@]}" | awk '{ n++; sx += n; sy += $1; sxx += n * n; sxy += n * $1 }
        END { printf "%d", (n * sxy - sx * sy) / (n * sxx - sx * sx) }')
    echo "memory trend: $slope kB a round"
    ((slope <= RSS_SLOPE_KB)) ||
        fail "memory grows by $slope kB a round (seed $SEED): ${RSS[*]}"
else
    ((growth <= RSS_SLACK_KB)) ||
        fail "memory grew by $growth kB over the rounds (seed $SEED): ${RSS[*]}"
fi

press Escape
wait_for_exit 60
report=$(sanitizer_report)
[[ -z "$report" ]] || fail "sanitizer report at exit (seed $SEED):
$report"
[[ $EXIT_STATUS -eq 0 ]] || fail "exit status $EXIT_STATUS after Esc (seed $SEED)"
echo "input: $COUNT_KEYS keys, $COUNT_DRAGS drags, $COUNT_MENU menu clicks ($COUNT_ABOUT About" \
    "boxes), $COUNT_RESIZES resizes, $COUNT_BALLS balls in bursts to 200 bodies, over" \
    "$((SECONDS - START)) s in $round rounds"
echo "PASS: random input for $((SECONDS - START)) s: no crash, no freeze, no sanitizer report," \
    "memory steady, status 0 on Esc"
