#!/usr/bin/env bash
# Installs what is missing and cross-builds for Windows with mingw-w64: the shipped 32-bit program
# in build-windows-i686 and its x86-64 twin in build-windows-x86_64. With --test, the x86-64
# twin's tests then run under Wine (the 32-bit build cannot run here: these machines run no 32-bit
# code).
#
#   scripts/build-windows.sh [--test] [SOURCE-FOLDER]
#
# SOURCE-FOLDER is the CMake project to build, tests/windows-smoke by default.
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests=no
if [ "${1-}" = --test ]; then
    run_tests=yes
    shift
fi
source=${1:-tests/windows-smoke}

scripts/install-windows-dependencies.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
for arch in i686 x86_64; do
    echo "== Windows $arch"
    # CMake resolves a relative toolchain path against the build folder, hence the full path.
    cmake -S "$source" -B "build-windows-$arch" -G Ninja "${launcher[@]}" \
        --toolchain "$PWD/cmake/toolchain-mingw-$arch.cmake" >/dev/null
    cmake --build "build-windows-$arch"
    find "build-windows-$arch" -name '*.exe' -not -path '*/CMakeFiles/*' -print0 |
        xargs -0 --no-run-if-empty scripts/check-windows-imports.sh
done

if [ "$run_tests" = yes ]; then
    echo "== Tests of the x86-64 build under Wine"
    cd build-windows-x86_64
    ctest --output-on-failure
fi
