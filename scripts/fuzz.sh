#!/usr/bin/env bash
# scripts/fuzz.sh BUILD SECONDS: runs every libFuzzer harness built in BUILD (make fuzz builds
# them) for SECONDS each. First each harness replays the crash reproducers kept in
# tests/fuzz/crashes/<harness>/, so a mended crash stays mended; then it fuzzes from the seeds
# tkv_make_fuzz_seeds writes plus what earlier runs found (BUILD/fuzz/corpus/<harness>).
# New crashes land in BUILD/fuzz/findings/<harness>/; keep the mended ones as reproducers.
# Prints each harness's executions and coverage; exits non-zero on the first finding.
set -euo pipefail

build=${1:?usage: fuzz.sh BUILD SECONDS}
seconds=${2:?usage: fuzz.sh BUILD SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
harnesses=(wave_stream wave_header project_file registry_text mmio_chunks movie_splitter
           media_detector)

work="$build/fuzz"
mkdir -p "$work/seeds"
"$build/tests/fuzz/tkv_make_fuzz_seeds" "$work/seeds"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for h in "${harnesses[@]}"; do
    binary="$build/tests/fuzz/tkv_fuzz_$h"
    corpus="$work/corpus/$h"
    findings="$work/findings/$h"
    mkdir -p "$corpus" "$findings"
    reproducers=("$root/tests/fuzz/crashes/$h"/*)
    if [ -e "${reproducers[0]}" ]; then
        "$binary" -runs=1 "${reproducers[@]}" >"$work/$h-replay.log" 2>&1 || {
            cat "$work/$h-replay.log" >&2
            echo "fuzz: $h: a kept reproducer fails again" >&2
            exit 1
        }
    fi
    if ! "$binary" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$work/seeds/$h" \
            >"$work/$h.log" 2>&1; then
        tail -n 60 "$work/$h.log" >&2
        echo "fuzz: $h found a fault; the input is in $findings/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$h.log")
    cov=$(grep -o 'cov: [0-9]*' "$work/$h.log" | tail -n 1)
    echo "fuzz: $h: ${runs:-?} executions in ${seconds} s, ${cov:-cov: ?}"
done
