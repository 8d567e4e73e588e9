# Cross-builds for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
#         [-DTOVRIN_QT_WINDOWS=<a Qt 6 kit built for mingw-w64>]
# Without a kit only the core, tovrin-cli and their tests are built (-DTOVRIN_GUI=OFF). Wine
# serves as the emulator ctest runs the tests in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVRIN_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour has std::thread and std::mutex; the win32 one lacks them in GCC 12. It is also
# the flavour the Qt kit was built with, whose DLLs need its runtime.
find_program(CMAKE_CXX_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-g++-posix ${TOVRIN_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-gcc-posix ${TOVRIN_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${TOVRIN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVRIN_MINGW_PREFIX})
# Every package search is re-rooted under the find roots, so the kit has to be one of them.
if(TOVRIN_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${TOVRIN_QT_WINDOWS})
    # The kit's moc, rcc and uic are the host's own Qt tools of the same version.
    set(QT_HOST_PATH /usr CACHE PATH "")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian keeps wine64 and its server in /usr/lib/wine (the "wine" package adds the wrappers).
find_program(TOVRIN_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TOVRIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TOVRIN_WINE})
endif()
