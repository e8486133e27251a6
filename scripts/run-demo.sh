#!/usr/bin/env bash
# Builds everything, generates a demo player and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Whatever type build/ already has (scripts/test.sh makes it Release); RelWithDebInfo when new.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
player=build/demo-player
rm -rf "$player"
build/tools/demo-player/kestrune-demo-player "$player" --tracks 40 --seed 1 >/dev/null
echo "Demo player: $player"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display here, so the window cannot open. The command-line front end"
    echo "lists the same player:"
    echo "    build/src/kestrune-cli list $player"
    exit 0
fi
exec build/src/kestrune --player "$player"
