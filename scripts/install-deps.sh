#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# usage: scripts/install-deps.sh [--gui] [--package] [--check-package]
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libicu-dev zlib1g-dev libtag1-dev libgpod-dev libtotem-plparser-dev
    clang clang-format libclang-rt-14-dev
    qt6-base-dev
    python3
    # The skin's fonts on Linux: Liberation Sans for MS Sans Serif (Arial's widths), DejaVu Sans
    # Condensed for Tahoma. The widget tests measure captions in them.
    fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra
)
for option in "$@"; do
    case $option in
    # A font for the titles in Chinese and Japanese of the demo player.
    --gui) packages+=(xvfb xauth fonts-droid-fallback) ;;
    # Building the Debian package: CPack's DEB generator calls dpkg-shlibdeps and file.
    --package) packages+=(dpkg-dev file) ;;
    # Checking what the package installs, and running the installed window program under Xvfb.
    --check-package) packages+=(desktop-file-utils appstream man-db xvfb xauth x11-utils) ;;
    *) echo "install-deps.sh: unknown option $option" >&2 && exit 1 ;;
    esac
done

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
