#!/usr/bin/env bash
# Shows that the broad phase changes no bit: runs clatterbox-sim on every scene for 5,000 steps
# under a push script, and on 3,000 balls thrown into scene 0 for 2,000 steps, once through the
# broad phase and once with --all-pairs, printing the state every 500 (250) steps, and compares
# the outputs byte for byte. Prints one line per case with the SHA-256 of both outputs; exits 1
# if any pair differs. The cases run under the Classic contacts, whose hashes stay as committed
# in docs/bench/identity.txt, then every scene again under the Stable contacts.
#
# Settings, from the environment:
#   BUILD_DIR      build directory holding clatterbox-sim (default build/ at the top of the tree)
#   IDENTITY_SEED  seed of every run (default 7)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
seed=${IDENTITY_SEED:-7}
sim=$build/clatterbox-sim
if [[ ! -x $sim ]]; then
    echo "check-identity: $sim not found; build the clatterbox-sim target first" >&2
    exit 2
fi

# Strike the rack, sweep sideways rising, come back sinking, pull back, push again.
push=(--push 0,150,0:400 --push 80,0,20:300 --push -120,40,-20:300 --push 0,-150,0:400
    --push 30,90,0:600)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
compare() {
    local name=$1
    shift
    "$sim" "$@" >"$work/broad.txt"
    "$sim" "$@" --all-pairs >"$work/all.txt"
    local broad all
    broad=$(sha256sum <"$work/broad.txt" | cut -c1-16)
    all=$(sha256sum <"$work/all.txt" | cut -c1-16)
    if cmp -s "$work/broad.txt" "$work/all.txt"; then
        printf '%-28s identical  %s  %s  (%s bytes)\n' "$name" "$broad" "$all" \
            "$(wc -c <"$work/broad.txt")"
    else
        printf '%-28s DIFFERENT  %s  %s\n' "$name" "$broad" "$all"
        status=1
    fi
}

for scene in 0 1 2 3 4 5 6 7 8 9 10; do
    compare "scene $scene" --scene "$scene" --seed "$seed" --steps 5000 --every 500 "${push[@]}" \
        --contacts classic
done
compare "3000 thrown balls" --scene 0 --seed "$seed" --steps 2000 --every 250 --add-balls 3000 \
    "${push[@]}" --contacts classic
for scene in 0 1 2 3 4 5 6 7 8 9 10; do
    compare "stable scene $scene" --scene "$scene" --seed "$seed" --steps 5000 --every 500 \
        "${push[@]}" --contacts stable
done
exit $status
