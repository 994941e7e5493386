# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiles for 64-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-windows -G Ninja -DCHRONIVEL_CORE_ONLY=ON \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CHRONIVEL_MINGW_TRIPLET x86_64-w64-mingw32)

# The -posix variants: the default win32-thread compilers have no std::thread
# or std::mutex, which the core uses.
set(CMAKE_C_COMPILER ${CHRONIVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CHRONIVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CHRONIVEL_MINGW_TRIPLET}-windres)

# Debian keeps the Windows headers and import libraries here.
set(CMAKE_SYSROOT /usr/${CHRONIVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH /usr/${CHRONIVEL_MINGW_TRIPLET})
# Programs (code generators and the like) run on the build machine; libraries,
# headers and packages must come from the Windows tree, never from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Lets `ctest` in the cross-build folder run the Windows programs under Wine.
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run" ABSOLUTE)
