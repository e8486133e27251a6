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

packages=(cmake ninja-build libgtest-dev libgmock-dev g++-mingw-w64-x86-64-posix wine64
    libz-mingw-w64-dev)
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

# Qt built for MinGW-w64 (see its README), kept beside the repository as CI clones it. With it
# the window program and its widget tests are built and run too; without it, the rest.
qt_archive=$repo/../shared/windows-qt/qt6.4.2-mingw-w64-x86_64.tar.xz
qt=$build/qt6-mingw
qt_options=(-DKESTRUNE_BUILD_GUI=OFF)
if [ -f "$qt_archive" ]; then
    if [ ! -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        echo "== Unpacking Qt for Windows into $qt"
        mkdir -p "$build"
        rm -rf "$qt"
        tar xf "$qt_archive" -C "$build"
    fi
    qt_options=(-DKESTRUNE_BUILD_GUI=ON -DKESTRUNE_QT_PREFIX="$qt" -DQT_HOST_PATH=/usr
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    with_qt=1
else
    echo "No Qt for Windows at $qt_archive: the window program and its tests are not built."
    with_qt=0
fi

# TagLib built for MinGW-w64 (see the same README), for the music files' own tags; without it
# the Windows programs name such tracks by their file names.
taglib_archive=$repo/../shared/windows-qt/taglib-1.13-mingw-w64-x86_64.tar.xz
taglib=$build/taglib-mingw
taglib_options=()
if [ -f "$taglib_archive" ]; then
    if [ ! -f "$taglib/lib/libtag.a" ]; then
        mkdir -p "$build"
        rm -rf "$taglib"
        tar xf "$taglib_archive" -C "$build"
    fi
    taglib_options=(-DKESTRUNE_TAGLIB_PREFIX="$taglib")
else
    echo "No TagLib for Windows at $taglib_archive: music files are named by their file names."
fi

echo "== Cross build with MinGW-w64 (Release)"
# Release, as the Windows build instructions have it: the optimiser's warnings (-O3) show up
# here, and with KESTRUNE_WERROR they fail the build.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_WERROR=ON -DKESTRUNE_FIXTURES_DIR="$fixtures" \
    "${qt_options[@]}" "${taglib_options[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

echo "== Install folder"
# What a user zips: the programs with the About page and the license beside them (the window
# program, and Qt's libraries beside it, only where there is a Qt for Windows).
install=$build/install
rm -rf "$install"
cmake --install "$build" --prefix "$install" >/dev/null
installed=$(cd "$install" && find . -type f | sort | tr '\n' ' ')
expected="./LICENSE.txt ./about.html ./kestrune-cli.exe "
if [ "$with_qt" = 1 ]; then
    expected="./LICENSE.txt ./Qt6Core.dll ./Qt6Gui.dll ./Qt6Widgets.dll ./about.html"
    expected+=" ./kestrune-cli.exe ./kestrune.exe ./libgcc_s_seh-1.dll ./libstdc++-6.dll"
    expected+=" ./libwinpthread-1.dll ./platforms/qwindows.dll ./styles/qwindowsvistastyle.dll "
fi
[ "$installed" = "$expected" ] || {
    echo "The install folder holds: $installed" >&2
    exit 1
}

echo "== Wine prefix in build-windows/wineprefix"
# Everything Wine keeps stays in the build folder: its prefix, and the home folder it would
# otherwise fill with menu entries. No display but for the widget tests on the windows
# platform, which get an Xvfb of their own; the Mono and Gecko installers, which would open
# windows, are switched off.
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
# Removable drive G: leads to a folder that is not there: a test moves a player into it and out
# again, announcing each with the device notice Windows sends.
mkdir -p "$drives/waiting"
cp -R "$fixtures/players/generated-40" "$drives/waiting/player"
chmod -R u+w "$drives/waiting/player"
ln -sfn "$drives/arriving" "$WINEPREFIX/dosdevices/g:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v g: /t REG_SZ /d floppy /f >/dev/null
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
export KESTRUNE_TEST_ARRIVING_DRIVE=g: KESTRUNE_TEST_WAITING_PLAYER="Z:${drives//\//\\}\\waiting\\player"
export KESTRUNE_TEST_ARRIVING_FOLDER="Z:${drives//\//\\}\\arriving"
# The test programs find Qt's DLLs (and Qt its plugins, relative to Qt6Core.dll) in Qt's bin.
if [ "$with_qt" = 1 ]; then
    export WINEPATH="Z:${qt//\//\\}\\bin"
fi
ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE display

if [ "$with_qt" = 1 ]; then
    echo "== Widget tests again on the windows platform, on an X display (Xvfb)"
    # Real native windows: Windows' styles, fonts, popups, modal loops and window messages.
    # Wine's desktop process keeps the display it started with: the server starts afresh here.
    command -v Xvfb >/dev/null || {
        echo "Xvfb is missing: the widget tests cannot run on the windows platform" >&2
        exit 1
    }
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'stop_wine; kill "$xvfb" 2>/dev/null || true' EXIT
    sleep 1
    stop_wine
    "$wineserver" -w
    export DISPLAY=$display
    "$wineserver" -p
    "$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1
    ctest --test-dir "$build" --output-on-failure -j "$jobs" -L display
    on_windows=$(ctest --test-dir "$build" -N -L display | grep -c 'Test *#')
    stop_wine
    "$wineserver" -w
    unset DISPLAY
    "$wineserver" -p
    "$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1
fi

echo "== The installed kestrune-cli.exe"
version=$("$wine" "$install/kestrune-cli.exe" --version </dev/null | tr -d '\r')
echo "$version"
about=$(tail -n 1 <<<"$version")
[ "$about" = "About: file:///Z:${install}/about.html" ] || {
    echo "kestrune-cli.exe --version names no About page beside it" >&2
    exit 1
}

if [ "$with_qt" = 1 ]; then
    echo "== The zip, unpacked into a fresh folder and started in a fresh Wine prefix"
    # What a user downloads: the install folder with Qt beside the window program. Unpacked
    # alone, away from the build and Qt's own folder, the window program must start.
    rm -f "$build"/kestrune-*-win64.zip "$build"/kestrune-*-win64.zip.sha256
    (cd "$build" && cpack -G ZIP >/dev/null)
    zips=("$build"/kestrune-*-win64.zip)
    zip=${zips[0]}
    [ -f "$zip" ] || { echo "cpack made no zip in $build" >&2; exit 1; }
    unpacked=$build/zip-check
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    (cd "$unpacked" && cmake -E tar xf "$zip")
    top=$unpacked/$(basename "$zip" .zip)
    [ -f "$top/kestrune.exe" ] || { echo "The zip holds no kestrune.exe at its top" >&2; exit 1; }
    # A user's machine: a prefix that has seen neither the build nor Qt, and no WINEPATH, so
    # the Qt DLLs and plugins must come from the zip. Its desktop process keeps the display it
    # boots with, so it boots on the X display the window will be shown on.
    fresh=$build/zip-prefix
    rm -rf "$fresh"
    DISPLAY=$display WINEPREFIX=$fresh "$wine" wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX=$fresh "$wineserver" -w
    gui_version=$(env -u WINEPATH WINEPREFIX="$fresh" DISPLAY="$display" "$wine" \
        "$top/kestrune.exe" --version </dev/null | tr -d '\r')
    [ "$(head -n 1 <<<"$gui_version")" = "kestrune $(head -n 1 <<<"$version" | cut -d' ' -f2)" ] &&
        [ "$(tail -n 1 <<<"$gui_version")" = "About: file:///Z:${top}/about.html" ] || {
        echo "kestrune.exe from the zip answered: $gui_version" >&2
        exit 1
    }
    echo "$(basename "$zip"): kestrune.exe --version: $(head -n 1 <<<"$gui_version")"
    # And the window on the fixture player, on the windows platform, until its table has
    # painted its tracks (the program says so and quits).
    painted=$(env -u WINEPATH WINEPREFIX="$fresh" DISPLAY="$display" \
        KESTRUNE_QUIT_AFTER_FIRST_PAINT=1 timeout 180 "$wine" "$top/kestrune.exe" \
        --player "Z:${player//\//\\}" </dev/null | tr -d '\r') || true
    WINEPREFIX=$fresh "$wineserver" -k 2>/dev/null || true
    [ "$painted" = painted ] || {
        echo "kestrune.exe --player from the zip did not paint its table: '$painted'" >&2
        exit 1
    }
    echo "$(basename "$zip"): kestrune.exe --player painted the fixture player's tracks"
fi

if [ "$with_qt" = 1 ]; then
    qt_proven="the window program and its widget tests on Qt's offscreen platform (the settings
in a registry key of each test's own) and again, $on_windows programs, on the windows platform on
an X display (among them the device notice for drive G: whose player comes and goes, sent to
the main window, and a track no program is set to open); the zip of the install folder with Qt's
DLLs and plugins, whose kestrune.exe, unpacked alone into a fresh Wine prefix, answers --version
and paints the fixture player's tracks."
    qt_unproven="the window program on a real Windows desktop,"
else
    qt_proven="nothing of the Qt program: no Qt for Windows at $qt_archive."
    qt_unproven="the Qt program,"
fi
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
(kestrune-cli.exe, about.html, LICENSE.txt), whose program names the About page beside it;
$qt_proven
Not proven here: $qt_unproven real removable hardware and the notices
Windows itself broadcasts for it (the test sends them), real file associations, Windows' own
fonts and locales, NTFS's own 8.3 names, and the classic 260-character limit (Wine does not
enforce it; the \\\\?\\ prefix is checked as text).
EOF
