#!/usr/bin/env bash
# The demo under Xvfb in a folder without floor.bmp: it shows the box
# "floor.bmp\n\nCould not open file." captioned "Error" (once, and nothing
# else), goes on when the box is dismissed, reaches its frame-rate caption and
# keeps drawing the scene (the floor in its plain material), and exits with 0
# on Esc. Every wait is bounded.
#
#   tests/e2e/texture_missing_floor.sh [CLATTERBOX [ASSETS]]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
program="${1:-$root/build/clatterbox}"
assets="${2:-$root/assets}"

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- stderr of the demo:"
    cat "$work/stderr" 2>/dev/null || true
    exit 1
}

# wait_for SECONDS COMMAND...: polls every 0.2 s until COMMAND succeeds.
wait_for() {
    local tries=$(($1 * 5))
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

cp "$assets/body.bmp" "$assets/env.bmp" "$work/"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

(cd "$work" && exec "$program" >"$work/stdout" 2>"$work/stderr") &
app_pid=$!

# The box may carry its title only as _NET_WM_NAME, which `search --name`
# does not see; getwindowname reads either.
box_window() {
    local id
    for id in $(xdotool search --class '.*' 2>/dev/null); do
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "Error" ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
wait_for 30 box_window || fail "no box captioned Error appeared"
box="$(box_window)"
stderr_text="$(cat "$work/stderr")"
[[ "$stderr_text" == "Error: floor.bmp"$'\n\n'"Could not open file." ]] ||
    fail "the only box should be \"floor.bmp\\n\\nCould not open file.\""

xdotool key --window "$box" Return
box_gone() { ! box_window >/dev/null; }
wait_for 10 box_gone || fail "the box did not go away on Return"

caption_re='^Clatterbox - Billiards 1  \([0-9]+\.[0-9] fps\)   $'
main_window() { xdotool search --name "$caption_re" | head -n1; }
wait_for 30 main_window || fail "the caption never showed the frame rate"
window="$(main_window)"

# Drawing goes on: a second after the caption first showed, the program is
# still running, its caption still shows the frame rate, and the middle of the
# window shows the lit floor.
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "the demo ended by itself"
[[ "$(xdotool getwindowname "$window")" =~ $caption_re ]] || fail "the caption was lost"
import -window "$window" "$work/shot.png"
brightness="$(convert "$work/shot.png" -gravity center -crop 30%x30%+0+0 +repage \
    -colorspace Gray -format '%[fx:mean]' info:)"
awk -v b="$brightness" 'BEGIN { exit !(b > 0.2) }' ||
    fail "the middle of the window is dark (mean $brightness): no floor drawn"
[[ "$(cat "$work/stderr")" == "$stderr_text" ]] || fail "more boxes came up after the first"

xdotool key --window "$window" Escape
exited() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for 10 exited || fail "Esc did not end the demo"
status=0
wait "$app_pid" || status=$?
app_pid=""
((status == 0)) || fail "exit status $status after Esc"
echo "PASS: box shown and dismissed, caption reached, drawing on, exit 0"
