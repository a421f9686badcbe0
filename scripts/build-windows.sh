#!/usr/bin/env bash
# Installs what is missing and cross-builds the program for Windows with mingw-w64: the shipped
# 32-bit build in build-windows-i686 and its x86-64 twin in build-windows-x86_64. Every program is
# checked to need no DLL beside it. With --test, the x86-64 twin's tests are built too and run
# under Wine (the 32-bit build cannot run here: these machines run no 32-bit code). The program
# itself, stripped, goes to dist/bexomv2.exe (32-bit, the one that ships) and dist/bexomv2-x64.exe.
#
#   scripts/build-windows.sh [--test] [SOURCE-FOLDER]
#
# SOURCE-FOLDER is the CMake project to build, this repository by default. BUILD_PREFIX names the
# build folders, build-windows- by default (build-windows-i686 and build-windows-x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=no
if [ "${1-}" = --test ]; then
    run_tests=yes
    shift
fi
source=${1:-.}
prefix=${BUILD_PREFIX:-build-windows-}

scripts/install-windows-dependencies.sh

for arch in i686 x86_64; do
    echo "== Windows $arch"
    # CMake resolves a relative toolchain path against the build folder, hence the full path.
    # Optimised for size: the player downloads one file, and the installer's speed is the disk's.
    # Only the x86-64 twin's tests can run here, so only they are built, and only for --test; with
    # them the start-up timer and the bare window of scripts/measure-windows-startup.sh.
    tools=OFF
    [ "$run_tests" = yes ] && [ "$arch" = x86_64 ] && tools=ON
    cmake -S "$source" -B "$prefix$arch" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DBEXOM_TOOLS=$tools --toolchain "$PWD/cmake/toolchain-mingw-$arch.cmake" >/dev/null
    if [ $tools = ON ]; then
        cmake --build "$prefix$arch"
    else
        cmake --build "$prefix$arch" --target bexomv2
    fi
    find "$prefix$arch" -name '*.exe' -not -path '*/CMakeFiles/*' -print0 |
        xargs -0 --no-run-if-empty scripts/check-windows-imports.sh
    # The program as it ships: without its debugging information, a fraction of the size.
    if [ -f "$prefix$arch/app/bexomv2.exe" ]; then
        mkdir -p dist
        shipped=dist/bexomv2.exe
        [ "$arch" = x86_64 ] && shipped=dist/bexomv2-x64.exe
        "$arch-w64-mingw32-strip" -o "$shipped" "$prefix$arch/app/bexomv2.exe"
        scripts/check-windows-resources.sh "$shipped"
        echo "$shipped: $(stat -c %s "$shipped") bytes"
    fi
done

if [ "$run_tests" = yes ]; then
    echo "== Tests of the x86-64 build under Wine"
    cd "${prefix}x86_64"
    ctest --output-on-failure -j "$(nproc)"
fi
