# Cross-builds for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
# Programs are linked statically, so each .exe runs alone, on Windows or under Wine, which also
# serves as the emulator ctest runs the tests in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVRIN_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour has std::thread and std::mutex; the win32 one lacks them in GCC 12.
find_program(CMAKE_CXX_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-g++-posix ${TOVRIN_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-gcc-posix ${TOVRIN_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVRIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian keeps wine64 and its server in /usr/lib/wine (the "wine" package adds the wrappers).
find_program(TOVRIN_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TOVRIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TOVRIN_WINE})
endif()
