#!/usr/bin/env bash
# Builds the Debian package (CPack, from a Release build): BUILD_DIR/kestrune_VERSION_ARCH.deb.
# usage: scripts/package.sh [BUILD_DIR]
# Without BUILD_DIR the build lives in build-release/, with only what the package holds. With it
# (scripts/test.sh passes its own build/), that build is made a Release build installing under
# /usr and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
bash scripts/install-deps.sh --package

options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr)
[ $# -eq 0 ] && options+=(-DKESTRUNE_BUILD_TESTS=OFF -DKESTRUNE_BUILD_BENCH=OFF)
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/kestrune_*.deb
# dpkg-shlibdeps finds the libraries' packages; CPack strips the programs.
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/kestrune_*.deb)
echo "Package: $package"
dpkg-deb --field "$package" Package Version Architecture Depends Recommends
