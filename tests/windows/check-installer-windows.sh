#!/usr/bin/env bash
# Runs the test that drives the installer's windows, under Wine on a fresh Xvfb screen with a
# white root window, and takes the screenshots it asks for: a line "screenshot NAME" makes
# SCREENSHOT-FOLDER/NAME.png, which the test waits for.
#
#   check-installer-windows.sh TEST.exe bexomv2.exe SCREENSHOT-FOLDER WINE-RUNNER [ARGUMENTS...]
set -euo pipefail

if [ "${1-}" != --on-display ]; then
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -wr" "$0" --on-display "$@"
fi
shift
test_program=$1 program=$2 screenshots=$3
shift 3
mkdir -p "$screenshots"
rm -f "$screenshots"/*.png

export BEXOM_PROGRAM=$program BEXOM_SCREENSHOTS=$screenshots
"$@" "$test_program" | while IFS= read -r line; do
    # The C runtime writes text as Windows text, lines ending in CR LF.
    line=${line%$'\r'}
    printf '%s\n' "$line"
    case $line in
    "screenshot "*)
        name=${line#screenshot }
        # Renamed into place whole, as the test goes on once the name is there.
        import -window root "$screenshots/$name.tmp.png"
        mv "$screenshots/$name.tmp.png" "$screenshots/$name.png"
        ;;
    esac
done
exit "${PIPESTATUS[0]}"
