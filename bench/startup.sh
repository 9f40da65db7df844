#!/usr/bin/env bash
# The time from starting the application to its main window shown (the filter catalogue
# gathered behind its loading dialog before that), on a virtual X display; N runs, each with a
# fresh registry folder, so every run writes the stock registrations first as a new install
# does. Usage: bench/startup.sh [BUILD] [N]   (needs Xvfb and xdotool: see scripts/screenshots.sh)
set -euo pipefail
build=${1:-build}
runs=${2:-10}
app="$build/app/tkv"
title="Tarvik Time Stretcher v1.0"

display=:$((600 + RANDOM % 300))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

times=()
for run in $(seq "$runs"); do
    registry=$(mktemp -d)
    start=$(date +%s%N)
    TKV_REGISTRY_DIR=$registry "$app" 2>/dev/null &
    pid=$!
    until xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -rf "$registry"
    times+=($(( (end - start) / 1000000 )))
    echo "run $run: ${times[-1]} ms"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start to main window: median ${sorted[$((runs / 2))]} ms, best ${sorted[0]} ms, worst ${sorted[-1]} ms"
