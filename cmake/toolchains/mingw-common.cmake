# Shared part of the mingw-w64 toolchains. The including file sets
# KORVEX_MINGW_TRIPLE, CMAKE_SYSTEM_PROCESSOR and KORVEX_WINE_LOADER first.
#
# The posix thread variant of the compilers is used: it provides std::thread
# and std::mutex through winpthread.

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and the DLL carry their own copy of libgcc, libstdc++ and
# winpthread, so they import nothing but system DLLs and run from any folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under wine, each in a fresh prefix of its own.
get_filename_component(_korvex_source_dir ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_korvex_source_dir}/scripts/wine-run.sh
                                  ${KORVEX_WINE_LOADER})
