#!/usr/bin/env bash
# The whole ball-drop comparison in one run: builds clatterbox-bench and the peer engines, runs
# Clatterbox's drop (with the broad phase, and with the all-pairs loop for reference) and every
# installed peer for every N, one run at a time, and writes
#   docs/bench/peers.csv   engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies,
#                          mean_us_per_step,status   (Clatterbox's rows first, then the peers')
#   docs/bench/ratios.md   each peer's median step time over Clatterbox's, per N
#   docs/bench/peers.png   step time against N for every engine (gnuplot, bench/plot.gnuplot)
#
# Settings, from the environment (and those of bench/run-peers.sh, which this script calls):
#   BUILD_DIR            build directory (default build/ at the top of the tree)
#   BENCH_NS             ball counts (default "10 100 1000 3000 10000")
#   BENCH_SECONDS        simulated seconds per run (default 5)
#   BENCH_MAX_WALL       wall-time cap of one run's stepping in seconds (default 120)
#   BENCH_ALL_PAIRS=0    leave out the all-pairs rows
#   BENCH_REUSE_PEERS=1  keep the peers' rows of the existing CSV instead of running the peers
#   BENCH_CSV, BENCH_PNG, BENCH_RATIOS   output files (defaults above)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
ns=${BENCH_NS:-"10 100 1000 3000 10000"}
sim_seconds=${BENCH_SECONDS:-5}
max_wall=${BENCH_MAX_WALL:-120}
csv=${BENCH_CSV:-$root/docs/bench/peers.csv}
png=${BENCH_PNG:-$root/docs/bench/peers.png}
ratios=${BENCH_RATIOS:-$root/docs/bench/ratios.md}
header="engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies,mean_us_per_step,status"

mkdir -p "$(dirname "$csv")" "$(dirname "$png")" "$(dirname "$ratios")"
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" --target clatterbox-bench -j2
bench=$build/clatterbox-bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$build/bench.log
: >"$log"

# One engine's rows: after a run that hit the cap, the larger N are not run.
run_clatterbox() {
    local label=$1
    shift
    local stopped="" n line code
    for n in $ns; do
        if [[ -n $stopped ]]; then
            line="$label,$n,0,,,,,$stopped"
        else
            code=0
            line=$("$bench" --peer-work "$@" --n "$n" --seconds "$sim_seconds" \
                --max-wall "$max_wall" 2>>"$log" | tail -n 1) || code=$?
            if [[ $code -ne 0 || $line != "$label,$n,"* ]]; then
                line="$label,$n,0,,,,,failed (exit code $code: see $log)"
            fi
            if [[ ${line##*,} == "too slow" ]]; then
                stopped="too slow (skipped: too slow at N=$n)"
            fi
        fi
        echo "$line" | tee -a "$work/clatterbox.csv"
    done
}

echo "$header"
: >"$work/clatterbox.csv"
run_clatterbox clatterbox
if [[ ${BENCH_ALL_PAIRS:-1} != 0 ]]; then
    run_clatterbox clatterbox-all-pairs --all-pairs
fi

if [[ ${BENCH_REUSE_PEERS:-0} == 1 && -f $csv ]]; then
    grep -v -e '^engine,' -e '^clatterbox' "$csv" >"$work/peers.csv" || true
else
    BUILD_DIR=$build PEERS_NS=$ns PEERS_SECONDS=$sim_seconds PEERS_MAX_WALL=$max_wall \
        PEERS_CSV="$work/peers-all.csv" "$root/bench/run-peers.sh"
    grep -v '^engine,' "$work/peers-all.csv" >"$work/peers.csv" || true
fi

{
    echo "$header"
    cat "$work/clatterbox.csv" "$work/peers.csv"
} >"$csv.partial"
mv "$csv.partial" "$csv"
echo "run-bench: wrote $csv"

# Ratios of the medians: how many times longer each engine's step takes than Clatterbox's.
awk -F, '
    NR == 1 { next }
    $4 != "" { median[$1, $2] = $4; status[$1, $2] = $8 }
    !seenN[$2]++ { ns[++nn] = $2 }
    !seenE[$1]++ { es[++ne] = $1 }
    END {
        printf "| N | clatterbox (us/step) |"
        for (e = 1; e <= ne; ++e) if (es[e] != "clatterbox") printf " %s |", es[e]
        printf "\n|---|---|"
        for (e = 1; e <= ne; ++e) if (es[e] != "clatterbox") printf "---|"
        printf "\n"
        for (i = 1; i <= nn; ++i) {
            n = ns[i]
            base = median["clatterbox", n]
            printf "| %s | %s |", n, base == "" ? "-" : base
            for (e = 1; e <= ne; ++e) {
                if (es[e] == "clatterbox") continue
                m = median[es[e], n]
                if (m == "" || base == "") { printf " - |"; continue }
                note = status[es[e], n] == "ok" ? "" : " (" status[es[e], n] ")"
                printf " %.1fx%s |", m / base, note
            }
            printf "\n"
        }
    }' "$csv" >"$ratios"
echo "run-bench: wrote $ratios (each engine's median step time over Clatterbox's)"
cat "$ratios"

if command -v gnuplot >/dev/null; then
    gnuplot -e "csv='$csv'; png='$png'" "$root/bench/plot.gnuplot"
    echo "run-bench: plotted $png"
else
    echo "run-bench: gnuplot is not installed; no plot" >&2
fi
