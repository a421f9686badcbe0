#!/usr/bin/env bash
# Measures the Windows program's start-up under Wine on Xvfb, from the start of its process to
# its main window on the screen, against a bare borderless window of the same size; RUNS of each
# in one Wine prefix, alternating, with the median of each.
#
#   scripts/measure-windows-startup.sh [BUILD-FOLDER] [RUNS] [PROGRAM]
#
# BUILD-FOLDER is an x86-64 Windows build folder, build-windows-x86_64 by default, which holds the
# bare window and the timer. PROGRAM is the program as it ships, dist/bexomv2-x64.exe by default:
# the build folder's own copy carries its symbols, which Wine maps in at every start.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1-}" != --on-display ]; then
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -wr" "$0" --on-display "$@"
fi
shift
build=$(realpath "${1:-build-windows-x86_64}")
runs=${2:-9}
program=$(realpath "${3:-dist/bexomv2-x64.exe}")
timer=$build/bench/windows/startup_timer.exe
# The timer and the bare window are built on request.
cmake -B "$build" -DBEXOM_TOOLS=ON >/dev/null
cmake --build "$build" --target startup_timer black_window

# The program's package folder: an empty scratch folder, as nothing is installed or removed.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
"$OLDPWD/scripts/wine-run.sh" --template "$build/wine-prefix-template" "$timer" "$runs" \
    "Z:${build//\//\\}\\bench\\windows\\black_window.exe" "Z:${program//\//\\}" |
    tr -d '\r' | grep -v '^shown'
