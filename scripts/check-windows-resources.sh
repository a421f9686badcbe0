#!/usr/bin/env bash
# Checks that a Windows program carries what the player and Explorer see of it: the nine pictures
# of the main window at 100 and 200 percent (as runs of pixels, raw data to Windows), the icon with
# its five images, the version record and the manifest.
#
#   scripts/check-windows-resources.sh PROGRAM.exe...
set -euo pipefail

# How many resources of a type the program has: the entries below the type's own. The types are
# the entries of the outermost table, three blanks in.
count() {
    local table=$1 type
    type=$(printf '0x%06x' "$2")
    grep -A1 -E "^[0-9a-f]+   Entry: ID: $type," <<<"$table" | sed -n 's/.*Name Table:.*Num Names: \([0-9]*\), IDs: \([0-9]*\)/\1 \2/p' |
        awk '{ print $1 + $2 }'
}

status=0
for program in "$@"; do
    table=$(x86_64-w64-mingw32-objdump -x "$program" |
        sed -n '/The .rsrc Resource Directory section/,/^$/p')
    for expected in "10 18 pictures" "3 5 icon images" "14 1 icon" "16 1 version record" "24 1 manifest"; do
        read -r type wanted what <<<"$expected"
        found=$(count "$table" "$type" || true)
        if [ "${found:-0}" -ne "$wanted" ]; then
            echo "$program: ${found:-0} $what instead of $wanted" >&2
            status=1
        fi
    done
    if ! strings -el "$program" | grep -qx "The BEXOMv2 Installer"; then
        echo "$program: the version record does not describe the installer" >&2
        status=1
    fi
done
exit $status
