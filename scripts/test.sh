#!/usr/bin/env bash
# Runs every test: the unit and widget tests, the Debian package installed and run, the same
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer, the database reader's fuzzer
# for a minute, and the Windows build with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)
fuzz_seconds=${KESTRUNE_FUZZ_SECONDS:-60}

echo "== Format"
git ls-files -co --exclude-standard -- '*.h' '*.cpp' | xargs clang-format --dry-run -Werror

echo "== Build and unit tests"
# A Release build installing under /usr: the build the tests pass is the one that is packaged.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKESTRUNE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Debian package, installed with apt-get and run"
bash scripts/package.sh build
bash scripts/test-package.sh build/kestrune_*.deb build/tools/demo-player/kestrune-demo-player

echo "== Unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRUNE_WERROR=ON \
    -DKESTRUNE_SANITIZE=ON -DKESTRUNE_BUILD_GUI=OFF -DKESTRUNE_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== Fuzzing the database reader for ${fuzz_seconds} s"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_WERROR=ON -DKESTRUNE_FUZZ=ON -DKESTRUNE_BUILD_GUI=OFF -DKESTRUNE_BUILD_BENCH=OFF \
    >/dev/null
cmake --build build-fuzz -j "$jobs" --target reader_fuzzer make_fuzz_seeds
rm -rf build-fuzz/seeds build-fuzz/corpus build-fuzz/findings
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/fuzz/make_fuzz_seeds build-fuzz/seeds "${KESTRUNE_FIXTURES_DIR:-tests/fixtures}"
build-fuzz/fuzz/reader_fuzzer -max_total_time="$fuzz_seconds" -max_len=131072 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ \
    build-fuzz/corpus build-fuzz/seeds
echo "Fuzzing found nothing in ${fuzz_seconds} s."

echo "== Windows build under Wine"
bash scripts/test-windows.sh
