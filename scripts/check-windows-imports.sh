#!/usr/bin/env bash
# Checks that Windows programs import only DLLs that Windows itself provides, so that each ships as
# a single .exe. A CMAKE_EXE_LINKER_FLAGS given on the command line replaces the toolchain's
# -static, and the program then needs libgcc, libstdc++ or winpthread DLLs beside it.
#
#   check-windows-imports.sh PROGRAM.exe...
#
# Windows' own DLLs are taken to be those that Wine provides.
set -euo pipefail

system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$system_dlls" ] || { echo "$0: Wine's DLLs are not in $system_dlls" >&2; exit 2; }

status=0
for program in "$@"; do
    while read -r dll; do
        if [ ! -e "$system_dlls/${dll,,}" ]; then
            echo "$program imports $dll, which Windows does not provide" >&2
            status=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
done
exit "$status"
