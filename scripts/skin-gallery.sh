#!/usr/bin/env bash
# Screenshots of the skin gallery (every control in every state, and the main window's chrome
# from its pictures) under Xvfb, at scale 1 and at scale 2.
# usage: scripts/skin-gallery.sh [OUTDIR]     (default build/skin-gallery)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/skin-gallery}
bash scripts/install-deps.sh --gui
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target skin_gallery
mkdir -p "$out"
shoot() { # page scale
    local page=$1 scale=$2 display=$((150 + RANDOM % 100)) app xvfb
    Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp &
    xvfb=$!
    sleep 1
    DISPLAY=":$display" QT_SCALE_FACTOR=$scale build/tests/app/skin/skin_gallery "$page" &
    app=$!
    sleep 2
    DISPLAY=":$display" import -window root -crop "$((900 * scale))x$((520 * scale))+0+0" +repage \
        "$out/$page-x$scale.png"
    kill "$app" "$xvfb"
    wait "$app" "$xvfb" 2>/dev/null || true
    echo "$out/$page-x$scale.png"
}
for page in controls chrome; do
    for scale in 1 2; do
        shoot "$page" "$scale"
    done
done
