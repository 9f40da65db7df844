#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any more named as arguments
# (setup-fuzz-deps.sh names clang's). Idempotent: refreshes the package lists and installs only
# when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format
    libsoundtouch-dev librubberband-dev
    qt6-base-dev
    libsdl2-dev
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    desktop-file-utils
    # the tools that replay tkv-render's time map in its test (tests/tools/TimeMapToolsTest)
    rubberband-cli ffmpeg
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run as root (or install them with apt-get) and try again." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
