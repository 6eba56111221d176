#!/usr/bin/env bash
# Builds the peer-engine ball-drop benchmarks (bench/peers) and runs each installed engine for
# every N, one run at a time, writing one CSV line per run to docs/bench/peers.csv:
#   engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies,mean_us_per_step,status
# Median and minimum are over the steps after the first 0.5 simulated seconds; the mean is over
# every step run. status is "ok", "unstable" (bodies escaped the box or went non-finite),
# "too slow" (stopped at the wall-time cap: the figures cover the steps run), "too big" (the
# engine would need more memory than allowed), a problem the engine reported, or "failed".
#
# Settings, from the environment:
#   BUILD_DIR            build directory (default build/ at the top of the tree)
#   PEERS_STANDALONE=1   configure bench/peers on its own instead of the whole project
#   PEERS_NS             ball counts (default "10 100 1000 3000 10000")
#   PEERS_SECONDS        simulated seconds per run (default 5)
#   PEERS_MAX_WALL       wall-time cap of one run's stepping in seconds (default 120)
#   PEERS_MAX_MEMORY_GB  memory an engine may preallocate (default 6)
#   PEERS_NO_SKIP=1      also run the larger N of an engine that was too slow or too big
#   PEERS_CSV            output file (default docs/bench/peers.csv)
#   PEERS_PNG            if set and gnuplot is installed, also plot to this PNG file
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
ns=${PEERS_NS:-"10 100 1000 3000 10000"}
sim_seconds=${PEERS_SECONDS:-5}
max_wall=${PEERS_MAX_WALL:-120}
max_memory=${PEERS_MAX_MEMORY_GB:-6}
csv=${PEERS_CSV:-$root/docs/bench/peers.csv}
log=$build/peers.log
header="engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies,mean_us_per_step,status"

if [[ ${PEERS_STANDALONE:-0} == 1 ]]; then
    cmake -S "$root/bench/peers" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
else
    cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" --target peers -j2

engines=()
for engine in bullet ode mujoco; do
    for candidate in "$build/bench/peers/peer-$engine" "$build/peer-$engine"; do
        if [[ -x $candidate ]]; then
            engines+=("$engine:$candidate")
            break
        fi
    done
done
mkdir -p "$(dirname "$csv")"
if [[ ${#engines[@]} -eq 0 ]]; then
    echo "run-peers: no peer engine is installed (libbullet-dev, libode-dev, libmujoco-dev)" >&2
    echo "$header" >"$csv"
    exit 0
fi

# One thread each, whatever the libraries were built with.
export OMP_NUM_THREADS=1
partial=$csv.partial
out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo "$header" >"$partial"
: >"$log"
echo "$header"
for entry in "${engines[@]}"; do
    engine=${entry%%:*}
    program=${entry#*:}
    stopped=""
    for n in $ns; do
        if [[ -n $stopped && ${PEERS_NO_SKIP:-0} != 1 ]]; then
            line="$engine,$n,0,,,,,$stopped"
        else
            # The program stops its own stepping at the cap; this only catches a hang elsewhere.
            code=0
            timeout $((${max_wall%.*} * 3 + 300)) "$program" --n "$n" --seconds "$sim_seconds" \
                --max-wall "$max_wall" --max-memory-gb "$max_memory" >"$out" 2>>"$log" ||
                code=$?
            line=$(tail -n 1 "$out")
            if [[ $code -ne 0 || $line != "$engine,$n,"* ]]; then
                line="$engine,$n,0,,,,,failed (exit code $code: see $log)"
            fi
            status=${line##*,}
            case $status in
            "too slow") stopped="too slow (skipped: too slow at N=$n)" ;;
            "too big"*) stopped="too big (skipped: too big at N=$n)" ;;
            esac
        fi
        echo "$line"
        echo "$line" >>"$partial"
    done
done
mv "$partial" "$csv"
echo "run-peers: wrote $csv (engine messages in $log)"

if [[ -n ${PEERS_PNG:-} ]]; then
    if command -v gnuplot >/dev/null; then
        gnuplot -e "csv='$csv'; png='$PEERS_PNG'" "$root/bench/plot.gnuplot"
        echo "run-peers: plotted $PEERS_PNG"
    else
        echo "run-peers: gnuplot is not installed; no plot" >&2
    fi
fi
