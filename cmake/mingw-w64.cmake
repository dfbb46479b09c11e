# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX
# thread flavour, which has std::thread). The programs link their runtime
# statically, so a bare .exe runs on Windows and under Wine without DLLs
# beside it. Under Wine the test programs also run here: ctest starts them
# through wine64 when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELLORAN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELLORAN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLORAN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLORAN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELLORAN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib from Debian's libz-mingw-w64-dev, linked in like the runtime.
set(ZLIB_USE_STATIC_LIBS ON)

# Debian puts wine64 outside the PATH.
find_program(VELLORAN_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine)
if(VELLORAN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELLORAN_WINE64})
endif()
