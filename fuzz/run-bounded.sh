#!/usr/bin/env bash
# Fuzzes each image reader for a bounded time (SECONDS each, default 30),
# starting from the reader tests' files, and fails on any finding: a crash, a
# sanitizer report, a broken promise of fuzz/FuzzChecks.h, an input that runs
# longer than 5 s, or an allocation above 128 MiB (the largest image the
# readers accept needs 64 MiB). Findings are kept in build-fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
out="$root/build-fuzz"

bash "$root/fuzz/build.sh" "$out"
rm -rf "$out/seeds" "$out/corpus"
"$out/make_seeds" "$out/seeds" >/dev/null
mkdir -p "$out/findings"

status=0
for reader in bmp sgi; do
    corpus="$out/corpus/$reader"
    mkdir -p "$corpus"
    log="$out/$reader-fuzz.log"
    if "$out/${reader}_fuzzer" "$corpus" "$out/seeds/$reader" \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=128 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$reader-" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        echo "fuzz $reader: ${runs:-?} inputs in ${seconds} s, no finding"
    else
        echo "fuzz $reader: FINDING (log $log, inputs in $out/findings/)"
        tail -40 "$log"
        status=1
    fi
done
exit "$status"
