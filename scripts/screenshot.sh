#!/usr/bin/env bash
# Takes a screenshot of the main window on a freshly generated demo player, under Xvfb.
# usage: scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/main-window.png}
bash scripts/install-deps.sh --gui
dpkg-query -W -f='${Status}' imagemagick 2>/dev/null | grep -q "install ok installed" || {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick >/dev/null
}
# Whatever type build/ already has (scripts/test.sh makes it Release); RelWithDebInfo when new.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target kestrune kestrune-demo-player
work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
build/tools/demo-player/kestrune-demo-player "$work/player" --tracks 40 --seed 1 >/dev/null
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY=$display XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    build/src/kestrune --player "$work/player" &
app=$!
sleep 3
mkdir -p "$(dirname "$output")"
DISPLAY=$display import -window root -crop 706x476+159+146 +repage "$output"
echo "Screenshot: $output"
