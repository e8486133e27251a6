#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libicu-dev
    clang clang-format libclang-rt-14-dev
    qt6-base-dev
    python3
    # The skin's fonts on Linux: Liberation Sans for MS Sans Serif (Arial's widths), DejaVu Sans
    # Condensed for Tahoma. The widget tests measure captions in them.
    fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra
)
if [ "${1:-}" = "--gui" ]; then
    # A font for the titles in Chinese and Japanese of the demo player.
    packages+=(xvfb xauth fonts-droid-fallback)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
