#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the installer need, or the
# packages named as arguments, and only those that are missing.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] ||
    packages=(cmake ninja-build ccache g++ clang libclang-rt-14-dev qt6-base-dev doctest-dev
              libx11-dev fonts-dejavu-core xvfb xauth imagemagick)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
