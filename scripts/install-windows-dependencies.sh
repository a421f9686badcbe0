#!/usr/bin/env bash
# Installs the Debian packages that cross-building the Windows program with mingw-w64 and testing
# it under Wine on Xvfb need, and only those that are missing.
#
# Only the 64-bit Wine is installed: the tests run the x86-64 build, and once wine32 is present the
# `wine` launcher picks its 32-bit loader, which kernels without 32-bit support cannot run. No
# foreign architecture is added, so apt cannot pull wine32 in through a recommendation.
set -euo pipefail

packages=(cmake ninja-build ccache
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          doctest-dev wine wine64 xvfb xauth x11-apps imagemagick)

exec "$(dirname "$0")/install-dependencies.sh" "${packages[@]}"
