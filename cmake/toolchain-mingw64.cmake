# The same build for 64-bit Windows (g++-mingw-w64-x86-64): the code is the same, and Wine runs
# it where the kernel can't run 32-bit programs, so neither 32-bit Wine.
set(PEERWELL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw32.cmake)
# Debian's wine command prefers 32-bit Wine whenever it is installed.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
