#!/usr/bin/env bash
# Without a display the demo cannot open its window: it says so on stderr in
# the error box's form, with the display it tried after SDL's text, and ends
# with status 255 (-1).
source "$(dirname "$0")/lib.sh"

# run_without_display EXPECTED-DISPLAY-LINE ENV-ARGUMENTS...
run_without_display() {
    local expected=$1
    shift
    set +e
    (cd "$ASSETS" && env -u WAYLAND_DISPLAY "$@" timeout -k 5 20 "$CLATTERBOX") \
        >"$WORK/app.out" 2>"$WORK/app.err"
    local status=$?
    set -e
    [[ $status -eq 255 ]] || fail "exit status $status, not 255"
    # Libraries may write their own complaints first; the box's text follows.
    local line
    line=$(grep -n -x 'Clatterbox Error: Failed to initialize Window.' "$WORK/app.err" | head -n 1 | cut -d: -f1)
    [[ -n "$line" ]] || fail "stderr lacks the error: $(cat "$WORK/app.err")"
    [[ "$(sed -n "$((line + 1))p" "$WORK/app.err")" == "" ]] || fail "no blank line before the system's text"
    [[ -n "$(sed -n "$((line + 2))p" "$WORK/app.err")" ]] || fail "no system text after the blank line"
    [[ "$(sed -n "$((line + 3))p" "$WORK/app.err")" == "$expected" ]] ||
        fail "the text does not end with '$expected': $(cat "$WORK/app.err")"
    echo "status 255 and: $(tr '\n' '|' <"$WORK/app.err")"
}

run_without_display "DISPLAY is not set" -u DISPLAY
# A display number no server has.
run_without_display "DISPLAY=:65000" DISPLAY=:65000
echo "PASS: no display: status 255 and the error naming the display"
