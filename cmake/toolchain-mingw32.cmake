# Cross-builds for 32-bit Windows with Debian's MinGW-w64 compiler (g++-mingw-w64-i686), POSIX
# thread model for std::thread. Everything is linked statically, so the programs need no DLL
# beside them. The tests run under Wine:
#     cmake -S . -B build-win32 --toolchain cmake/toolchain-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
if(NOT PEERWELL_MINGW_PREFIX)
    set(PEERWELL_MINGW_PREFIX i686-w64-mingw32)
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

set(CMAKE_C_COMPILER ${PEERWELL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEERWELL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PEERWELL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PEERWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthreads inside the executables.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test discovery and ctest run the programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
