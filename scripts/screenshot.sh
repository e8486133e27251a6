#!/usr/bin/env bash
# Takes screenshots of the windows under Xvfb on a freshly generated demo player, at scale 1 and
# at scale 2 (QT_SCALE_FACTOR=2): the main window, the options window over it, a copy in progress,
# the copy's folder dialog, a stopped copy and the report after a copy with failures (overwriting
# off and on). Then, at scale 2 on a 1280 x 800 screen, where the main window is larger than the
# screen, the whole screen as the program opens.
#
# usage: scripts/screenshot.sh [OUTDIR]     (default build/screenshots: x1/, x2/, small-screen-x2.png)
#        scripts/screenshot.sh --windows [OUTDIR]   (default build-windows/screenshots: x1/, x2/)
#        SCREENSHOT_DISPLAY=:N picks the X display number (default: one at random from :90)
#
# The shots at scale 1 of the main window, its playlists list, the options window, the copy in
# progress and the report go to docs/ as well. With --windows the same windows are taken from the
# cross build under Wine, on Qt's windows platform, at scale 1 and 2; the main window, the options
# window, the copy in progress and the report of both scales go to docs/ as windows-*-x1.png and
# windows-*-x2.png.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--windows" ]; then
    out=${2:-build-windows/screenshots}
    build=$PWD/build-windows
    [ -f "$build/CMakeCache.txt" ] || {
        echo "No cross build in build-windows/: run scripts/test-windows.sh first" >&2
        exit 1
    }
    [ -f "$build/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" ] || {
        echo "The cross build in build-windows/ has no Qt for Windows" >&2
        exit 1
    }
    cmake --build "$build" -j "$(nproc)" --target kestrune kestrune-demo-player window_screenshots
    wine=/usr/lib/wine/wine64
    wineserver=/usr/lib/wine/wineserver
    # The prefix of scripts/test-windows.sh: its settings key is removed before each scale.
    export WINEPREFIX=$build/wineprefix HOME=$build/wine-home WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEPATH="Z:${build//\//\\}\\qt6-mingw\\bin"
    mkdir -p "$HOME"
    work=$(mktemp -d /tmp/kestrune.XXXX)
    display=${SCREENSHOT_DISPLAY:-:$((90 + RANDOM % 100))}
    Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp &
    xvfb=$!
    trap '"$wineserver" -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
    sleep 1
    # Wine's desktop keeps the display it started with: a server of its own, on this one.
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w
    export DISPLAY=$display
    [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1 || true
    winpath() { echo "Z:${1//\//\\}"; }
    "$wine" "$build/tools/demo-player/kestrune-demo-player.exe" "$(winpath "$work/player")" \
        --tracks 60 --seed 5 >/dev/null </dev/null
    for scale in 1 2; do
        rm -rf "$work/Music"
        mkdir -p "$work/Music" "$out/x$scale"
        "$wine" reg delete 'HKCU\Software\Kestrune' /f >/dev/null 2>&1 || true
        WINEQT_QPA_PLATFORM=windows WINEQT_SCALE_FACTOR=$scale \
            "$wine" "$build/tests/app/window_screenshots.exe" "$(winpath "$work/player")" \
            "$(winpath "$work/Music")" "$(winpath "$(realpath "$out/x$scale")")" </dev/null | tr -d '\r'
    done
    for scale in 1 2; do
        for shot in main-window options-window copy-progress copy-report; do
            cp "$out/x$scale/$shot.png" "docs/windows-$shot-x$scale.png"
        done
    done
    echo "Copied to docs/: windows-main-window, windows-options-window, windows-copy-progress" \
        "and windows-copy-report, each -x1.png and -x2.png"
    exit 0
fi

out=${1:-build/screenshots}
bash scripts/install-deps.sh --gui
dpkg-query -W -f='${Status}' imagemagick 2>/dev/null | grep -q "install ok installed" || {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick >/dev/null
}
# Whatever type build/ already has (scripts/test.sh makes it Release); RelWithDebInfo when new.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target kestrune kestrune-demo-player window_screenshots
work=$(mktemp -d /tmp/kestrune.XXXX)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# The player of the README's examples: one of its tracks has no file.
build/tools/demo-player/kestrune-demo-player "$work/player" --tracks 60 --seed 5 >/dev/null

start_xvfb() { # WIDTHxHEIGHT
    display=${SCREENSHOT_DISPLAY:-:$((90 + RANDOM % 100))}
    Xvfb "$display" -screen 0 "$1x24" -nolisten tcp &
    xvfb=$!
    sleep 1
}
stop_xvfb() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}

for scale in 1 2; do
    start_xvfb 1600x1200
    rm -rf "$work/Music" "$work/home" "$work/config" "$work/data"
    mkdir -p "$work/Music" "$work/home/Music" "$out/x$scale"
    HOME="$work/home" DISPLAY=$display QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME="$work/config" \
        XDG_DATA_HOME="$work/data" \
        build/tests/app/window_screenshots "$work/player" "$work/Music" "$out/x$scale"
    stop_xvfb
done

# Larger than the screen: it opens at the screen's top left corner, title strip and all.
start_xvfb 1280x800
DISPLAY=$display QT_SCALE_FACTOR=2 XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    build/src/kestrune --player "$work/player" &
app=$!
sleep 3
DISPLAY=$display import -window root "$out/small-screen-x2.png"
echo "Screenshot: $out/small-screen-x2.png"
kill "$app"
wait "$app" 2>/dev/null || true
stop_xvfb

mkdir -p docs
for shot in main-window playlists-list options-window copy-progress copy-report; do
    cp "$out/x1/$shot.png" docs/
done
echo "Copied to docs/: main-window.png playlists-list.png options-window.png copy-progress.png" \
    "copy-report.png"
