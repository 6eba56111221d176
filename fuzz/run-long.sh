#!/usr/bin/env bash
# Fuzzes each image reader for longer (SECONDS each, default 1800), keeping
# the grown corpus in fuzz-out/corpus/ between runs so each run goes on where
# the last stopped. Findings land in fuzz-out/findings/; the script fails if
# there is any.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-1800}"
build="$root/build-fuzz"
out="$root/fuzz-out"

bash "$root/fuzz/build.sh" "$build"
rm -rf "$build/seeds"
"$build/make_seeds" "$build/seeds" >/dev/null
mkdir -p "$out/findings"

status=0
for reader in bmp sgi; do
    corpus="$out/corpus/$reader"
    mkdir -p "$corpus"
    log="$out/$reader-fuzz.log"
    if "$build/${reader}_fuzzer" "$corpus" "$build/seeds/$reader" \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=128 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$reader-" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1)"
        echo "fuzz $reader: ${runs:-?} inputs in ${seconds} s, ${cov:-cov: ?}, corpus $(ls "$corpus" | wc -l) files, no finding"
    else
        echo "fuzz $reader: FINDING (log $log, inputs in $out/findings/)"
        tail -40 "$log"
        status=1
    fi
done
exit "$status"
