#!/usr/bin/env bash
# Shows the real application on a virtual X display and saves screenshots of it: the main
# window, the window with its About box, with the filter list's context menu open, playing
# a sample movie with a WAV (made by the build's tkv_make_sample_media), and with a project
# of that movie and WAV loaded.
# Usage: scripts/screenshots.sh [OUTPUT_FOLDER]   (default: screenshots; BUILD=build)
# Each picture is one step below; a step leaves the window as it found it, or says what it
# changed, so that a new picture is one more step at the end.
# Installs Xvfb, xdotool and ImageMagick when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots}
build=${BUILD:-build}
app="$build/app/tkv"
media_maker="$build/tests/support/tkv_make_sample_media"
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
for program in "$app" "$media_maker"; do
    [ -x "$program" ] || { echo "Build the project first (make build): $program is missing" >&2; exit 1; }
done
mkdir -p "$out"

display=:$((90 + RANDOM % 500))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp &
xvfb=$!
registry=$(mktemp -d)
media=$(mktemp -d)
cleanup() {
    [ -n "${tkv:-}" ] && kill "$tkv" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$registry" "$media"
}
trap cleanup EXIT
export DISPLAY=$display TKV_REGISTRY_DIR=$registry SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$app" &
tkv=$!
window=$(timeout 30 xdotool search --sync --name "^${title}\$" | head -1)
sleep 1  # the catalogue's loading dialog closes, the window paints
shot() { import -window root "$out/$1.png"; echo "saved $out/$1.png"; }
eval "$(xdotool getwindowgeometry --shell "$window")"
# Clicks at a point of the window given in the dialog's units (it is 443 x 343 of them):
# at X Y [BUTTON]
at() { xdotool mousemove --window "$window" $((WIDTH * $1 / 443)) $((HEIGHT * $2 / 343)) click "${3:-1}"; }
# Opens a file through the "..." button at X Y: types the full path into the file chooser.
choose_file() {
    at "$1" "$2"
    sleep 1.5
    xdotool type --delay 5 "$3"
    xdotool key Return
    sleep 2
}
xdotool windowfocus --sync "$window"
shot main-window

# The window menu (a right click on the window's background); its last entry opens the About
# box.
at 200 30 3
sleep 0.5
xdotool key Up
sleep 0.2
xdotool key Return
sleep 1
shot about-box
xdotool key Return
sleep 0.5

# The filter list's context menu: a right click inside the "DirectShow Graph :" list.
at 330 110 3
sleep 1
shot context-menu
xdotool key Escape
sleep 0.3

# Playing: the sample movie and WAV chosen through the "..." buttons of "Video :" and
# "Audio :", then Play; the picture shows in the video area, the graph's filters are listed
# and the position runs. The movie stays loaded for any step after this one.
"$media_maker" "$media"
choose_file 428 13 "$media/sample.mpg"
choose_file 428 31 "$media/sample.wav"
at 29 237
sleep 2.5
shot playing

# A project loaded through "Load ...": the same movie and WAV, an offset and three events of
# each sign, listed with their sign images; a click on the second row shows it in the
# "Current Stretching Event" group. The project replaces what was loaded.
printf '%s\r\n' "$media/sample.mpg" "$media/sample.wav" "$media/out.wav" 0.500000 \
    0.000000 1.000000 2.500000 4.000000 -3.250000 7.000000 >"$media/sample.tkv"
choose_file 354 260 "$media/sample.tkv"
sleep 1
at 260 183
sleep 0.5
shot project-loaded

# Escape ends the window.
xdotool key Escape
wait "$tkv" || true
tkv=
