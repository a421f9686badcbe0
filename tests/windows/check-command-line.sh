#!/usr/bin/env bash
# A launcher's script, as Lutris runs one: installs BEXOM with the Windows program under Wine into
# a game folder on drive C of a Wine prefix, without a window or a display, checks the game folder
# byte for byte, checks the installation with --verify and removes it again.
#
#   check-command-line.sh PROGRAM.exe WINE-RUN TEMPLATE
set -euo pipefail
program=$1
wine_run=$2
# BEXOM_WINE_TEMPLATE moves the template, for the Wine runner and here alike.
template=${BEXOM_WINE_TEMPLATE:-$3}
unset DISPLAY WAYLAND_DISPLAY

scratch=$(mktemp -d)
cleanup() {
    WINEPREFIX=$scratch/prefix wineserver --kill 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The prefix starts from the tests' template, as every run under Wine does; this one is kept for
# the whole script.
"$wine_run" --template "$template" "$program" --version >/dev/null
mkdir "$scratch/prefix"
cp -al "$template/." "$scratch/prefix/"
for hive in "$template"/*.reg; do
    cp --remove-destination "$hive" "$scratch/prefix/"
done
export WINEPREFIX=$scratch/prefix

package=$WINEPREFIX/drive_c/BEXOM
game=$WINEPREFIX/drive_c/WESTWOOD/REDALERT
mkdir -p "$package" "$game" "$scratch/before"
for name in Expand2.mix Rules.ini Aftrmath.ini MPlayer.ini Title.pcx SC-Vorda.mix; do
    echo "package $name" >"$package/$name"
done
printf 'Status=Uninstalled\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n' >"$package/Status.ini"
for name in Expand.mix Expand2.mix RA95.exe; do
    echo "game $name" >"$game/$name"
done
cp -a "$game/." "$scratch/before/"

fail() {
    echo "$0: $*" >&2
    exit 1
}

bexomv2() {
    (cd "$package" && "$wine_run" "$program" "$@")
}

bexomv2 '/?' | grep -q '^  3  failed with changes left' || fail "/? gives no exit codes"
output=$(bexomv2 --install 'C:\WESTWOOD\REDALERT' --yes) || fail "--install exited with $?"
[ "$output" = 'Are you sure you wish to install BEXOM to the directory: C:\WESTWOOD\REDALERT\ [y/N] yes
BEXOM has been installed in C:\WESTWOOD\REDALERT\.' ] || fail "--install said: $output"

# The game folder as the Aftermath installation leaves it.
expected="BEXOMv2
BEXOMv2/BEXOMv2.manifest
BEXOMv2/Expand.mix
BEXOMv2/Expand2.mix
Aftrmath.ini
Expand.mix
Expand2.mix
MPlayer.ini
RA95.exe
Rules.ini
SC-Vorda.mix
Title.pcx"
[ "$(cd "$game" && find . -mindepth 1 | sed 's|^\./||' | sort)" = "$(sort <<<"$expected")" ] ||
    fail "the game folder holds: $(cd "$game" && find . -mindepth 1)"
for name in Rules.ini Aftrmath.ini MPlayer.ini Title.pcx SC-Vorda.mix Expand2.mix; do
    cmp "$package/$name" "$game/$name" || fail "$name is not the package's"
done
cmp "$scratch/before/Expand2.mix" "$game/Expand.mix" || fail "Expand.mix is not the game's Expand2.mix"
for name in Expand.mix Expand2.mix; do
    cmp "$scratch/before/$name" "$game/BEXOMv2/$name" || fail "the backup's $name is not the game's"
done
cmp "$scratch/before/RA95.exe" "$game/RA95.exe" || fail "RA95.exe changed"
cmp <(printf 'Status=Aftermath\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n') "$package/Status.ini" ||
    fail "Status.ini does not record the installation"

output=$(bexomv2 --verify) || fail "--verify exited with $?"
[ "$(tail -n 1 <<<"$output")" = 'Every file is as the installation left it.' ] ||
    fail "--verify said: $output"
echo tuned >"$game/Rules.ini"
status=0
bexomv2 /verify >/dev/null || status=$?
[ "$status" = 4 ] || fail "/verify of an edited Rules.ini exited with $status"

bexomv2 --uninstall --yes >/dev/null || fail "--uninstall exited with $?"
diff -r "$scratch/before" "$game" || fail "the removal left the game folder changed"
grep -qlx tuned "$package"/* || fail "the edited Rules.ini was not kept in the package folder"
grep -q 'Work on the game folder done.' "$package/BEXOMv2.log" || fail "the log tells no outcome"
echo "The script installed, verified and removed BEXOM."
