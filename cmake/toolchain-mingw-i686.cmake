# Cross-builds the shipped 32-bit Windows program with Debian's mingw-w64:
#   cmake -S . -B build -G Ninja --toolchain cmake/toolchain-mingw-i686.cmake
# Its programs are not run here: the machines that build it run no 32-bit code, so the x86-64
# twin carries the tests.
set(BEXOM_MINGW_TRIPLET i686-w64-mingw32)
set(BEXOM_WINE_RUNS_PROGRAMS OFF)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
