#!/usr/bin/env bash
# Builds the benchmarks, generates a 40,000-track demo player with its files (sparse, of
# realistic sizes) and times its load; then times the error log, the copy worker against
# cp + sync on generated jobs (cold and warm sources, a throttled one), a killed copy resumed
# with the skip; last kestrune-cli list against libgpod at 40,000 and 150,000 tracks, and the
# window's start.
set -euo pipefail
cd "$(dirname "$0")/.."
tracks=${1:-40000}
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target load_bench gui_bench log_bench copy_bench sources_bench \
    resume_bench kestrune-demo-player kestrune-cli list_bench start_bench
player=$(mktemp -d)
trap 'rm -rf "$player"' EXIT
build/tools/demo-player/kestrune-demo-player "$player" --tracks "$tracks" --seed 1 \
    --sparse --file-bytes 2000000:12000000 >/dev/null
build/bench/load_bench "$player"
echo
XDG_CONFIG_HOME="$player/.config" XDG_DATA_HOME="$player/.data" build/bench/gui_bench "$player"
echo
build/bench/log_bench
echo
build/bench/copy_bench
echo
build/bench/sources_bench
echo
build/bench/resume_bench
echo
build/bench/list_bench
echo
build/bench/start_bench
