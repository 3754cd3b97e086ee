# Cross-compiling for Windows with Debian's MinGW-w64 -posix compilers: their
# libstdc++ has std::thread and std::mutex, which the -win32 variants lack.
# The per-target toolchain files set VELKRIN_MINGW_ARCH and include this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELKRIN_MINGW_ARCH})

set(triple ${VELKRIN_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables need nothing but Windows' own DLLs. No
# link time in the PE header, and no build folder in the code, so the same
# source builds the same bytes wherever and whenever it is built.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
get_filename_component(VELKRIN_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${VELKRIN_SOURCE_ROOT}=.")
