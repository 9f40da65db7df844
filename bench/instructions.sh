#!/usr/bin/env bash
# Instructions executed by tkv-render and by the bare SoundTouch loop program on the same
# 20-second source, counted by callgrind: a figure that does not depend on machine load.
# usage: bench/instructions.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/tkv_make_wav" 20 "$work/in.wav"

count() {
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" 2>&1 |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

echo "stretch  tkv-render instr  bare loop instr  ratio  same samples"
for stretch in 0 10 -10; do
    printf '\r\n%s\r\n%s\r\n0.000000\r\n%s.000000\r\n0.000000\r\n' \
        "$work/in.wav" "$work/ours.wav" "$stretch" > "$work/p.tkv"
    ours=$(count "$build/tools/tkv-render" "$work/p.tkv")
    theirs=$(count "$build/bench/tkv_bare_render" "$work/in.wav" "$work/bare.wav" "$stretch")
    same=no
    cmp -s <(tail -c +47 "$work/ours.wav") <(tail -c +47 "$work/bare.wav") && same=yes
    printf '%+4d     %16d  %15d  %5.3f  %s\n' "$stretch" "$ours" "$theirs" \
        "$(echo "scale=3; $ours / $theirs" | bc)" "$same"
done
