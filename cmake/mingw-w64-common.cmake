# What both mingw-w64 toolchains share; each sets VELLOX_MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives the C++ library its threads and mutexes;
# they are linked in statically like the rest.
set(CMAKE_C_COMPILER ${VELLOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLOX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELLOX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs and DLLs that need nothing but the system's own DLLs: the
# compiler's runtime libraries (libgcc, libstdc++, winpthread) go inside.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib (package libz-mingw-w64-dev) ships an import library beside the
# static one; the program must not need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
