#!/usr/bin/env bash
# Installs a Debian package of Kestrune with apt-get, as a user would, checks what it put on the
# system, runs the installed programs on a generated player (the command line, and the window
# under Xvfb) and removes the package again.
# usage: scripts/test-package.sh PACKAGE.deb DEMO_PLAYER_PROGRAM
set -euo pipefail
cd "$(dirname "$0")/.."
package=$(realpath "$1")
demo_player=$(realpath "$2")
bash scripts/install-deps.sh --check-package

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    if dpkg-query -W -f='${Status}' kestrune 2>/dev/null | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq kestrune >/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "test-package: $*" >&2
    exit 1
}

echo "== apt-get install ./$(basename "$package")"
# From a folder apt's own user may read, so the install reads the package as any user's would.
cp "$package" "$work/"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$work/$(basename "$package")" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install failed"; }
for file in /usr/bin/kestrune /usr/bin/kestrune-cli /usr/share/kestrune/about.html \
    /usr/share/doc/kestrune/LICENSE /usr/share/applications/net.kestrune.Kestrune.desktop \
    /usr/share/metainfo/net.kestrune.Kestrune.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/kestrune.svg /usr/share/man/man1/kestrune-cli.1; do
    [ -f "$file" ] || fail "the package did not install $file"
done
for size in 16 22 24 32 48 64 128 256; do
    [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/kestrune.png" ] ||
        fail "no icon of ${size} pixels"
done

echo "== Desktop entry, metainfo and man pages"
desktop-file-validate /usr/share/applications/net.kestrune.Kestrune.desktop
appstreamcli validate --no-net /usr/share/metainfo/net.kestrune.Kestrune.metainfo.xml
for page in kestrune kestrune-cli; do
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 "/usr/share/man/man1/$page.1" \
        2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page.1: $warnings"
done

echo "== The installed kestrune-cli"
cd "$work"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
kestrune-cli --help | grep -q "kestrune-cli list ROOT" || fail "--help says no usage"
version=$(kestrune-cli --version)
echo "$version"
expected_version=$(dpkg-deb --field "$package" Version)
[ "$(head -n 1 <<<"$version")" = "kestrune-cli $expected_version" ] ||
    fail "--version does not name version $expected_version"
[ "$(tail -n 1 <<<"$version")" = "About: file:///usr/share/kestrune/about.html" ] ||
    fail "--version does not name the installed About page"
"$demo_player" player --tracks 30 --seed 3 >/dev/null
kestrune-cli list player >listing.jsonl || fail "list failed with status $?"
mkdir music
kestrune-cli copy player music --dry-run >plan.jsonl
status=0
kestrune-cli copy player music --no-overwrite >report.jsonl 2>copy.log || status=$?
# The listing is the demo player's own; the plan and the report hold every track; each copy
# holds the bytes of its source, and the status says whether every entry was copied.
python3 - "$status" <<'PY' || fail "kestrune-cli gave wrong results"
import filecmp, json, sys
def lines(name):
    with open(name, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]
expected, listing = lines("player/expected.jsonl"), lines("listing.jsonl")
# The listing may carry keys the expected file predates; those it has must agree.
assert len(listing) == len(expected) and all(
    {key: got[key] for key in want} == want for got, want in zip(listing, expected)
), "the listing differs from the player's expected.jsonl"
plan, report = lines("plan.jsonl"), lines("report.jsonl")
assert len(plan) == len(report) == len(expected) == 30, (len(plan), len(report))
copied = [entry for entry in report if not entry["outcome"].startswith(" ")]
for entry in copied:
    assert filecmp.cmp(entry["source"], entry["outcome"], shallow=False), entry
assert int(sys.argv[1]) == (0 if len(copied) == len(report) else 3), sys.argv[1]
print(f"listed {len(listing)} tracks, copied {len(copied)} of {len(report)}")
PY
tail -n 1 copy.log

echo "== The installed kestrune under Xvfb"
# Xvfb picks a free display and writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display.txt >xvfb.log 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s display.txt ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat xvfb.log; fail "Xvfb did not start"; }
    sleep 0.1
done
[ -s display.txt ] || fail "Xvfb named no display in 10 s"
display=:$(cat display.txt)
DISPLAY=$display kestrune --player "$work/player" >kestrune.log 2>&1 &
app=$!
shown=""
for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || { cat kestrune.log; fail "kestrune ended at start"; }
    # The main window is the one of the program's window class ("kestrune", "Kestrune A");
    # it has come up once it is mapped.
    window=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null |
        awk '/\("kestrune" "Kestrune A"\)/ { print $1; exit }')
    if [ -n "$window" ] &&
        DISPLAY=$display xwininfo -id "$window" 2>/dev/null | grep -q "IsViewable"; then
        shown=yes
        break
    fi
    sleep 0.1
done
[ -n "$shown" ] || { cat kestrune.log; fail "no window of kestrune appeared in 10 s"; }
sleep 3
kill -0 "$app" 2>/dev/null || { cat kestrune.log; fail "kestrune ended after showing its window"; }
kill "$app"
wait "$app" 2>/dev/null || true
app=""
echo "The window came up and stayed up for 3 s."
