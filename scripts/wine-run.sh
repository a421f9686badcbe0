#!/usr/bin/env bash
# Runs a Windows program under the 64-bit Wine and exits with the program's own exit code.
#
#   wine-run.sh [--template DIR] PROGRAM.exe [ARGUMENTS...]
#
# With WINEPREFIX set, the program runs in that prefix as it is. Without it, the program runs in a
# scratch prefix that is removed afterwards, so that no run depends on or changes the machine's
# own Wine set-up. Creating a prefix takes Wine 15 to 20 seconds; with --template the first run
# creates a prefix in DIR once and later runs hard-link its files into their scratch prefix in a
# fraction of a second.
set -euo pipefail

template=
if [ "${1-}" = --template ]; then
    template=$2
    shift 2
fi
# BEXOM_WINE_TEMPLATE moves the template, so that it can share a file system with TMPDIR, where
# the scratch prefixes that hard-link it are made.
[ -n "$template" ] && template=${BEXOM_WINE_TEMPLATE:-$template}
[ $# -ge 1 ] || { echo "usage: $0 [--template DIR] PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }

# Debian's `wine` launcher prefers /usr/lib/wine/wine, the 32-bit loader, when wine32 is present;
# naming the 64-bit loader keeps the choice ours.
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || true)
[ -n "$loader" ] || { echo "$0: no 64-bit Wine found (scripts/install-windows-dependencies.sh)" >&2; exit 2; }
export WINELOADER=$loader
export WINEDEBUG=${WINEDEBUG:--all}
# Mono and Gecko are not needed and would be offered for download on every new prefix;
# winemenubuilder would write menu entries into the home folder. Without winedbg a crash ends the
# run at once with the exception's low byte (5 for an access violation): with it, a display makes
# the run wait for someone to close the crash dialog, and without one the exit code is sometimes 0.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

if [ -n "${WINEPREFIX-}" ]; then
    exec "$loader" "$@"
fi

wine_version=$("$loader" --version)

# wineboot reports a missing 32-bit rundll32 on every new 64-bit-only prefix: its words are shown
# only when it fails. On a busy machine a new prefix now and then fails to boot ("could not load
# kernel32.dll"); the prefix it half made is removed and made again, up to three times in all.
create_prefix() {
    local attempt
    for attempt in 1 2 3; do
        if WINEPREFIX=$1 "$loader" wineboot --init 2>"$1.wineboot.log"; then
            rm -f "$1.wineboot.log"
            return 0
        fi
        WINEPREFIX=$1 wineserver --kill 2>/dev/null || true
        rm -rf "$1"
        mkdir -m 700 "$1"
    done
    cat "$1.wineboot.log" >&2
    return 1
}

# A template is trusted only if this user made it with this Wine: a stale or foreign one is
# replaced, never repaired.
template_is_usable() {
    [ -O "$template" ] && [ -f "$template/system.reg" ] &&
        [ "$(cat "$template/.bexom-wine-version" 2>/dev/null)" = "$wine_version" ]
}

prepare_template() {
    mkdir -p "$(dirname "$template")"
    exec {lock}>"$template.lock"
    flock "$lock"
    if ! template_is_usable; then
        rm -rf "$template"
        mkdir -m 700 "$template"
        create_prefix "$template"
        # The registry reaches its files only when the prefix's wineserver ends.
        WINEPREFIX=$template wineserver --wait
        echo "$wine_version" >"$template/.bexom-wine-version"
    fi
    flock --unlock "$lock"
}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/bexom-wine.XXXXXX")
cleanup() {
    WINEPREFIX=$prefix wineserver --kill 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT

if [ -n "$template" ]; then
    prepare_template
    # Wine never writes into the program files it loads, so those can be shared; the registry
    # files change on every run and are copied.
    cp -al "$template/." "$prefix/"
    for hive in "$template"/*.reg; do
        cp --remove-destination "$hive" "$prefix/"
    done
else
    create_prefix "$prefix"
fi

export WINEPREFIX=$prefix
# Stopping this script stops every process of the program in its prefix. Standard input is passed
# on by name: a background job would otherwise read from /dev/null.
"$loader" "$@" <&0 &
program=$!
trap 'wineserver --kill' TERM INT HUP
status=0
wait "$program" || status=$?
while kill -0 "$program" 2>/dev/null; do
    wait "$program" || status=$?
done
exit "$status"
