# What the i686 and x86-64 mingw-w64 toolchains share; BEXOM_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${BEXOM_MINGW_TRIPLET})

# The posix thread model: the win32 one has no std::thread, std::mutex or
# std::condition_variable in GCC 12.
set(CMAKE_C_COMPILER ${BEXOM_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BEXOM_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BEXOM_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BEXOM_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The program ships as one .exe: libgcc, libstdc++ and winpthread are linked in, so it needs no
# DLL beside it and only Windows' own DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

if(BEXOM_WINE_RUNS_PROGRAMS)
    # The toolchain file is read again for every try_compile, with another binary folder;
    # the template prefix stays with the build folder proper.
    if(NOT DEFINED CACHE{BEXOM_WINE_TEMPLATE})
        set(BEXOM_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-prefix-template
            CACHE PATH "Wine prefix that each run under Wine starts from a hard-linked copy of")
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --template ${BEXOM_WINE_TEMPLATE})
endif()
