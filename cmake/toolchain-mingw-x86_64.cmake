# Cross-builds for 64-bit Windows with Debian's mingw-w64 and runs what it builds (tests included)
# under the 64-bit Wine:
#   cmake -S . -B build -G Ninja --toolchain cmake/toolchain-mingw-x86_64.cmake
set(BEXOM_MINGW_TRIPLET x86_64-w64-mingw32)
set(BEXOM_WINE_RUNS_PROGRAMS ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
