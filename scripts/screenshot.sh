#!/usr/bin/env bash
# Takes screenshots under Xvfb on a freshly generated demo player.
# usage: scripts/screenshot.sh [OUTPUT.png]   the main window (docs/main-window.png)
#        scripts/screenshot.sh --copy         the copy in the window: docs/copy-progress.png
#                                             (a job held part-way) and docs/copy-report.png
#                                             (a report with failures); the report of a stopped
#                                             job and of the same job with overwriting on go to
#                                             build/screenshots/
set -euo pipefail
cd "$(dirname "$0")/.."
mode=main
if [ "${1:-}" = "--copy" ]; then
    mode=copy
    shift
fi
output=${1:-docs/main-window.png}
bash scripts/install-deps.sh --gui
dpkg-query -W -f='${Status}' imagemagick 2>/dev/null | grep -q "install ok installed" || {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick >/dev/null
}
# Whatever type build/ already has (scripts/test.sh makes it Release); RelWithDebInfo when new.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target kestrune kestrune-demo-player copy_screenshots
work=$(mktemp -d /tmp/kestrune.XXXX)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
sleep 1

if [ "$mode" = copy ]; then
    # The player of the README's examples: one of its tracks has no file.
    build/tools/demo-player/kestrune-demo-player "$work/player" --tracks 60 --seed 5 >/dev/null
    mkdir -p "$work/Music" "$work/home/Music" build/screenshots
    HOME="$work/home" DISPLAY=$display XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        build/tests/copy/copy_screenshots "$work/player" "$work/Music" build/screenshots
    mkdir -p docs
    cp build/screenshots/copy-progress.png build/screenshots/copy-report.png docs/
    echo "Copied to docs/: copy-progress.png copy-report.png"
    exit 0
fi

build/tools/demo-player/kestrune-demo-player "$work/player" --tracks 40 --seed 1 >/dev/null
DISPLAY=$display XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    build/src/kestrune --player "$work/player" &
app=$!
sleep 3
mkdir -p "$(dirname "$output")"
DISPLAY=$display import -window root -crop 706x476+159+146 +repage "$output"
echo "Screenshot: $output"
