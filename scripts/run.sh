#!/usr/bin/env bash
# Installs what is missing, builds, lays out a demo (a mod package and a game inside a scratch
# Wine prefix) and starts the installer in the package folder. Without a display it runs the
# installer on a virtual one, saves a picture of the main window and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

# What building and running the program needs, and the virtual display for a machine without
# one: not the compilers and libraries of the fuzzers and the benchmark.
scripts/install-dependencies.sh cmake ninja-build g++ qt6-base-dev doctest-dev fonts-dejavu-core \
    xvfb xauth imagemagick
cmake --preset native >/dev/null
cmake --build build --target bexomv2

# BEXOM_DEMO_DIR chooses where the demo goes. It is laid out anew at each run, so a folder is
# emptied only when an earlier run made it: anything else there is the user's and stays.
demo=${BEXOM_DEMO_DIR:-${TMPDIR:-/tmp}/bexomv2-demo}
if [ -e "$demo" ]; then
    if [ ! -f "$demo/.bexomv2-demo" ]; then
        echo "$demo exists and was not made by this script; choose another BEXOM_DEMO_DIR." >&2
        exit 1
    fi
    rm -rf "$demo"
fi
package="$demo/package"
drive="$demo/drive_c"
game="$drive/WESTWOOD/REDALERT"
mkdir -p "$package" "$game" "$demo/wineprefix/dosdevices"
touch "$demo/.bexomv2-demo"
ln -s "$drive" "$demo/wineprefix/dosdevices/c:"

for name in Expand2.mix Rules.ini Aftrmath.ini MPlayer.ini Title.pcx SC-Vorda.mix; do
    printf 'BEXOM v2 stand-in for %s\n' "$name" >"$package/$name"
done
printf 'Status=Uninstalled\r\nPath=\r\n' >"$package/Status.ini"
printf "Red Alert's own EXPAND.MIX\n" >"$game/EXPAND.MIX"
printf "Aftermath's own EXPAND2.MIX\n" >"$game/EXPAND2.MIX"
printf 'The game itself\n' >"$game/RA95.EXE"
cp "$repo/build/app/bexomv2" "$package/"

echo "Demo package folder: $package"
echo "Demo game folder:    $game  (C:\\WESTWOOD\\REDALERT\\ in the installer)"
cd "$package"
export WINEPREFIX="$demo/wineprefix"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./bexomv2
fi

screenshot="$demo/main-window.png"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" bash -c '
    ./bexomv2 & pid=$!
    sleep 3
    import -window root -gravity center -crop 296x423+0+0 +repage "$1"
    kill "$pid"
' _ "$screenshot"
echo "No display: the installer ran on a virtual one. Its main window: $screenshot"
