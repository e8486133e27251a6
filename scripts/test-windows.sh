#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-windows/ and runs every test
# program under Wine, in a Wine prefix of the build's own (build-windows/wineprefix). Before the
# tests run, a copy of the generated-40 player is mapped as drive E:, which Wine reports as
# removable (a floppy), and as drive F:, a fixed disk, so the drive scan and `kestrune-cli list
# E:` meet a player where Windows users have one.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
started=$SECONDS

packages=(cmake ninja-build libgtest-dev libgmock-dev g++-mingw-w64-x86-64-posix wine64)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

jobs=$(nproc)
build=$repo/build-windows
fixtures=$(realpath "${KESTRUNE_FIXTURES_DIR:-tests/fixtures}")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

echo "== Cross build with MinGW-w64 (Release)"
# Release, as the Windows build instructions have it: the optimiser's warnings (-O3) show up
# here, and with KESTRUNE_WERROR they fail the build.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_WERROR=ON -DKESTRUNE_FIXTURES_DIR="$fixtures" >/dev/null
cmake --build "$build" -j "$jobs"

echo "== Install folder"
# What a user zips: the programs with the About page and the license beside them (the window
# program, and Qt's libraries beside it, only where there is a Qt for Windows).
install=$build/install
rm -rf "$install"
cmake --install "$build" --prefix "$install" >/dev/null
installed=$(cd "$install" && find . -type f | sort | tr '\n' ' ')
[ "$installed" = "./LICENSE.txt ./about.html ./kestrune-cli.exe " ] || {
    echo "The install folder holds: $installed" >&2
    exit 1
}

echo "== Wine prefix in build-windows/wineprefix"
# Everything Wine keeps stays in the build folder: its prefix, and the home folder it would
# otherwise fill with menu entries. No display: nothing may open a window, and the Mono and
# Gecko installers, which would, are switched off.
export WINEPREFIX=$build/wineprefix
export HOME=$build/wine-home
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"
stop_wine() { "$wineserver" -k 2>/dev/null || true; }
trap stop_wine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wineserver" -w
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "Wine could not create its prefix" >&2; exit 1; }

echo "== A player on removable drive E: and on fixed drive F:"
drives=$build/wine-drives
player=$drives/player
rm -rf "$drives"
mkdir -p "$drives"
cp -R "$fixtures/players/generated-40" "$player"
chmod -R u+w "$player"
# Two folder links on the player, which Wine shows as reparse points: one to a folder of the
# player's own, one out of it. Only the first may lead to track files.
mkdir -p "$drives/outside"
printf 'secret' >"$drives/outside/secret.mp3"
ln -s F00 "$player/iPod_Control/Music/F98"
ln -s "$drives/outside" "$player/iPod_Control/Music/F99"
# Wine takes the label of a drive that is a plain folder from this file.
label=IPOD
printf '%s' "$label" >"$player/.windows-label"
ln -sfn "$player" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$player" "$WINEPREFIX/dosdevices/f:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v e: /t REG_SZ /d floppy /f >/dev/null
"$wine" reg add 'HKLM\Software\Wine\Drives' /v f: /t REG_SZ /d hd /f >/dev/null
# Drive types are read when the server starts: restart it.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
# One server for the whole run, so each test program starts quickly. Its service processes
# start with the first program: start them here, away from ctest, which would otherwise wait
# for them to close the output pipe they inherited.
"$wineserver" -p
"$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1

echo "== Tests under Wine"
export KESTRUNE_TEST_REMOVABLE_DRIVE=e: KESTRUNE_TEST_FIXED_DRIVE=f:
export KESTRUNE_TEST_PLAYER_LABEL=$label
ctest --test-dir "$build" --output-on-failure -j "$jobs"

echo "== The installed kestrune-cli.exe"
version=$("$wine" "$install/kestrune-cli.exe" --version </dev/null | tr -d '\r')
echo "$version"
about=$(tail -n 1 <<<"$version")
[ "$about" = "About: file:///Z:${install}/about.html" ] || {
    echo "kestrune-cli.exe --version names no About page beside it" >&2
    exit 1
}

cat <<EOF
Windows build under Wine: every test program passed in $((SECONDS - started)) s.
Proven under Wine, against the Windows API: the drive scan (removable E: listed, fixed F: not)
and the volume label; kestrune-cli.exe list E: equal to expected.jsonl, and a root named beyond
ASCII; the registry under HKEY_CURRENT_USER\\Software\\Kestrune (defaults, integer and string
values, ExeFile, writes, a missing key); private-profile files read and written by Windows
giving the portable INI code's answers; the error log; locale comparison and sort keys; file
search with 64-bit sizes, sharing denied, paths beyond 260 characters; free space; file-name
case as the ordinal comparison folds it; device names and links off the player refused; the
thread's error mode through a drive probe; a failed write of the listing; the install folder
(kestrune-cli.exe, about.html, LICENSE.txt), whose program names the About page beside it.
Not proven here: the Qt program (Debian has no Qt for Windows), device-arrival notices, the
shell opening a real file, real removable hardware, Windows' own locales, and the classic
260-character limit (Wine does not enforce it; the \\\\?\\ prefix is checked as text).
EOF
