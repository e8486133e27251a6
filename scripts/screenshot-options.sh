#!/usr/bin/env bash
# Takes screenshots of the options window over the main window on a freshly generated demo
# player, under Xvfb, at scale 1 and at scale 2 (QT_SCALE_FACTOR=2).
# usage: scripts/screenshot-options.sh [OUTDIR]     (default build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
bash scripts/install-deps.sh --gui
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target options_window_shot kestrune-demo-player
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/tools/demo-player/kestrune-demo-player "$work/player" --tracks 40 --seed 1 >/dev/null
mkdir -p "$out"
shoot() { # scale screen-width screen-height
    local scale=$1 width=$2 height=$3 display=$((150 + RANDOM % 100)) app xvfb
    Xvfb ":$display" -screen 0 "${width}x${height}x24" -nolisten tcp &
    xvfb=$!
    sleep 1
    DISPLAY=":$display" QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME="$work/config$scale" \
        XDG_DATA_HOME="$work/data$scale" build/tests/settings/options_window_shot "$work/player" &
    app=$!
    sleep 3
    # The main window is centred on the screen; the options window over it.
    local w=$((706 * scale)) h=$((476 * scale))
    DISPLAY=":$display" import -window root -crop "${w}x${h}+$(((width - w) / 2))+$(((height - h) / 2))" \
        +repage "$out/options-window-x$scale.png"
    kill "$app" "$xvfb"
    wait "$app" "$xvfb" 2>/dev/null || true
    echo "$out/options-window-x$scale.png"
}
shoot 1 1024 768
shoot 2 1600 1200
