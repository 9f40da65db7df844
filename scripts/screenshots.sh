#!/usr/bin/env bash
# Shows the real application on a virtual X display and saves screenshots of it: the main
# window, the window with its About box, and with the filter list's context menu open.
# Usage: scripts/screenshots.sh [OUTPUT_FOLDER]   (default: screenshots; BUILD=build)
# Installs Xvfb, xdotool and ImageMagick when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots}
build=${BUILD:-build}
app="$build/app/tkv"
title="Tarvik Time Stretcher v1.0"

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v import >/dev/null || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" \
        >/dev/null
fi
[ -x "$app" ] || { echo "Build the application first (make build): $app is missing" >&2; exit 1; }
mkdir -p "$out"

display=:$((90 + RANDOM % 500))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
xvfb=$!
registry=$(mktemp -d)
cleanup() {
    [ -n "${tkv:-}" ] && kill "$tkv" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$registry"
}
trap cleanup EXIT
export DISPLAY=$display TKV_REGISTRY_DIR=$registry SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$app" &
tkv=$!
window=$(timeout 30 xdotool search --sync --name "^${title}\$" | head -1)
sleep 1  # the catalogue's loading dialog closes, the window paints
shot() { import -window root "$out/$1.png"; echo "saved $out/$1.png"; }
xdotool windowfocus --sync "$window"
shot main-window

# The window menu (a right click on the window's background); its last entry opens the About
# box.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH * 200 / 443)) $((HEIGHT * 30 / 343)) click 3
sleep 0.5
xdotool key Up
sleep 0.2
xdotool key Return
sleep 1
shot about-box
xdotool key Return
sleep 0.5

# The filter list's context menu: a right click inside the "DirectShow Graph :" list.
xdotool mousemove --window "$window" $((WIDTH * 330 / 443)) $((HEIGHT * 110 / 343)) click 3
sleep 1
shot context-menu
xdotool key Escape
sleep 0.3
xdotool key Escape
wait "$tkv" || true
tkv=
