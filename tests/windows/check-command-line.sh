#!/usr/bin/env bash
# A launcher's script, as Lutris runs one: installs BEXOM with the Windows program under Wine into
# a game folder on drive C of a Wine prefix, without a window or a display, checks the game folder
# byte for byte, checks the installation with --verify and removes it again. Between these, a
# process outside Wine changes the world as Wine's sharing rules cannot forbid: it puts a link at
# BEXOMv2, kills a removal, and swaps BEXOMv2 or the game folder while a removal works; nothing
# anywhere may change but what the program meant to, every byte. A link whose target is gone
# takes its name in the package folder.
#
#   check-command-line.sh PROGRAM.exe WINE-RUN TEMPLATE
set -euo pipefail
program=$1
wine_run=$2
# BEXOM_WINE_TEMPLATE moves the template, for the Wine runner and here alike.
template=${BEXOM_WINE_TEMPLATE:-$3}
unset DISPLAY WAYLAND_DISPLAY

scratch=$(mktemp -d)
# A second file system, where the machine has one, holds the package folder as drive D: of the
# prefix, so that the removal's move of an edited file to it is a move between volumes.
volume=
for folder in /dev/shm /var/tmp /tmp; do
    if [ -z "$volume" ] && [ -w "$folder" ] &&
        [ "$(stat -c %d "$folder")" != "$(stat -c %d "$scratch")" ]; then
        volume=$(mktemp -d "$folder/bexom-volume.XXXXXX")
    fi
done
cleanup() {
    WINEPREFIX=$scratch/prefix wineserver --kill 2>/dev/null || true
    rm -rf "$scratch" ${volume:+"$volume"}
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
if [ -n "$volume" ]; then
    ln -sfn "$volume" "$WINEPREFIX/dosdevices/d:"
    package=$volume/BEXOM
fi
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
# Large enough that its copy to the other volume lasts while a process outside Wine acts.
{ echo tuned; head -c 64M /dev/zero; } >"$scratch/tuned"
cp "$scratch/tuned" "$game/Rules.ini"
status=0
bexomv2 /verify >/dev/null || status=$?
[ "$status" = 4 ] || fail "/verify of an edited Rules.ini exited with $status"

# Every entry of the folders with its kind, link target and digest; the log aside.
state() {
    local folder
    for folder; do
        (cd "$folder" && find . ! -name 'BEXOMv2.log*' -printf "$folder %p %y %l\n" \
            \( -type f -exec sha256sum {} + \))
    done | sort
}
# EXIT ACTION...: the run exits so, saying that BEXOMv2 is a link, and every file is where it was.
unchanged_by() {
    local expected=$1 before output status=0
    shift
    before=$(state "$game" "$package" "$scratch/outside")
    output=$(bexomv2 "$@" 2>&1) || status=$?
    [ "$status" = "$expected" ] || fail "$* exited with $status: $output"
    grep -q 'This is a link' <<<"$output" || fail "$* said: $output"
    [ "$(state "$game" "$package" "$scratch/outside")" = "$before" ] || fail "$* changed files"
}
link_backup() { mv "$game/BEXOMv2" "$scratch/outside" && ln -s "$scratch/outside" "$game/BEXOMv2"; }
unlink_backup() { rm "$game/BEXOMv2" && mv "$scratch/outside" "$game/BEXOMv2"; }
link_backup
unchanged_by 2 --uninstall --yes
unlink_backup

# ACTION: a removal, ACTION run once its copy to the package's volume has begun; gives its exit.
during_move() {
    bexomv2 --uninstall --yes >/dev/null 2>&1 &
    local removal=$! status=0
    until compgen -G "$package/.bexom-moving-*" >/dev/null; do
        kill -0 "$removal" 2>/dev/null || fail "the removal ended before its copy began"
    done
    "$1"
    wait "$removal" || status=$?
    echo "$status"
}
kill_removal() { wineserver --kill; }
swap_backup() { mv "$game/BEXOMv2" "$scratch/away" && mkdir "$game/BEXOMv2"; }
swap_game() { mv "$game" "$scratch/away" && mkdir "$game"; }
# SWAP FOLDER EXIT: a removal during which FOLDER is swapped for an empty one exits so, writes
# nothing into that one, and once FOLDER is back and the next start has put right what was left,
# every file is as it was.
swapped() {
    local before status
    before=$(state "$game" "$package")
    status=$(during_move "$1")
    [ "$status" = "$3" ] || fail "the removal with $1 exited with $status"
    rmdir "$2" || fail "the removal wrote into the folder of $1: $(ls -A "$2")"
    mv "$scratch/away" "$2"
    bexomv2 --status >/dev/null || fail "the start after $1 exited with $?"
    [ "$(state "$game" "$package")" = "$before" ] || fail "the removal with $1 changed files"
}
if [ -n "$volume" ]; then
    during_move kill_removal >/dev/null
    [ -f "$package/BEXOMv2.journal" ] || fail "the kill came after the removal"
    link_backup
    unchanged_by 0 --status
    unlink_backup
    bexomv2 --status >/dev/null || fail "the start after the kill exited with $?"
    [ -z "$(find "$package" -name '.bexom-*' -o -name BEXOMv2.journal)" ] ||
        fail "the start after the kill left $(ls -A "$package")"
    cmp "$scratch/tuned" "$game/Rules.ini" || fail "the undo lost the edited Rules.ini"
    swapped swap_backup "$game/BEXOMv2" 2
    # Names inside it are reached by path: the undo waits for the folder to be back.
    swapped swap_game "$game" 3
fi

# A link whose target is gone, which Wine shows to no lookup, still takes the name.
ln -s "$scratch/gone" "$package/Rules (edited).ini"
bexomv2 --uninstall --yes >/dev/null || fail "--uninstall exited with $?"
diff -r "$scratch/before" "$game" || fail "the removal left the game folder changed"
cmp "$scratch/tuned" "$package/Rules (edited 2).ini" ||
    fail "the edited Rules.ini was not kept in the package folder"
[ "$(readlink "$package/Rules (edited).ini")" = "$scratch/gone" ] || fail "the link was replaced"
[ -z "$(find "$package" -name '.bexom-*')" ] || fail "the removal left $(ls -A "$package")"
grep -q 'Work on the game folder done.' "$package/BEXOMv2.log" || fail "the log tells no outcome"
echo "The script installed, verified and removed BEXOM."
