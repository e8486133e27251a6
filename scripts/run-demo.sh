#!/usr/bin/env bash
# Builds everything, generates a demo player and lists its tracks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
player=build/demo-player
rm -rf "$player"
build/tools/demo-player/kestrune-demo-player "$player" --tracks 40 --seed 1 >/dev/null
echo "Demo player: $player"
build/src/kestrune-cli list "$player"
