#!/usr/bin/env bash
# Shows the black window under Wine on a fresh Xvfb screen, takes the screen to a PNG and checks
# that exactly the window's 296x423 pixels are black and that they are centred.
#
#   check-window-on-screen.sh black_window.exe SCREENSHOT.png WINE-RUNNER [ARGUMENTS...]
set -euo pipefail

if [ "${1-}" != --on-display ]; then
    # A white root window, so that the black window stands out from the screen around it.
    exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -wr" "$0" --on-display "$@"
fi
shift
program=$1 screenshot=$2
shift 2

output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$@" "$program" 20 >"$output" &
runner=$!
# The window prints its position once it has been painted.
until grep -q '^shown' "$output"; do
    kill -0 "$runner" 2>/dev/null || { echo "The window program ended before it was shown" >&2; exit 1; }
    sleep 0.2
done
import -window root "$screenshot"
kill "$runner"
wait "$runner" || true

# The C runtime writes text as Windows text, lines ending in CR LF.
read -r _ left top width height < <(tr -d '\r' <"$output")
echo "Win32 says: at $left,$top, $width x $height"
black=$(convert "$screenshot" -fx 'r+g+b==0' -format '%[fx:round(mean*w*h)]' info:)
inside=$(convert "$screenshot" -crop "${width}x${height}+${left}+${top}" -format '%[fx:maxima]' info:)
echo "Screenshot: $black black pixels, brightest inside the window $inside"
[ "$width" -eq 296 ] && [ "$height" -eq 423 ] && [ "$left" -eq $(((1024 - 296) / 2)) ] &&
    [ "$top" -eq $(((768 - 423) / 2)) ] && [ "$black" -eq $((296 * 423)) ] && [ "$inside" = 0 ]
