#!/usr/bin/env bash
# The long versions of the reliability runs that ./test keeps short:
#   1. the soak: every scene for SOAK_SECONDS of simulated time (default 1800,
#      half an hour each) under random hand input, every step checked;
#   2. random input in a real window under Xvfb for WINDOW_SECONDS (default
#      600) with the sanitizer build.
#
#   tests/long_reliability.sh [SOAK_SECONDS [WINDOW_SECONDS [SEED]]]
#
# Builds what it needs with the default and asan presets (build/ and
# build-asan/), or in the trees named by CLATTERBOX_BUILD_DIR and
# CLATTERBOX_ASAN_BUILD_DIR when they are set (configured already, the second
# with CLATTERBOX_SANITIZE=ON). Prints the figures of both runs and their wall
# times; fails on the first failure, whose message says how to replay it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

soak_seconds=${1:-1800}
window_seconds=${2:-600}
seed=${3:-$(($(date +%s) % 100000))}
for value in "$soak_seconds" "$window_seconds" "$seed"; do
    [[ "$value" =~ ^[0-9]+$ ]] || {
        echo "usage: $0 [SOAK_SECONDS [WINDOW_SECONDS [SEED]]] (whole numbers)" >&2
        exit 2
    }
done

echo "== build"
build=${CLATTERBOX_BUILD_DIR:-}
if [[ -z "$build" ]]; then
    cmake --preset default >/dev/null
    build=build
fi
cmake --build "$build" -j2 --target clatterbox-sim
asan_build=${CLATTERBOX_ASAN_BUILD_DIR:-}
if [[ -z "$asan_build" ]]; then
    cmake --preset asan >/dev/null
    asan_build=build-asan
fi
cmake --build "$asan_build" -j2 --target clatterbox

echo "== soak: $soak_seconds s of every scene, seed $seed"
start=$SECONDS
"$build/clatterbox-sim" --soak "$soak_seconds" --seed "$seed"
echo "soak wall time: $((SECONDS - start)) s"

echo "== random input in a window: $window_seconds s, seed $((seed % 32768))"
start=$SECONDS
status=0
CLATTERBOX_RANDOM_INPUT_SECONDS=$window_seconds CLATTERBOX_RANDOM_INPUT_SEED=$((seed % 32768)) \
    bash tests/e2e/random_input.sh "$asan_build/clatterbox" assets "$asan_build" || status=$?
echo "window run wall time: $((SECONDS - start)) s"
if ((status == 77)); then
    echo "the window run was skipped (no Xvfb)" >&2
elif ((status != 0)); then
    exit "$status"
fi
echo "== long reliability runs passed"
