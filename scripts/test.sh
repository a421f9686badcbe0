#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzzer for FUZZ_SECONDS (30 by default), the engine's threaded
# tests under ThreadSanitizer, the suite as the program ships (with the benchmark and the artwork
# generator built beside it), then the Windows program and the suite built for Windows, run under
# Wine. Each tree is one of the CMake presets and is built once.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
export QT_QPA_PLATFORM=offscreen

# The tests flush thousands of times, and on a disk those flushes are most of their time. Where
# /dev/shm is a tmpfs, their scratch folders and Wine prefixes go there instead: every flush is
# still made and checked, it only returns sooner. They take up to about 2 GB there (the Wine
# prefixes and a half-gigabyte package file), so a smaller /dev/shm is left alone.
# BEXOM_SCRATCH_ON_DISK=1 keeps them in TMPDIR.
if [ -z "${BEXOM_SCRATCH_ON_DISK-}" ] && [ -w /dev/shm ] &&
    [ "$(stat -f -c %T /dev/shm)" = tmpfs ] &&
    [ "$(df --output=avail -k /dev/shm | tail -1)" -ge $((3 * 1024 * 1024)) ]; then
    TMPDIR=$(mktemp -d /dev/shm/bexom-tests.XXXXXX)
    # Scratch prefixes are hard-linked copies of the template, so it must be on the same tmpfs.
    export TMPDIR BEXOM_WINE_TEMPLATE=$TMPDIR/wine-prefix-template
    trap 'rm -rf "$TMPDIR"' EXIT
fi
# Every test works in scratch folders and a Wine prefix of its own, so they may run side by side.

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)"

echo "== Fuzzing"
# Half a minute each keeps the whole command within fifteen minutes on two cores; scripts/fuzz.sh
# alone runs each for a minute.
FUZZ_SECONDS=${FUZZ_SECONDS:-30} scripts/fuzz.sh

echo "== The engine's threaded tests under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j "$(nproc)"

echo "== Tests"
cmake --preset native-tools >/dev/null
cmake --build --preset native-tools
ctest --preset native -j "$(nproc)"

echo "== Windows build and its tests under Wine"
scripts/build-windows.sh --test
